// SoundDecoder: a worker thread that decodes sound files into mixer chunks, so the sounds a scene
// names are not decoded on the main thread while it is read. Knows nothing of handles or channels.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct Mix_Chunk;

namespace OrvEngine {
namespace Platform {

class SoundDecoder {
public:
    struct Job {
        std::string path;
        Mix_Chunk* chunk = nullptr; // owned by whoever takes the finished job
        std::string error;          // why chunk is null
        bool taken = false;         // by the worker or a waiting caller
        bool done = false;
        bool cancelled = false;
    };

    SoundDecoder() = default;
    SoundDecoder(const SoundDecoder&) = delete;
    SoundDecoder& operator=(const SoundDecoder&) = delete;
    ~SoundDecoder() { Stop(); }

    // Queues the file for the worker (started on first use).
    std::shared_ptr<Job> Queue(const std::string& path);
    bool Done(const Job& job);
    // True once the job is decoded: decodes it on the calling thread when the worker has not begun
    // it, else waits for the worker at most `limit`.
    bool Wait(Job& job, std::chrono::milliseconds limit);
    // Gives the job up without waiting: it is dropped when not begun, and its chunk is freed now
    // when decoded or by the worker when it finishes. Only for jobs whose chunk was not taken.
    void Cancel(Job& job);
    // Drops the queued jobs and waits for the worker to finish the one it holds.
    void Stop();
    // Whether the file opens and is not empty.
    static bool Readable(const std::string& path);
    // Why a file that opens is refused before decoding, or empty. The mixer picks its decoder by the
    // content, and a small WAV whose header claims gigabytes would make it allocate them; the game
    // ships Ogg only.
    static std::string Refusal(const std::string& path);
    // Decodes one file on the calling thread; null with the reason in error.
    static Mix_Chunk* Decode(const std::string& path, std::string& error);

private:
    void Work();
    // Marks the job as begun and takes it off the queue; mutex_ held. False when it was begun already.
    bool Take(Job& job);

    std::mutex mutex_;
    std::condition_variable work_ready_;
    std::condition_variable job_done_;
    std::deque<std::shared_ptr<Job>> queue_;
    std::thread worker_;
    bool stopping_ = false;
};

} // namespace Platform
} // namespace OrvEngine
