#include "CoreEngine/FPS.h"

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "Platform/Platform.h"

#include <cmath>
#include <iostream>
#include <sstream>

namespace OrvEngine {

namespace {
const std::string kRule(51, '=');

double EngineTotal() { return OrvCoreEngine ? OrvCoreEngine->total : 0.0; }
} // namespace

FPS::FPS()
{
    clock = last_report_time = start_time = EngineTotal();
}

void FPS::Update()
{
    if (!measuring) return;
    fixed_steps = 0;
    ++frame_counter;
    clock = EngineTotal();
    if (clock - last_report_time >= 1.0) {
        frames_per_second = frame_counter;
        frame_counter = 0;
        last_report_time = EngineTotal();
        reported_this_frame = true;
        std::cout << "FPS: " << frames_per_second << std::endl;
        std::cout << BuildReport("%");
    }
    CountFixedSteps(FrameTime());
}

void FPS::CountFixedSteps(float frame_time)
{
    accumulator += frame_time;
    while (accumulator >= kFixedStep) {
        if (fixed_steps == kMaxStepsPerFrame) {
            accumulator = std::fmod(accumulator, kFixedStep);
            break;
        }
        accumulator -= kFixedStep;
        ++fixed_steps;
    }
}

void FPS::Mark(double engine_total)
{
    measuring = true;
    clock = static_cast<float>(engine_total);
    start_time = Platform::Now();
}

void FPS::EndMark(const std::string& system_name)
{
    measuring = false;
    if (system_name == "FPS" || system_name == "EditorManager") return;
    const float spent = static_cast<float>(Platform::Now() - start_time);
    measured_total += spent;
    system_times[system_name] += spent;
}

void FPS::EndFrame()
{
    if (!reported_this_frame) return;
    measured_total = 0.0f;
    system_times.clear();
    reported_this_frame = false;
}

std::string FPS::BuildReport(const char* percent) const
{
    std::ostringstream out;
    out << kRule << "\n";
    for (const auto& [name, time] : system_times) {
        if (measured_total > 0.0f) {
            out << name << ": " << time / measured_total * 100.0f << percent << "\n";
        } else {
            out << name << ": 0" << percent << "\n";
        }
    }
    out << kRule << "\n";
    return out.str();
}

std::string FPS::GetReport()
{
    if (clock - last_report_time < 1.0) return report;
    std::ostringstream out;
    out << "FPS: " << frames_per_second << "\n" << BuildReport("%%");
    report = out.str();
    return report;
}

} // namespace OrvEngine
