// WorkQueue: worker threads that run jobs off the calling thread, and the hand-over between them and
// the one thread that queues, waits for and cancels the jobs. Knows nothing of what a job decodes.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace OrvEngine {
namespace Platform {

// The hand-over flags every job carries; read and written under the queue's lock only.
struct WorkJob {
    bool taken = false; // by a worker or a waiting caller
    bool done = false;
    bool cancelled = false;
};

// For jobs whose result needs no freeing.
template <typename Job> void KeepResult(Job&) {}

// Job derives from WorkJob. Run fills the job's result outside the lock; Discard frees the result of
// a cancelled job, under the lock, so nobody is left holding it. A job's result is read once Done.
template <typename Job, void (*Run)(Job&), void (*Discard)(Job&) = KeepResult<Job>>
class WorkQueue {
public:
    explicit WorkQueue(size_t worker_count) : worker_count_(std::max<size_t>(worker_count, 1)) {}
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;
    ~WorkQueue() { Stop(); }

    // Queues the job for a worker; the workers start on first use (again after Stop).
    void Queue(const std::shared_ptr<Job>& job)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (workers_.empty()) {
            for (size_t i = 0; i < worker_count_; ++i) workers_.emplace_back([this] { Work(); });
        }
        queue_.push_back(job);
        work_ready_.notify_one();
    }

    bool Done(const Job& job)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return job.done;
    }

    // True once the job is done: runs it on the calling thread when no worker has begun it, else
    // waits for the worker, at most `limit` when one is given.
    bool Wait(Job& job, std::optional<std::chrono::milliseconds> limit = std::nullopt)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (Take(job)) {
            lock.unlock();
            Run(job);
            lock.lock();
            Finish(job);
            return true;
        }
        const auto done = [&] { return job.done; };
        if (!limit) {
            job_done_.wait(lock, done);
            return true;
        }
        return job_done_.wait_for(lock, *limit, done);
    }

    // Gives the job up without waiting: dropped when not begun; its result is discarded now when
    // done, or by the worker when it finishes. Only for jobs whose result was not taken.
    void Cancel(Job& job)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job.cancelled = true;
        if (Take(job)) job.done = true;
        if (job.done) Discard(job);
    }

    // Drops the queued jobs and waits for the workers to finish the ones they hold.
    void Stop()
    {
        std::vector<std::thread> workers;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            queue_.clear();
            workers.swap(workers_);
        }
        work_ready_.notify_all();
        // A job always ends; a worker returns as soon as it has stored its job.
        for (std::thread& worker : workers) worker.join();
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = false;
    }

private:
    // Marks the job as begun and takes it off the queue; mutex_ held. False when it was begun already.
    bool Take(Job& job)
    {
        if (job.taken) return false;
        job.taken = true;
        auto queued = std::find_if(queue_.begin(), queue_.end(), [&](const auto& entry) { return entry.get() == &job; });
        if (queued != queue_.end()) queue_.erase(queued);
        return true;
    }

    // mutex_ held.
    void Finish(Job& job)
    {
        job.done = true;
        if (job.cancelled) Discard(job);
        job_done_.notify_all();
    }

    void Work()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (true) {
            work_ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            std::shared_ptr<Job> job = queue_.front();
            queue_.pop_front();
            job->taken = true;
            lock.unlock();
            Run(*job);
            lock.lock();
            Finish(*job);
        }
    }

    const size_t worker_count_;
    std::mutex mutex_;
    std::condition_variable work_ready_;
    std::condition_variable job_done_;
    std::deque<std::shared_ptr<Job>> queue_;
    std::vector<std::thread> workers_;
    bool stopping_ = false;
};

} // namespace Platform
} // namespace OrvEngine
