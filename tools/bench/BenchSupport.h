// What the benchmarks and the tools that play the game share: where the repository's resources are,
// a folder of its own to run in, the clocks they read and the median they report. It holds no
// engine code; each tool sets up and drives the engine itself.
#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace OrvBench {

// <exe folder>/../Resources: the executable lives in a build folder at the repository's root.
inline std::filesystem::path RepositoryResources()
{
    return std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() / "Resources";
}

// A folder under /tmp whose name starts with `name`, holding "work", made the current folder, beside
// a "Resources" whose pictures, sounds, shaders and fonts link those of `resources` and whose data is
// a copy: what the game writes as it runs stays there. Returns the folder.
inline std::filesystem::path MakeGameFolder(const std::string& name,
                                            const std::filesystem::path& resources = RepositoryResources())
{
    namespace fs = std::filesystem;
    std::string pattern = "/tmp/" + name + "-XXXXXX";
    const fs::path root = mkdtemp(pattern.data());
    fs::create_directories(root / "work");
    fs::create_directories(root / "Resources");
    for (const char* folder : {"ArtAssets", "Sounds", "Shaders", "fonts"}) {
        fs::create_directory_symlink(resources / folder, root / "Resources" / folder);
    }
    fs::copy(resources / "Data", root / "Resources" / "Data", fs::copy_options::recursive);
    fs::current_path(root / "work");
    return root;
}

// Leaves the run's folder and removes it.
inline void RemoveRunFolder(const std::filesystem::path& root)
{
    std::error_code ignored;
    std::filesystem::current_path("/");
    std::filesystem::remove_all(root, ignored);
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
