#include "Platform/SoundDecoder.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <fstream>

namespace OrvEngine {
namespace Platform {

namespace {
// SDL_mixer opens its decoders on first use without a lock, so decodes run one at a time: the
// worker's and any the main thread does itself.
std::mutex g_decode_mutex;
} // namespace

bool SoundDecoder::Readable(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return file && file.peek() != std::ifstream::traits_type::eof();
}

std::string SoundDecoder::Refusal(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return ""; // the decode reports a missing file
    char magic[4] = {0, 0, 0, 0};
    file.read(magic, sizeof magic);
    if (file.gcount() == 4 && magic[0] == 'O' && magic[1] == 'g' && magic[2] == 'g' && magic[3] == 'S') return "";
    return path + " does not begin with the Ogg signature; it is not decoded";
}

Mix_Chunk* SoundDecoder::Decode(const std::string& path, std::string& error)
{
    std::lock_guard<std::mutex> lock(g_decode_mutex);
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    // SDL keeps its error text per thread: read it here.
    if (!chunk) error = path + ": " + Mix_GetError();
    return chunk;
}

std::shared_ptr<SoundDecoder::Job> SoundDecoder::Queue(const std::string& path)
{
    auto job = std::make_shared<Job>();
    job->path = path;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
    queue_.push_back(job);
    work_ready_.notify_one();
    return job;
}

bool SoundDecoder::Done(const Job& job)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return job.done;
}

bool SoundDecoder::Take(Job& job)
{
    if (job.taken) return false;
    job.taken = true;
    auto queued = std::find_if(queue_.begin(), queue_.end(), [&](const auto& entry) { return entry.get() == &job; });
    if (queued != queue_.end()) queue_.erase(queued);
    return true;
}

bool SoundDecoder::Wait(Job& job, std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (Take(job)) {
        lock.unlock();
        Mix_Chunk* chunk = Decode(job.path, job.error);
        lock.lock();
        job.chunk = chunk;
        job.done = true;
        return true;
    }
    return job_done_.wait_for(lock, limit, [&] { return job.done; });
}

void SoundDecoder::Cancel(Job& job)
{
    std::lock_guard<std::mutex> lock(mutex_);
    job.cancelled = true;
    if (Take(job)) job.done = true;
    if (!job.done || !job.chunk) return;
    Mix_FreeChunk(job.chunk);
    job.chunk = nullptr;
}

void SoundDecoder::Work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        work_ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        std::shared_ptr<Job> job = queue_.front();
        queue_.pop_front();
        job->taken = true;
        lock.unlock();
        std::string error;
        Mix_Chunk* chunk = Decode(job->path, error);
        lock.lock();
        job->error = error;
        job->done = true;
        // Never played, so freeing it here touches no channel.
        if (job->cancelled && chunk) Mix_FreeChunk(chunk);
        else job->chunk = chunk;
        job_done_.notify_all();
    }
}

void SoundDecoder::Stop()
{
    std::thread worker;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
        worker.swap(worker_);
    }
    work_ready_.notify_all();
    // A decode always ends; the worker returns as soon as it has stored its job.
    if (worker.joinable()) worker.join();
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = false;
}

} // namespace Platform
} // namespace OrvEngine
