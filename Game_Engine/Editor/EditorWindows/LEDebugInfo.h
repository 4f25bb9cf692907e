// The debug info window: each system's share of the frame time, the running time, and the
// "show debug drawing" checkbox (the same flag as the menu bar's).
#pragma once

#include "Editor/EditorWindows/IEditorWindows.h"

#include <string>

namespace OrvEngine {

class LEDebugInfo : public IEditorWindows {
public:
    void Draw() override;
    // The frame-rate report as shown: its "%%" (escaped for a formatting call) read as "%".
    static std::string ShownReport(const std::string& report);
    // The running time shown: the engine's total, paused frames included (the profiler's clock,
    // not the game's timers'); 0 without a core engine.
    static float ShownTime();
};

} // namespace OrvEngine
