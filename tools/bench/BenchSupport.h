// What the benchmarks share: where the repository's resources are, the clocks they read and the
// median they report. It holds no engine code; each benchmark sets up and drives the engine itself.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

namespace OrvBench {

// <exe folder>/../Resources: the executable lives in a build folder at the repository's root.
inline std::filesystem::path RepositoryResources()
{
    return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() / "Resources";
}

inline double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double ClockSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// CPU time of the calling thread.
inline double ThreadCpuSeconds() { return ClockSeconds(CLOCK_THREAD_CPUTIME_ID); }
// CPU time of every thread of the process.
inline double ProcessCpuSeconds() { return ClockSeconds(CLOCK_PROCESS_CPUTIME_ID); }

// The upper middle value; 0 for none.
inline double Median(std::vector<double> values)
{
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace OrvBench
