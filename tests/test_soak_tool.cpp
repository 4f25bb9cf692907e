// The soak script's test of whether a build folder holds a sanitizer build: by the folder's CMake
// cache, and without one by the program's own symbols (clang links AddressSanitizer in, so the
// program needs no shared libasan).
#include "TestSupport.h"

#include <cstdio>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string Sanitized(const fs::path& build)
{
    const std::string command =
        "bash '" + (OrvTest::SourceDir() / "tools" / "soak" / "sanitized.sh").string() + "' '" + build.string() + "' 2>&1";
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof(buffer), pipe)) output += buffer;
        pclose(pipe);
    }
    return output;
}

} // namespace

TEST(SoakTool, ASanitizerBuildIsKnownByItsCacheOrItsSymbolsNotByItsSharedLibraries)
{
    char pattern[] = "/tmp/orvsoak-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    const fs::path self = fs::read_symlink("/proc/self/exe");
    const fs::path plain_program = "/bin/true";

    // A clang build: the cache says sanitized, and the program links no libasan.
    for (const auto& [value, expected] : std::vector<std::pair<std::string, std::string>>{
             {"ON", "1\n"}, {"1", "1\n"}, {"OFF", "0\n"}}) {
        const fs::path build = root / ("cache_" + value);
        fs::create_directories(build);
        OrvTest::WriteFile(build / "CMakeCache.txt", "CMAKE_BUILD_TYPE:STRING=Debug\nORV_SANITIZE:BOOL=" + value + "\n");
        fs::copy_file(plain_program, build / "OrvEngine");
        EXPECT_EQ(Sanitized(build), expected) << value;
    }

    // No cache: the program's symbols tell.
    const fs::path copied = root / "copied";
    fs::create_directories(copied);
    fs::copy_file(self, copied / "OrvEngine");
    EXPECT_EQ(Sanitized(copied), OrvTest::BuiltWithAddressSanitizer() ? "1\n" : "0\n");
    const fs::path plain = root / "plain";
    fs::create_directories(plain);
    fs::copy_file(plain_program, plain / "OrvEngine");
    EXPECT_EQ(Sanitized(plain), "0\n");

    // And the folder these tests were built in.
    EXPECT_EQ(Sanitized(self.parent_path()), OrvTest::BuiltWithAddressSanitizer() ? "1\n" : "0\n");
    fs::remove_all(root);
}
