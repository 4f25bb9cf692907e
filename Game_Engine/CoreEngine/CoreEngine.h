// The core engine: the ordered system list, the main loop with its frame clock and pause filter,
// and the one road by which messages reach the systems. Owns the systems, not the scenes.
#pragma once

#include <string>
#include <vector>

namespace OrvEngine {

class ISystem;
struct Message;

// The running engine's frame time in seconds; 0 without a core engine.
float FrameTime();
// The game's clock in seconds: the total time less the frames spent paused, so every timer of
// play stands still while the game is paused; 0 without a core engine.
float TotalTime();

class CoreEngine {
public:
    CoreEngine();
    ~CoreEngine();

    void AddSystem(ISystem* system);
    void InitializeSystems();
    void GameLoop();
    // One frame of the loop: clock, systems, profiler reset, scene state machine, total time.
    void RunFrame();
    // Handles quit and Escape, then delivers to every system that passes the pause filter.
    void BroadcastMessage(Message* message);
    // Deletes the systems in list order; each leaves the list before it is deleted.
    void DestroySystems();

    float GetTotalTime() const { return static_cast<float>(total); }

    // The exit question ("Exiting", No by default), naming the editor's unsaved scene; true on Yes.
    static bool AskToExit();
    // True when the named system is updated and receives messages while paused.
    static bool PassesPauseFilter(const std::string& name);

    std::vector<ISystem*> systems;
    float dt = 0.0f;           // frame time in seconds, at most kMaxFrameTime
    double total = 0.0;        // sum of dt over finished frames
    double paused_total = 0.0; // sum of dt over the finished frames that ended paused
    double current = 0.0;      // clock at the start of this frame
    double previous = 0.0;     // clock at the start of the previous frame
    bool running = true;

    // A stall (start-up, a debugger, a dragged window) never counts as more than this.
    static constexpr float kMaxFrameTime = 0.25f;
    // The refresh rate assumed for a display that does not tell its own.
    static constexpr int kDefaultRefreshRate = 60;

private:
    void HandleEscape();
    void UpdateSystems();
    void WaitOutRefreshPeriod();
};

} // namespace OrvEngine
