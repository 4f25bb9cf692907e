// Clock, random numbers, folders and the desktop's file manager; no SDL here.
#include "Platform/Platform.h"

#include "Logging/Logging.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace OrvEngine {
namespace Platform {

namespace {
const auto g_process_start = std::chrono::steady_clock::now();
ClockSource g_clock_source;
uint32_t g_random_state = 1;

bool IsOnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string paths(path);
    size_t start = 0;
    while (start <= paths.size()) {
        size_t end = paths.find(':', start);
        if (end == std::string::npos) end = paths.size();
        std::string candidate = paths.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}
} // namespace

double Now()
{
    if (g_clock_source) return g_clock_source();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - g_process_start).count();
}

void SetClockSource(ClockSource source) { g_clock_source = std::move(source); }

void SleepFor(double seconds)
{
    if (g_clock_source || !(seconds > 0.0)) return;
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void SeedRandom(uint32_t seed) { g_random_state = seed; }

int Random15()
{
    // The classic C run-time linear congruential generator, 15 bits out.
    g_random_state = g_random_state * 214013u + 2531011u;
    return static_cast<int>((g_random_state >> 16) & 0x7FFFu);
}

MakeDirResult MakeDirectory(const std::string& path)
{
    if (mkdir(path.c_str(), 0755) == 0) return MakeDirResult::Created;
    return errno == EEXIST ? MakeDirResult::Existed : MakeDirResult::Error;
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool OpenFolder(const std::string& path)
{
    if (!IsOnPath("xdg-open")) {
        PrintAndLog("[Platform::OpenFolder] xdg-open is not installed; cannot open " + path);
        return false;
    }
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        // Double fork so the file manager is re-parented and never left as a zombie.
        setsid();
        if (fork() == 0) {
            execlp("xdg-open", "xdg-open", path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return true;
}

// xdg-open hands a web address to the browser as it hands a folder to the file manager.
bool OpenAddress(const std::string& address) { return OpenFolder(address); }

int64_t PackMousePosition(int x, int y)
{
    return static_cast<int64_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                                static_cast<uint16_t>(x));
}

} // namespace Platform
} // namespace OrvEngine
