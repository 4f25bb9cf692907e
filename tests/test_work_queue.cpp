// Worker queue behind the texture and sound decoders: the hand-over between the worker and the
// caller, made deterministic by a job that holds its worker until the test lets it go.
#include "Platform/WorkQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

using namespace OrvEngine::Platform;
using namespace std::chrono_literals;

namespace {

struct TestJob : WorkJob {
    bool hold = false; // keeps its worker until the gate opens
    std::atomic<bool> started{false};
    std::atomic<bool> ran{false};
    std::thread::id ran_on;
    int result = 0;
};

std::mutex g_gate_mutex;
std::condition_variable g_gate_opened;
bool g_gate_open = false;
std::atomic<int> g_discarded{0};

void SetGate(bool open)
{
    std::lock_guard<std::mutex> lock(g_gate_mutex);
    g_gate_open = open;
    g_gate_opened.notify_all();
}

void RunJob(TestJob& job)
{
    job.started = true;
    if (job.hold) {
        std::unique_lock<std::mutex> lock(g_gate_mutex);
        g_gate_opened.wait_for(lock, 5s, [] { return g_gate_open; });
    }
    job.ran_on = std::this_thread::get_id();
    job.result = 1;
    job.ran = true;
}

void DiscardJob(TestJob& job)
{
    if (job.result) ++g_discarded;
    job.result = 0;
}

using Queue = WorkQueue<TestJob, RunJob, DiscardJob>;

std::shared_ptr<TestJob> Push(Queue& queue, bool hold)
{
    auto job = std::make_shared<TestJob>();
    job->hold = hold;
    queue.Queue(job);
    return job;
}

template <typename Fn> bool WaitUntil(Fn done)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class WorkQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetGate(false);
        g_discarded = 0;
    }
    void TearDown() override { SetGate(true); }
};

} // namespace

TEST_F(WorkQueueTest, ABusyWorkerIsWaitedForAtMostTheLimitAndACancelledResultIsFreedWhenItEnds)
{
    Queue queue(1);
    const auto held = Push(queue, true);
    ASSERT_TRUE(WaitUntil([&] { return held->started.load(); }));
    const auto queued = Push(queue, false);

    EXPECT_FALSE(queue.Wait(*held, 20ms)) << "the worker still holds it";
    EXPECT_TRUE(queue.Wait(*queued)) << "not begun: run by the caller";
    EXPECT_EQ(queued->ran_on, std::this_thread::get_id());
    EXPECT_TRUE(queue.Done(*queued));

    queue.Cancel(*held);
    EXPECT_EQ(g_discarded, 0) << "nothing to free before the worker ends";
    SetGate(true);
    ASSERT_TRUE(queue.Wait(*held, 5s));
    EXPECT_EQ(g_discarded, 1) << "the worker freed the result nobody will take";
    EXPECT_EQ(held->result, 0);
}

TEST_F(WorkQueueTest, CancelAndStopDropJobsNotBegunAndTheWorkersStartAgain)
{
    Queue queue(2);
    const auto first = Push(queue, true);
    const auto second = Push(queue, true);
    ASSERT_TRUE(WaitUntil([&] { return first->started && second->started; }));
    const auto cancelled = Push(queue, false);
    const auto dropped = Push(queue, false);

    queue.Cancel(*cancelled);
    EXPECT_TRUE(queue.Done(*cancelled));
    std::thread opener([] {
        std::this_thread::sleep_for(50ms);
        SetGate(true);
    });
    queue.Stop(); // clears the queue before either worker is free to take from it
    opener.join();
    EXPECT_TRUE(first->ran && second->ran) << "Stop lets the workers finish what they hold";
    EXPECT_FALSE(cancelled->ran || dropped->ran);
    EXPECT_FALSE(queue.Done(*dropped));
    EXPECT_EQ(g_discarded, 0);

    const auto later = Push(queue, false);
    EXPECT_TRUE(WaitUntil([&] { return queue.Done(*later); })) << "a worker runs it after Stop";
    EXPECT_NE(later->ran_on, std::this_thread::get_id());
}
