// The frame profiler: frames per second, per-system shares of update time, the once-a-second
// report, and the number of fixed 1/60 s steps in each frame for physics.
#pragma once

#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"

#include <cstdint>
#include <map>
#include <string>

namespace OrvEngine {

class FPS : public ISystem, public Singleton<FPS> {
public:
    FPS();
    void Update() override;
    std::string GetName() override { return "FPS"; }
    // The report text for the editor's debug window ("%%" for each percent sign).
    std::string GetReport();

    static constexpr float kFixedStep = 1.0f / 60.0f;
    // A long frame never runs more physics steps than this.
    static constexpr uint64_t kMaxStepsPerFrame = 5;

    uint64_t frames_per_second = 0;
    uint64_t frame_counter = 0;
    double clock = 0.0;
    double last_report_time = 0.0;
    double start_time = 0.0;
    float measured_total = 0.0f;
    bool measuring = false;
    uint64_t fixed_steps = 0;
    float accumulator = 0.0f;
    std::map<std::string, float> system_times;
    std::string report;
    bool reported_this_frame = false;

    // Adds a frame time to the accumulator and counts whole steps (capped); exposed for tests.
    void CountFixedSteps(float frame_time);

    // Starts timing one system's update; engine_total is the running engine's total time.
    void Mark(double engine_total);
    // Ends the timing that Mark began and adds it to the named system's share, except for the
    // profiler itself and the editor, whose updates are not part of the game's frame.
    void EndMark(const std::string& system_name);
    // After the frame in which a report was made, the shares start again from zero.
    void EndFrame();

private:
    std::string BuildReport(const char* percent) const;
};

} // namespace OrvEngine
