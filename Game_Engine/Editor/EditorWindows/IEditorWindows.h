// The base of the editor's windows: made once by the editor manager, drawn once per editor frame
// between its ImGui frame start and render. Windows keep no entity pointers across frames.
#pragma once

namespace OrvEngine {

class IEditorWindows {
public:
    virtual void Init() {}
    // Immediate mode: reads the edited values, draws the widgets, acts on what was pressed.
    virtual void Draw() = 0;
    virtual ~IEditorWindows() = default;
};

} // namespace OrvEngine
