// The hierarchy window's place in the editor: the scene's objects, listed and selected.
// Drawn by the window itself once built; until then it shows nothing.
#pragma once

#include "Editor/EditorWindows/IEditorWindows.h"

namespace OrvEngine {

class LEHierarchy : public IEditorWindows {
public:
    void Draw() override {}
};

} // namespace OrvEngine
