// The assets window's place in the editor: the resource folders.
// Drawn by the window itself once built; until then it shows nothing.
#pragma once

#include "Editor/EditorWindows/IEditorWindows.h"

namespace OrvEngine {

class LEResources : public IEditorWindows {
public:
    void Draw() override {}
};

} // namespace OrvEngine
