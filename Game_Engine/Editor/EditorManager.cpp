#include "Editor/EditorManager.h"

#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "Editor/EditorCamera.h"
#include "Editor/EditorLayout.h"
#include "Editor/EditorWindows/LEDebugInfo.h"
#include "Editor/EditorWindows/LEHierarchy.h"
#include "Editor/EditorWindows/LEComponentPanel.h"
#include "Editor/EditorWindows/LEMenuBar.h"
#include "Editor/EditorWindows/LEResources.h"
#include "Editor/EditorWindows/LEScene.h"
#include "Factory/Entity.h"
#include "Factory/Information.h"
#include "Graphics/Graphics.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/PlayerLookup.h"
#include "Windows/WindowsSystems.h"

#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

namespace OrvEngine {

namespace {
constexpr const char* kGlslVersion = "#version 430";
constexpr float kFallbackFrameTime = 1.0f / 60.0f;

ImVec2 WindowSize()
{
    WindowsSystems* window = WindowsSystems::GetInstance();
    return ImVec2(static_cast<float>(window->width), static_cast<float>(window->height));
}

// Not io.WantCaptureKeyboard: with keyboard navigation on, ImGui claims the keyboard whenever
// one of the editor's windows has the focus, the game view included, whose keys must still act.
bool FieldHasKeyboard()
{
    return ImGui::GetIO().WantTextInput || ImGui::IsAnyItemActive() ||
           ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel);
}

// Without the SDL back-end nobody fills the key map, and keyboard navigation needs every key mapped.
void PrepareHeadlessIO(ImGuiIO& io)
{
    for (int key = 0; key < ImGuiKey_COUNT; ++key) io.KeyMap[key] = key;
    // Nobody arranges windows in a headless run, so nothing is kept between runs.
    io.IniFilename = nullptr;
}
} // namespace

EditorManager::~EditorManager()
{
    ShutdownInterface();
    windows.clear();
}

void EditorManager::Init()
{
    CreateInterface();
    CreateWindows();
    for (size_t i = 0; i < windows.size(); ++i) windows[i]->Init();
}

void EditorManager::CreateInterface()
{
    if (context_) return;
    IMGUI_CHECKVERSION();
    context_ = ImGui::CreateContext();
    ImGui::SetCurrentContext(context_);
    ImGuiIO& io = ImGui::GetIO();
    // No docking in this ImGui: keyboard and gamepad navigation, and the cursor stays the game's.
    io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard | ImGuiConfigFlags_NavEnableGamepad |
                      ImGuiConfigFlags_NoMouseCursorChange;
    io.DisplaySize = WindowSize();
    ImGui::StyleColorsDark();
    const bool platform = Platform::StartInterfaceBackend([] {
        if (EditorManager::Exists()) EditorManager::GetInstance()->ShutdownInterface();
    });
    gl_backend_ = platform && Graphics::IsGLReady() && ImGui_ImplOpenGL3_Init(kGlslVersion);
    if (!platform) PrepareHeadlessIO(io);
    if (!gl_backend_) {
        // The GL back-end builds the font atlas at its first frame; a frame needs it built.
        unsigned char* pixels = nullptr;
        int width = 0;
        int height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    }
}

void EditorManager::CreateWindows()
{
    if (!windows.empty()) return;
    windows.push_back(std::make_unique<LEMenuBar>());
    windows.push_back(std::make_unique<LEHierarchy>());
    windows.push_back(std::make_unique<LEInspector>(std::vector<std::string>{"BT_Dynamic", "BT_Kinematic", "BT_Static"},
                                                    std::vector<std::string>(GetTagNames(), GetTagNames() + kTagCount)));
    windows.push_back(std::make_unique<LEDebugInfo>());
    windows.push_back(std::make_unique<LEResources>());
    windows.push_back(std::make_unique<LEScene>());
}

void EditorManager::ShutdownInterface()
{
    if (!context_) return;
    ImGui::SetCurrentContext(context_);
    if (gl_backend_) ImGui_ImplOpenGL3_Shutdown();
    gl_backend_ = false;
    Platform::StopInterfaceBackend();
    ImGui::DestroyContext(context_);
    context_ = nullptr;
}

void EditorManager::BeginInterfaceFrame()
{
    ImGuiIO& io = ImGui::GetIO();
    if (gl_backend_) ImGui_ImplOpenGL3_NewFrame();
    if (Platform::HasInterfaceBackend()) {
        Platform::InterfaceNewFrame();
    } else {
        io.DisplaySize = WindowSize();
        const float dt = FrameTime();
        io.DeltaTime = dt > 0.0f ? dt : kFallbackFrameTime;
    }
    if (frame_input_hook_) frame_input_hook_();
}

void EditorManager::Update()
{
    if (context_) {
        ImGui::SetCurrentContext(context_);
        if (EditorVisible) RunInterfaceFrame();
        else DropHiddenInput();
    }
    if (!EditorVisible || !context_) keyboard_taken = false;
    FrameDamage& damage = Graphics::GetInstance()->damage;
    damage.BeforeSwap();
    Platform::SwapBuffers();
    damage.AfterSwap();
    Graphics::GetInstance()->frame_fence.AfterSwap();
}

void EditorManager::RunInterfaceFrame()
{
    BeginInterfaceFrame();
    ImGui::NewFrame();
    DrawFrame();
    ImGui::Render();
    ImDrawData* draw_data = ImGui::GetDrawData();
    if (gl_backend_ && draw_data && draw_data->CmdListsCount > 0) {
        Graphics::GetInstance()->damage.UntrackedDraw();
        ImGui_ImplOpenGL3_RenderDrawData(draw_data);
    }
}

void EditorManager::DropHiddenInput()
{
    // ImGui hears every event but makes no frame while hidden: what was typed and scrolled in the
    // game is dropped, not handed to a text field when the editor shows again.
    ImGuiIO& io = ImGui::GetIO();
    io.InputQueueCharacters.resize(0);
    io.MouseWheel = 0.0f;
    io.MouseWheelH = 0.0f;
}

void EditorManager::DrawFrame()
{
    DrawGameView();
    // By index: a window's action never adds or removes windows, but the list is read afresh.
    for (size_t i = 0; i < windows.size(); ++i) windows[i]->Draw();
    keyboard_taken = FieldHasKeyboard();
}

void EditorManager::DrawGameView()
{
    EditorLayout::PlaceNextWindow(EditorPane::GameView);
    // The stored flags come from last frame's focus and hover, which miss a press on the frame the
    // mouse arrives, or one while a field or list elsewhere holds ImGui's hover: the view never
    // moves, so a drag that starts in it is always the picked object's.
    ImGui::Begin("##viewport", nullptr, viewport_window_flags | ImGuiWindowFlags_NoMove);
    if (ImGui::IsWindowFocused() || ImGui::IsWindowHovered()) {
        viewport_window_flags |= ImGuiWindowFlags_NoMove;
        viewport_active = true;
    } else {
        viewport_window_flags = 0;
        viewport_active = false;
    }
    const ImVec2 area = ImGui::GetContentRegionAvail();
    const ImVec2 window = WindowSize();
    const float aspect = window.y > 0.0f ? window.x / window.y : 0.0f;
    const Vec2 size = EditorLayout::FitToAspect(area.x, area.y, aspect);
    // The picture fills an image of the window's aspect: a view of another aspect would stretch it.
    EditorCamera::KeepAspect(aspect);
    // The cursor mapping and picking look 5 pixels inside (x, y): placed so that the rectangle they
    // test is the image itself, not the window's corner above its title bar.
    const ImVec2 corner = ImGui::GetCursorScreenPos();
    viewport_x = corner.x - kViewportInset;
    viewport_y = corner.y - kViewportInset;
    viewport_width = size.x;
    viewport_height = size.y;
    Framebuffer* target = Graphics::GetInstance()->GetGameViewFramebuffer();
    const ImTextureID texture =
        target ? reinterpret_cast<ImTextureID>(static_cast<intptr_t>(target->colour_texture)) : nullptr;
    // GL's first row is the bottom one: the image is drawn upside down to stand upright.
    ImGui::Image(texture, ImVec2(size.x, size.y), ImVec2(0.0f, 1.0f), ImVec2(1.0f, 0.0f), ImVec4(1, 1, 1, 1),
                 ImVec4(0, 0, 0, 0));
    ImGui::End();
}

void EditorManager::HandleMessage(Message* message)
{
    if (message->id == MSG_QUIT) {
        SetSelection(nullptr);
        edited_scene.reset();
        return;
    }
    if (message->id != MSG_KEY) return;
    // Only the key-down that began the press: a held Tab, or another key pressed while Tab is
    // down, does not toggle again.
    if (!GameMode && static_cast<KeyMessage*>(message)->IsOwnPress(Platform::VK_TAB_KEY)) EditorVisible = !EditorVisible;
}

int EditorManager::AskUser(const std::string& text, const std::string& caption, uint32_t flags)
{
    if (message_box_) return message_box_(text, caption, flags);
    return Platform::ShowMessageBox(text, caption, flags);
}

bool EditorManager::OpenFolder(const std::string& path)
{
    if (folder_opener_) return folder_opener_(path);
    return Platform::OpenFolder(path);
}

bool EditorManager::OpenAddress(const std::string& address)
{
    if (folder_opener_) return folder_opener_(address);
    return Platform::OpenAddress(address);
}

void EditorManager::SetSelection(Entity* entity)
{
    selected_entity = entity;
    selected_id = entity ? entity->id : 0;
}

Entity* EditorManager::SelectedEntity() const
{
    return selected_id && edited_scene ? edited_scene->GetEntity(selected_id) : nullptr;
}

Entity* EditorManager::FindPlayerEntity() const { return OrvEngine::FindPlayerEntity(); }

std::string EditorManager::UnsavedSceneName() const
{
    return scene_modified && edited_scene ? edited_scene->GetSceneName() : std::string();
}

} // namespace OrvEngine
