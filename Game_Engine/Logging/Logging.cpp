#include "Logging/Logging.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace OrvEngine {

namespace {
Logging* g_log = nullptr;
bool g_written_this_run = false;
AssertHandler g_assert_handler;
AssertBox g_assert_box = nullptr;

const char* kLogFolder = "../Logging";
const char* kLogPath = "../Logging/log.dat";
} // namespace

Logging::Logging()
{
    if (mkdir(kLogFolder, 0755) != 0 && errno != EEXIST) {
        // The report below writes to standard output only: there is no log to write to.
        const bool failed = true;
        AssertReport(&failed, "exist", "Game_Engine/Logging/Logging", 34,
                     "Unexpected error occur while creating directory Logging");
        return;
    }
    // A log this run already wrote is never truncated again.
    std::ios::openmode mode = g_written_this_run ? (std::ios::out | std::ios::app) : std::ios::out;
    file_.open(kLogPath, mode);
    if (file_.is_open() && !g_written_this_run) {
        file_ << "--------------- Information ----------------" << std::endl;
    }
    g_written_this_run = g_written_this_run || file_.is_open();
}

Logging::~Logging() { Close(); }

Logging* Logging::GetInstance()
{
    if (!g_log) g_log = new Logging();
    return g_log;
}

bool Logging::Exists() { return g_log != nullptr; }

void Logging::Destroy()
{
    delete g_log;
    g_log = nullptr;
}

void Logging::BeginRun() { g_written_this_run = false; }

void Logging::Log(const std::string& text)
{
    if (file_.is_open()) file_ << text << std::endl;
}

void Logging::Close()
{
    if (file_.is_open()) file_.close();
}

void LogLine(const std::string& text) { Logging::GetInstance()->Log(text); }

void LogIfOpen(const std::string& text)
{
    if (g_log) g_log->Log(text);
}

void PrintLine(const std::string& text) { std::cout << text << std::endl; }

void PrintAndLog(const std::string& text)
{
    PrintLine(text);
    LogLine(text);
}

void SetAssertHandler(AssertHandler handler) { g_assert_handler = std::move(handler); }

void SetAssertBox(AssertBox box) { g_assert_box = box; }

std::string FormatAssertText(const std::string& trigger, const std::string& file, uint64_t line,
                             const std::string& message)
{
    std::ostringstream text;
    text << "File: " << file << "\nLine: " << line;
    if (!message.empty()) text << "\nMessage: " << message << "\nTrigger: " << trigger;
    return text.str();
}

bool AssertReport(const bool* condition, const std::string& trigger, const std::string& file, uint64_t line,
                  const std::string& message)
{
    if (!condition || !*condition) return false;
    AssertInfo info{trigger, file, line, message, FormatAssertText(trigger, file, line, message)};
    std::cout << "\n---------------- Error! -----------------\n" << info.text << std::endl;
    // Only a log that is already open is written; the report never creates one.
    if (g_log) {
        g_log->Log("\n---------------- Error!-----------------");
        g_log->Log(info.text);
        g_log->Close();
    }
    if (g_assert_handler) {
        g_assert_handler(info);
        return true;
    }
    if (g_assert_box) g_assert_box(info.text);
    std::exit(kAssertExitCode);
}

} // namespace OrvEngine
