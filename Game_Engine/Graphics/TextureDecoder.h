// TextureDecoder: worker threads that read picture files into 32-bit pixels, so reading PNGs does
// not hold up the main thread one file at a time. Knows no GL: the main thread uploads what they read.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct FIBITMAP;

namespace OrvEngine {

// A file read into memory, as FreeImage keeps it: 32 bits a pixel in the platform's byte order,
// the bottom row first.
struct DecodedPicture {
    DecodedPicture() = default;
    DecodedPicture(const DecodedPicture&) = delete;
    DecodedPicture& operator=(const DecodedPicture&) = delete;
    ~DecodedPicture() { Release(); }
    // Frees the pixels.
    void Release();
    const unsigned char* Pixels() const;

    std::string path;
    FIBITMAP* image = nullptr; // null when the file could not be read
    int width = 0;
    int height = 0;
    // The contents did not tell the file's type and its name was asked instead.
    bool type_from_name = false;
};

class TextureDecoder {
public:
    struct Job {
        DecodedPicture picture;
        bool taken = false; // by a worker or a waiting caller
        bool done = false;
    };

    TextureDecoder() = default;
    TextureDecoder(const TextureDecoder&) = delete;
    TextureDecoder& operator=(const TextureDecoder&) = delete;
    ~TextureDecoder() { Stop(); }

    // Queues the file for a worker (started on first use); the job is read once Done says so.
    std::shared_ptr<Job> Queue(const std::string& path);
    bool Done(const Job& job);
    // Returns once the job is read: reads it on the calling thread when no worker has taken it.
    void Wait(Job& job);
    // Drops the queued jobs and waits for the workers to finish the ones they hold.
    void Stop();
    // Reads one file on the calling thread.
    static void Decode(DecodedPicture& picture);

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable work_ready_;
    std::condition_variable job_done_;
    std::deque<std::shared_ptr<Job>> queue_;
    std::vector<std::thread> workers_;
    bool stopping_ = false;
};

} // namespace OrvEngine
