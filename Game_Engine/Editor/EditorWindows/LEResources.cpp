#include "Editor/EditorWindows/LEResources.h"

#include "CoreEngine/Globals.h"
#include "Editor/EditorLayout.h"
#include "Editor/EditorManager.h"
#include "Editor/EditorWidgets.h"
#include "Scene/SceneStateMachine.h"

#include <imgui.h>

namespace OrvEngine {

void LEResources::DrawMenu()
{
    if (!ImGui::BeginMenuBar()) return;
    if (ImGui::BeginMenu("Open In Explorer")) {
        ImGui::MenuItem("Open Art Folder", nullptr, &open_art);
        ImGui::MenuItem("Open Sound Folder", nullptr, &open_sound);
        ImGui::MenuItem("Open Scenes Folder", nullptr, &open_scenes);
        ImGui::MenuItem("Open Font Folder", nullptr, &open_font);
        ImGui::EndMenu();
    }
    ImGui::EndMenuBar();
}

void LEResources::OpenRequestedFolder()
{
    const std::pair<bool*, const char*> requests[] = {{&open_art, "../Resources/ArtAssets"},
                                                      {&open_sound, "../Resources/Sounds"},
                                                      {&open_scenes, "../Resources/Data"},
                                                      {&open_font, "../Resources/fonts"}};
    for (const auto& [requested, folder] : requests) {
        if (!*requested) continue;
        *requested = false;
        EditorManager::GetInstance()->OpenFolder(folder);
        return;
    }
}

void LEResources::Draw()
{
    EditorLayout::PlaceNextWindow(EditorPane::Assets);
    ImGui::Begin("Assets", nullptr, ImGuiWindowFlags_MenuBar);
    DrawMenu();
    OpenRequestedFolder();
    for (const std::string& name : EditorManager::GetInstance()->textures.Names()) EditorWidgets::ShowText(name);
    if (OrvStateMachine) {
        for (const auto& [name, scene] : OrvStateMachine->scenes) EditorWidgets::ShowText(name);
    }
    ImGui::End();
}

} // namespace OrvEngine
