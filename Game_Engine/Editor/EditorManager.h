// The editor manager: the Dear ImGui context and back-ends, the editor's windows, the game view
// (unstretched at the window's aspect), whether a field has the keyboard, the Tab toggle, the
// selection, the edited and played scenes, the game-view rectangle, the per-scene auto-save flags
// and the player lookup the camera follows. It presents every frame.
// The windows' own work (play control, scenes, hierarchy, inspector) lives in EditorWindows/.
#pragma once

#include "CoreEngine/EditorState.h"
#include "CoreEngine/ISystem.h"
#include "CoreEngine/Singleton.h"
#include "Editor/EditorTextures.h"
#include "Editor/EditorWindows/IEditorWindows.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct ImGuiContext;

namespace OrvEngine {

class Entity;

// The engine sees the selection, the edited scene, the game-view rectangle and the flags through
// EditorState, which this manager is.
class EditorManager : public ISystem, public Singleton<EditorManager>, public EditorState {
public:
    ~EditorManager() override;
    std::string GetName() override { return "EditorManager"; }
    // Makes the ImGui context (with the SDL2 and OpenGL 3 back-ends when there is a window and a
    // GL context; headless otherwise) and the six windows, in their fixed order.
    void Init() override;
    // Draws the editor when visible, then swaps the buffers (the one place a frame is presented).
    void Update() override;
    // Quit clears the selection and the edited scene; Tab (just pressed) shows or hides the
    // editor unless the game mode is on.
    void HandleMessage(Message* message) override;

    // The content of one editor frame: the game view, then every window in list order. Runs
    // inside an ImGui frame (Update makes one; tests may make their own).
    void DrawFrame();
    // Releases the back-ends and the context; idempotent. Runs before the window and its GL
    // context go, so the GL back-end can still delete its objects.
    void ShutdownInterface();

    void SetSelection(Entity* entity) override;
    // The selected entity, looked up by its id among the edited scene's live entities; null when
    // nothing is selected or it is gone.
    Entity* SelectedEntity() const;
    // The first player-tagged entity of the edited scene (editor shown) or of the running scene
    // (Scene/PlayerLookup.h).
    Entity* FindPlayerEntity() const;
    std::string UnsavedSceneName() const override;

    // ---- Services the windows share -------------------------------------------------------
    // A message box through the platform's one box (answered by itself when nobody can), or
    // through the handler a test installed. Returns the platform's answer code.
    int AskUser(const std::string& text, const std::string& caption, uint32_t flags);
    // Opens a folder in the desktop's file manager (forward slashes), or through a test's opener.
    bool OpenFolder(const std::string& path);
    // Opens a web address in the desktop's browser, or through the same test opener.
    bool OpenAddress(const std::string& address);
    using MessageBoxHandler = std::function<int(const std::string& text, const std::string& caption, uint32_t flags)>;
    using FolderOpener = std::function<bool(const std::string& path)>;
    void SetMessageBoxHandler(MessageBoxHandler handler) { message_box_ = std::move(handler); }
    void SetFolderOpener(FolderOpener opener) { folder_opener_ = std::move(opener); }
    // Runs after the back-ends have read the devices and before the ImGui frame starts: the
    // place where a test scripts the pointer (ImGui's SDL back-end polls the real one).
    void SetFrameInputHook(std::function<void()> hook) { frame_input_hook_ = std::move(hook); }

    // The window of class T in the list, or null.
    template <class T>
    T* FindWindow() const
    {
        for (const auto& window : windows) {
            if (auto* found = dynamic_cast<T*>(window.get())) return found;
        }
        return nullptr;
    }

    // Name of the scene being edited when Play last started or resumed; empty for none.
    std::string played_scene;
    // Scenes whose "AutoSave.json" the last fresh Play wrote: what Stop may restore.
    std::set<std::string> autosaved_scenes;
    float item_width = 120.0f;
    // The game view is focused or hovered: it then cannot be dragged (flags apply next frame).
    bool viewport_active = false;
    int viewport_window_flags = 0;
    // The texture names and pictures the assets window and the inspector show.
    EditorTextures textures;
    std::vector<std::unique_ptr<IEditorWindows>> windows;

private:
    void CreateInterface();
    void CreateWindows();
    void RunInterfaceFrame();
    void BeginInterfaceFrame();
    void DropHiddenInput();
    void DrawGameView();

    ImGuiContext* context_ = nullptr;
    bool gl_backend_ = false;
    MessageBoxHandler message_box_;
    FolderOpener folder_opener_;
    std::function<void()> frame_input_hook_;
};

} // namespace OrvEngine
