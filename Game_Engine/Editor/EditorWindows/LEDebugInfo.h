// The debug info window's place in the editor: frame-time shares and running time.
// Drawn by the window itself once built; until then it shows nothing.
#pragma once

#include "Editor/EditorWindows/IEditorWindows.h"

namespace OrvEngine {

class LEDebugInfo : public IEditorWindows {
public:
    void Draw() override {}
};

} // namespace OrvEngine
