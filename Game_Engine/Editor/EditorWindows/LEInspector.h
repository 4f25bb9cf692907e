// The inspector window's place in the editor: the selected entity's name, tag, flags and
// components. It is made with the body-type and tag names its combos list.
// Drawn by the window itself once built; until then it shows nothing.
#pragma once

#include "Editor/EditorWindows/IEditorWindows.h"

#include <string>
#include <utility>
#include <vector>

namespace OrvEngine {

class LEInspector : public IEditorWindows {
public:
    LEInspector(std::vector<std::string> body_type_names, std::vector<std::string> tag_names)
        : body_types(std::move(body_type_names)), tags(std::move(tag_names))
    {
    }
    void Draw() override {}

    std::vector<std::string> body_types;
    std::vector<std::string> tags;
};

} // namespace OrvEngine
