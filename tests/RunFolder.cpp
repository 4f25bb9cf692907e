// Runs the whole test program inside a throw-away folder, so nothing a test logs or saves through
// the engine's relative paths ("../Logging/log.dat", "../Resources/Data/") reaches the game's own
// folders, whichever directory the program was started from. In a sanitizer build it also runs the
// leak check, with the suppressions for the third-party modules it leaves out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// LeakSanitizer's entry point, present only in a sanitizer build.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

// Mesa's EGL and llvmpipe modules and SDL's video layer keep a few allocations for the life of the
// process (a bare offscreen context shows them); they are not the engine's. libdbus is the leak the
// game's own runs name through tools/sanitizers/lsan.supp.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:/dri/\nleak:libEGL_mesa\nleak:libgallium\nleak:libGLdispatch\nleak:libLLVM\nleak:libSDL2\nleak:libdbus-1.so\n";
}

namespace {

namespace fs = std::filesystem;

class RunFolder : public ::testing::Environment {
public:
    void SetUp() override
    {
        char pattern[] = "/tmp/orvtests-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr) << "cannot make a temporary folder for the test run";
        root_ = made;
        fs::create_directories(root_ / "work");
        started_in_ = fs::current_path();
        fs::current_path(root_ / "work");
    }

    void TearDown() override
    {
        // In a sanitizer build the leak check runs here, while every thread the tests left is
        // idle: at exit, threads ending beside it can crash its thread-stopping tracer.
        if (__lsan_do_leak_check) __lsan_do_leak_check();
        if (root_.empty()) return;
        std::error_code ignored;
        fs::current_path(started_in_, ignored);
        fs::remove_all(root_, ignored);
    }

private:
    fs::path root_;
    fs::path started_in_;
};

// Registered before main runs; gtest owns and deletes it.
::testing::Environment* const kRunFolder = ::testing::AddGlobalTestEnvironment(new RunFolder);

// However the program is started: sound on SDL's dummy driver and message boxes that never wait,
// unless the caller chose otherwise.
const bool kHeadless = [] {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("CI", "true", 0);
    return true;
}();

} // namespace

// The engine writes its log to "../Logging/log.dat" from the working directory.
TEST(TestRun, LogsAndDataGoNowhereNearTheGamesOwnFolders)
{
    const fs::path logging = fs::weakly_canonical(fs::current_path() / ".." / "Logging");
    const fs::path source = fs::weakly_canonical(fs::path(ORV_SOURCE_DIR));
    EXPECT_NE(logging, source / "Logging");
    EXPECT_NE(logging.parent_path(), source) << logging;
    EXPECT_EQ(logging.string().rfind("/tmp/orvtests-", 0), 0u) << logging;
}
