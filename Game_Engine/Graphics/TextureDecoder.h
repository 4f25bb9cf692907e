// TextureDecoder: worker threads that read picture files into 32-bit pixels, so reading pictures
// does not hold up the main thread one file at a time. Knows no GL: the main thread uploads what
// they read and writes what went wrong.
#pragma once

#include "Graphics/TextureAlpha.h"
#include "Platform/WorkQueue.h"

#include <cstdint>
#include <memory>
#include <string>

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
    // The contents name no picture format FreeImage knows, so the file's name was asked.
    bool type_from_name = false;
    // Why image is null.
    enum class Failure {
        None,
        UnknownType, // neither the contents nor the name name a format
        Unreadable,  // FreeImage cannot read the format, or failed to read the file
        TooLarge,    // the size the header claims (no pixel is then read), or the one read, passes the limits
        NoPixels,    // read, but without pixels that can be made 32 bits
    };
    Failure failure = Failure::None;
    // The size refused for passing the limits, as the header claimed it or the reader made it; 0
    // otherwise.
    unsigned refused_width = 0;
    unsigned refused_height = 0;
    TextureAlpha alpha;
};

class TextureDecoder {
public:
    struct Job : Platform::WorkJob {
        DecodedPicture picture;
    };

    TextureDecoder();

    // Queues the file for a worker (started on first use); the job is read once Done says so.
    std::shared_ptr<Job> Queue(const std::string& path);
    bool Done(const Job& job) { return queue_.Done(job); }
    // Returns once the job is read: reads it on the calling thread when no worker has taken it.
    void Wait(Job& job) { queue_.Wait(job); }
    // Drops the queued jobs and waits for the workers to finish the ones they hold.
    void Stop() { queue_.Stop(); }
    // Reads one file on the calling thread: any picture FreeImage reads (the format from the
    // contents, else from the name) whose header claims a size within the limits.
    static void Decode(DecodedPicture& picture);

    // What GL drivers take as a texture's side, and 256 MB of pixels: far beyond any picture a 2D
    // game shows (the largest sprite sheet here is 8192 x 512).
    static constexpr unsigned kMaxSide = 16384;
    static constexpr uint64_t kMaxPixels = 8192u * 8192u;
    static bool WithinLimits(unsigned width, unsigned height);

private:
    static void Run(Job& job) { Decode(job.picture); }

    Platform::WorkQueue<Job, &TextureDecoder::Run> queue_;
};

} // namespace OrvEngine
