// What the editor tests share: a started engine (null backend) on a small data tree with the
// message box and folder opener faked; finding the editor's widgets on screen from ImGui's own
// window records (ImGui 1.86 has no test engine) and the ids ImGui gives them; and a scripted
// mouse that clicks through io.MousePos and the left button over three frames.
#pragma once

#include "TestSupport.h"

#include "Components/BoxCollider.h"
#include "Components/Button.h"
#include "Components/RigidBody2D.h"
#include "Components/Slider.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "Editor/EditorWindows/ComponentPanelActions.h"
#include "Editor/EditorWindows/LEHierarchy.h"
#include "Editor/EditorWindows/LEScene.h"
#include "Logic/AIMovement.h"
#include "Logic/BossBehaviour.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"
#include "SystemList.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <string>
#include <vector>

namespace OrvTest {

using namespace OrvEngine;

inline std::string Actor(const std::string& name, unsigned type, float x, float y, const std::string& extra = "")
{
    return "\"" + name + "\": [{\"Information\": [{\"name\": \"" + name + "\", \"type\": " + std::to_string(type) +
           ", \"active\": true}], \"Transform\": [{\"position\": [{\"x\": " + std::to_string(x) +
           ", \"y\": " + std::to_string(y) +
           ", \"z\": 1.0}], \"rotation\": 0.0, \"scale\": [{\"x\": 1.0, \"y\": 1.0, \"z\": 1.0}]}]" + extra + "}]";
}

inline const std::string kBody = ", \"RigidBody2D\": [{\"body_type\": 0, \"mass\": 1.0}], \"BoxCollider\": [{\"size\": "
                          "[{\"x\": 1.0, \"y\": 1.0}], \"is_enabled\": true}]";

class EditorTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        MakeAssetFolders(Root());
        WriteData("config.json", R"({"Name": "Editor", "Height": 720, "Width": 1280})");
        WriteScenes(DataDir(),
                    {{"GameScene_01", 2,
                      EntityDocument({Actor("Cam", 0, 0, 0, ", \"Camera\": [{}]"),
                                      Actor("Player", 1, 1, 2, ", \"Stats\": [{\"hp\": 30, \"attack\": 5.0}]" + kBody),
                                      Actor("Rock", 4, 3, 0, kBody), Actor("Tree", 5, -2, 1)})},
                     {"GameScene_02", 2, EntityDocument({Actor("Cam", 0, 0, 0), Actor("Sign", 11, 4, 4)})},
                     {"MainMenuScene", 2, EntityDocument({Actor("Title", 5, 0, 3)})},
                     {"SplashScene_00", 1, EntityDocument({Actor("Logo", 5, 0, 0)}),
                      R"({"show_time": 1.0, "scene_name": "SplashScene_00", "next_state": "GameScene_02"})"}});
        OrvCoreEngine = new CoreEngine();
        AddEngineSystems();
        StdoutCapture quiet;
        OrvCoreEngine->InitializeSystems();
        new SceneStateMachine();
        quiet.Take();
        editor = EditorManager::GetInstance();
        editor->SetMessageBoxHandler([this](const std::string& text, const std::string& caption, uint32_t) {
            boxes.push_back(caption + ": " + text);
            return answer;
        });
        editor->SetFolderOpener([this](const std::string& path) {
            folders.push_back(path);
            return true;
        });
    }

    // A scene change as the frame end carries it out, then the scenes window's follow-up.
    static void FrameEnd()
    {
        OrvStateMachine->Update();
        LEScene::FollowCurrentScene();
    }

    static void Enter(const std::string& scene)
    {
        OrvStateMachine->ChangeState(scene);
        FrameEnd();
        ASSERT_EQ(CurrentScene()->GetSceneName(), scene);
    }

    static std::shared_ptr<Transform> TransformOf(const std::string& entity)
    {
        Entity* found = CurrentScene() ? CurrentScene()->FindEntityByName(entity) : nullptr;
        return found ? found->GetComponent<Transform>(TRANSFORM) : nullptr;
    }

    // Every live entity of the scene with every component value, as an entity file holds them.
    static std::string LiveText(const IScene& scene)
    {
        EntityFactory* factory = EntityFactory::GetInstance();
        std::map<uint64_t, Entity*> kept;
        kept.swap(factory->GetEntities());
        factory->GetEntities() = scene.GetEntities();
        const std::string text = Serializer::ObjectText([&](JsonWriter& writer) { factory->SerializeEntities(writer); });
        factory->GetEntities().swap(kept);
        return text;
    }

    // Some play: the player moves and loses hp, the rock goes, a new entity appears.
    static void PlaySomething()
    {
        TransformOf("Player")->position = Vec3(9.0f, 9.0f, 1.0f);
        CurrentScene()->FindEntityByName("Player")->GetComponent<Stats>(STATS)->hp = 3;
        CurrentScene()->RemoveEntityByName("Rock");
        Entity* spawned = EntityFactory::GetInstance()->CreateEntity("Spark");
        EntityFactory::GetInstance()->GetEntities().clear();
        CurrentScene()->AddEntity(spawned->id, spawned);
        DialogueIsRunning = true;
    }

    // A new object of the current scene holding every component the factory knows, added as the
    // inspector adds them, with values that rewriting them unasked would change: a text longer
    // than 63 characters, negative hit points, a view size that is not whole, a tag and a body
    // type outside their lists, a sheet of no frames.
    Entity* MakeEverything()
    {
        Entity* entity = LEHierarchy::AddObject();
        InspectorActions::Rename(*entity, "Everything");
        // Placed first: several components take their start from the Transform when added.
        auto transform = entity->GetComponent<Transform>(TRANSFORM);
        transform->position = Vec3(1.25f, -2.5f, 3.0f);
        transform->scale = Vec3(2.5f, 1.5f, 1.0f);
        for (const auto& [name, creator] : EntityFactory::GetInstance()->GetComponentCreators()) {
            InspectorActions::AddComponent(*entity, name);
        }
        entity->GetComponent<Information>(INFORMATION)->type = 15;
        entity->GetComponent<Stats>(STATS)->hp = -3;
        entity->GetComponent<Text>(TEXT)->SetText(std::string(100, 'w'));
        auto sprite = entity->GetComponent<Sprite>(SPRITE);
        sprite->SetIsSpritesheet(true);
        sprite->number_of_frames = 0;
        sprite->SetTint(Color(0.5f, 0.25f, 1.0f, 0.75f), true);
        sprite->SetIsSlider(true);
        entity->GetComponent<RigidBody2D>(RIGIDBODY2D)->body_type = 7;
        entity->GetComponent<Button>(BUTTON)->SetNextState("GameScene_02");
        entity->GetComponent<EnemyMovement>(ENEMYMOVEMENT)->debuff_timer = 0.5f;
        entity->GetComponent<BossBehaviour>(BOSSBEHAVIOUR)->max_num_of_enemy = -1;
        entity->GetComponent<PlayerController>(PLAYERCONTROLLER)->spell_speed = 7.0f;
        editor->scene_modified = false;
        return entity;
    }

    // One entity's components as a document, for comparing values before and after.
    static rapidjson::Document EntityValues(Entity& entity)
    {
        EntityFactory* factory = EntityFactory::GetInstance();
        std::map<uint64_t, Entity*> kept;
        kept.swap(factory->GetEntities());
        factory->GetEntities()[entity.id] = &entity;
        const std::string text = Serializer::ObjectText([&](JsonWriter& writer) { factory->SerializeEntities(writer); });
        factory->GetEntities().swap(kept);
        return Parse(text);
    }

    // The paths of the values that differ between two documents ("Transform/position/x").
    static void Differences(const rapidjson::Value& a, const rapidjson::Value& b, const std::string& path,
                            std::vector<std::string>& out)
    {
        if (a.IsObject() && b.IsObject()) {
            for (auto m = a.MemberBegin(); m != a.MemberEnd(); ++m) {
                const std::string key = m->name.GetString();
                if (!b.HasMember(m->name)) out.push_back(path + key);
                else Differences(m->value, b[m->name], path + key + "/", out);
            }
            for (auto m = b.MemberBegin(); m != b.MemberEnd(); ++m) {
                if (!a.HasMember(m->name)) out.push_back(path + m->name.GetString());
            }
        } else if (a.IsArray() && b.IsArray() && a.Size() == b.Size()) {
            for (rapidjson::SizeType i = 0; i < a.Size(); ++i) Differences(a[i], b[i], path, out);
        } else if (a != b) {
            out.push_back(path.empty() ? path : path.substr(0, path.size() - 1));
        }
    }

    static std::vector<std::string> Differences(const rapidjson::Value& a, const rapidjson::Value& b)
    {
        std::vector<std::string> out;
        Differences(a, b, "", out);
        return out;
    }

    EditorManager* editor = nullptr;
    std::vector<std::string> boxes;
    std::vector<std::string> folders;
    int answer = Platform::ID_YES;
};



inline ImGuiWindow* EditorWindow(const char* name) { return ImGui::FindWindowByName(name); }

// The id ImGui gives a widget labelled `label` at the top of a window's id stack.
inline ImGuiID WidgetId(const char* window_name, const std::string& label)
{
    ImGuiWindow* window = EditorWindow(window_name);
    return window ? ImHashStr(label.c_str(), 0, window->ID) : 0;
}

// The id of a widget under an open tree node of the window.
inline ImGuiID TreeWidgetId(const char* window_name, const std::string& tree_label, const std::string& label)
{
    return ImHashStr(label.c_str(), 0, WidgetId(window_name, tree_label));
}

// What the mouse hovered in the last frame.
inline ImGuiID HoveredId() { return ImGui::GetCurrentContext()->HoveredId; }

inline float ButtonWidth(const std::string& label)
{
    return ImGui::CalcTextSize(label.c_str(), nullptr, true).x + ImGui::GetStyle().FramePadding.x * 2.0f;
}

// The centre of button `index` of the buttons laid out with SameLine on the window's first row.
inline ImVec2 RowButtonCentre(const char* window_name, const std::vector<std::string>& row, size_t index)
{
    ImGuiWindow* window = EditorWindow(window_name);
    if (!window || index >= row.size()) return ImVec2(-1.0f, -1.0f);
    const ImGuiStyle& style = ImGui::GetStyle();
    float x = window->DC.CursorStartPos.x;
    for (size_t i = 0; i < index; ++i) x += ButtonWidth(row[i]) + style.ItemSpacing.x;
    return ImVec2(x + ButtonWidth(row[index]) / 2.0f, window->DC.CursorStartPos.y + ImGui::GetFrameHeight() / 2.0f);
}

// The centre of the square of a checkbox on the window's second row (after a row of buttons).
inline ImVec2 SecondRowCheckboxCentre(const char* window_name)
{
    ImGuiWindow* window = EditorWindow(window_name);
    if (!window) return ImVec2(-1.0f, -1.0f);
    const float frame = ImGui::GetFrameHeight();
    return ImVec2(window->DC.CursorStartPos.x + frame / 2.0f,
                  window->DC.CursorStartPos.y + frame + ImGui::GetStyle().ItemSpacing.y + frame / 2.0f);
}

// The centre of row `row` under the open tree node "Scenes" of the scenes window; the tree sits
// below a row of buttons while they are shown.
inline ImVec2 SceneRowCentre(bool buttons_shown, size_t row)
{
    ImGuiWindow* window = EditorWindow("Scenes");
    if (!window) return ImVec2(-1.0f, -1.0f);
    const ImGuiStyle& style = ImGui::GetStyle();
    const float line = ImGui::GetFontSize() + style.ItemSpacing.y;
    float y = window->DC.CursorStartPos.y;
    if (buttons_shown) y += ImGui::GetFrameHeight() + style.ItemSpacing.y;
    y += line * static_cast<float>(row + 1) + ImGui::GetFontSize() / 2.0f;
    return ImVec2(window->DC.CursorStartPos.x + style.IndentSpacing + 20.0f, y);
}

// A left click spread over three editor frames: hover, press, release. Call Apply once per frame
// after the back-ends have read the devices; it reports when the click is complete.
struct ScriptedMouse {
    ImVec2 target{-1.0f, -1.0f};
    int phase = -1; // -1 idle, 0 hover, 1 pressed, 2 released

    void Click(ImVec2 at)
    {
        target = at;
        phase = 0;
    }
    bool Busy() const { return phase >= 0; }

    void Apply()
    {
        ImGuiIO& io = ImGui::GetIO();
        io.MousePos = target;
        io.MouseDown[0] = phase == 1;
        if (phase >= 0) phase = phase == 2 ? -1 : phase + 1;
    }
};

} // namespace OrvTest
