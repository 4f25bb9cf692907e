// SoundDecoder: a worker thread that decodes sound files into mixer chunks, so the sounds a scene
// names are not decoded on the main thread while it is read. Knows nothing of handles or channels.
#pragma once

#include "Platform/WorkQueue.h"

#include <chrono>
#include <memory>
#include <string>

struct Mix_Chunk;

namespace OrvEngine {
namespace Platform {

class SoundDecoder {
public:
    struct Job : WorkJob {
        std::string path;
        Mix_Chunk* chunk = nullptr; // owned by whoever takes the finished job
        std::string error;          // why chunk is null
    };

    // Queues the file for the worker (started on first use).
    std::shared_ptr<Job> Queue(const std::string& path);
    bool Done(const Job& job) { return queue_.Done(job); }
    // True once the job is decoded: decodes it on the calling thread when the worker has not begun
    // it, else waits for the worker at most `limit`.
    bool Wait(Job& job, std::chrono::milliseconds limit) { return queue_.Wait(job, limit); }
    // Gives the job up without waiting: it is dropped when not begun, and its chunk is freed now
    // when decoded or by the worker when it finishes. Only for jobs whose chunk was not taken.
    void Cancel(Job& job) { queue_.Cancel(job); }
    // Drops the queued jobs and waits for the worker to finish the one it holds.
    void Stop() { queue_.Stop(); }
    // Whether the file opens and is not empty.
    static bool Readable(const std::string& path);
    // Why a file that opens is refused before decoding, or empty. The mixer picks its decoder by the
    // content, and a small WAV whose header claims gigabytes would make it allocate them; the game
    // ships Ogg only.
    static std::string Refusal(const std::string& path);
    // Decodes one file on the calling thread; null with the reason in error.
    static Mix_Chunk* Decode(const std::string& path, std::string& error);

private:
    // On the decoding thread (worker or caller), where Decode reads SDL's per-thread error text.
    static void Run(Job& job) { job.chunk = Decode(job.path, job.error); }
    // A cancelled job's chunk was never played, so freeing it touches no channel.
    static void Discard(Job& job);

    // One worker: the decodes take turns on one lock anyway.
    WorkQueue<Job, &SoundDecoder::Run, &SoundDecoder::Discard> queue_{1};
};

} // namespace Platform
} // namespace OrvEngine
