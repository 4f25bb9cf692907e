// The run's log file ("../Logging/log.dat") and the assertion report every failed check goes through.
// Does not own console output beyond the helpers below. The lowest layer: it includes nothing of the
// engine, and the box a failed check shows comes from whoever sets it (the program sets the platform's).
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

namespace OrvEngine {

class Logging {
public:
    // Creates the log on first call: truncated on the run's first creation, appended to afterwards.
    static Logging* GetInstance();
    static bool Exists();
    // Closes the file and destroys the object; later lines append to the same file.
    static void Destroy();
    // Starts a new run: the next creation truncates the file again.
    static void BeginRun();

    void Log(const std::string& text);
    void Close();

    ~Logging();

private:
    Logging();
    std::ofstream file_;
};

// Log file only, creating the log if needed.
void LogLine(const std::string& text);
// Log file only, and only when the log is already open (never creates it).
void LogIfOpen(const std::string& text);
// Standard output only.
void PrintLine(const std::string& text);
// Both.
void PrintAndLog(const std::string& text);

constexpr int kAssertExitCode = 70;

struct AssertInfo {
    std::string trigger;
    std::string file;
    uint64_t line = 0;
    std::string message;
    std::string text; // the composed report text
};

// Called after a report has been written. The default ends the process with kAssertExitCode;
// tests install one that records or throws instead.
using AssertHandler = std::function<void(const AssertInfo&)>;
void SetAssertHandler(AssertHandler handler);
// Shows the report text to a person before the default handling ends the process; none by default.
using AssertBox = void (*)(const std::string& text);
void SetAssertBox(AssertBox box);

// Reports when condition is true (the check failed); returns whether it reported.
bool AssertReport(const bool* condition, const std::string& trigger, const std::string& file, uint64_t line,
                  const std::string& message);

// Builds the report text: "File: ...\nLine: ..." and, with a message, "\nMessage: ...\nTrigger: ...".
std::string FormatAssertText(const std::string& trigger, const std::string& file, uint64_t line,
                             const std::string& message);

} // namespace OrvEngine

// Reports a failed check under a given source name; the caller must not go on past it.
#define ORV_ASSERT_AT(cond, source, msg)                                                  \
    do {                                                                                  \
        const bool orv_failed_ = !(cond);                                                 \
        ::OrvEngine::AssertReport(&orv_failed_, #cond, (source), __LINE__, (msg));        \
    } while (0)
