#include "Graphics/TextureDecoder.h"

#include <FreeImage.h>

#include <algorithm>

namespace OrvEngine {

namespace {
// Enough to read a scene's pictures side by side without crowding the rasteriser's threads.
size_t WorkerCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp<size_t>(cores > 1 ? cores - 1 : 1, 1, 4);
}
} // namespace

void DecodedPicture::Release()
{
    if (image) FreeImage_Unload(image);
    image = nullptr;
}

const unsigned char* DecodedPicture::Pixels() const { return image ? FreeImage_GetBits(image) : nullptr; }

void TextureDecoder::Decode(DecodedPicture& picture)
{
    const char* path = picture.path.c_str();
    FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path, 0);
    if (format == FIF_UNKNOWN) {
        picture.type_from_name = true;
        format = FreeImage_GetFIFFromFilename(path);
        if (format == FIF_UNKNOWN) return;
    }
    FIBITMAP* image = FreeImage_FIFSupportsReading(format) ? FreeImage_Load(format, path, 0) : nullptr;
    if (!image) return;
    // Anything but 32 bits per pixel would be read past its end as BGRA.
    if (FreeImage_GetBPP(image) != 32) {
        FIBITMAP* converted = FreeImage_ConvertTo32Bits(image);
        FreeImage_Unload(image);
        image = converted;
    }
    if (!image || !FreeImage_GetBits(image) || FreeImage_GetWidth(image) == 0 || FreeImage_GetHeight(image) == 0) {
        if (image) FreeImage_Unload(image);
        return;
    }
    picture.image = image;
    picture.width = static_cast<int>(FreeImage_GetWidth(image));
    picture.height = static_cast<int>(FreeImage_GetHeight(image));
}

std::shared_ptr<TextureDecoder::Job> TextureDecoder::Queue(const std::string& path)
{
    auto job = std::make_shared<Job>();
    job->picture.path = path;
    std::lock_guard<std::mutex> lock(mutex_);
    if (workers_.empty()) {
        for (size_t i = 0; i < WorkerCount(); ++i) workers_.emplace_back([this] { Work(); });
    }
    queue_.push_back(job);
    work_ready_.notify_one();
    return job;
}

bool TextureDecoder::Done(const Job& job)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return job.done;
}

void TextureDecoder::Wait(Job& job)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (!job.taken) {
        job.taken = true;
        auto queued = std::find_if(queue_.begin(), queue_.end(), [&](const auto& entry) { return entry.get() == &job; });
        if (queued != queue_.end()) queue_.erase(queued);
        lock.unlock();
        Decode(job.picture);
        lock.lock();
        job.done = true;
        return;
    }
    job_done_.wait(lock, [&] { return job.done; });
}

void TextureDecoder::Work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        work_ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        std::shared_ptr<Job> job = queue_.front();
        queue_.pop_front();
        job->taken = true;
        lock.unlock();
        Decode(job->picture);
        lock.lock();
        job->done = true;
        job_done_.notify_all();
    }
}

void TextureDecoder::Stop()
{
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        queue_.clear();
        workers.swap(workers_);
    }
    work_ready_.notify_all();
    for (std::thread& worker : workers) worker.join();
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = false;
}

} // namespace OrvEngine
