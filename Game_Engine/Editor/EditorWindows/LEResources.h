// The assets window: opens the art, sound, data and font folders in the desktop's file manager
// and lists the texture names the editor knows and the scene names.
#pragma once

#include "Editor/EditorWindows/IEditorWindows.h"

namespace OrvEngine {

class LEResources : public IEditorWindows {
public:
    void Draw() override;

    // Requests from the "Open In Explorer" menu, in the order they are served: at most one folder
    // opens per frame, the next request waits for the next frame.
    bool open_art = false;
    bool open_sound = false;
    bool open_scenes = false;
    bool open_font = false;

private:
    void DrawMenu();
    void OpenRequestedFolder();
};

} // namespace OrvEngine
