// The inspector, hierarchy, assets and debug windows in headless editor frames: looking at an
// entity that holds every component changes none of its values; typing into a section's input
// changes exactly that value (clamped where the engine needs it) and marks the scene; a name is
// taken as typed, shared or not, and only an emptied field is refused; every widget has an id of
// its own; the assets window opens one folder a frame and the feedback item the issue page; the
// debug window shows the engine's running time.
#include "EditorTestSupport.h"

#include "Editor/EditorPrefabs.h"
#include "Editor/EditorWidgets.h"
#include "Editor/EditorWindows/ComponentPanelSections.h"
#include "Editor/EditorWindows/LEComponentPanel.h"
#include "Editor/EditorWindows/LEDebugInfo.h"
#include "Editor/EditorWindows/LEResources.h"
#include "Graphics/Graphics.h"
#include "Physics/ForceManager.h"
#include "Physics/PhysicsSystem.h"
#include "Windows/Input.h"

#include <cmath>
#include <map>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

class InspectorFrameTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        EditorVisible = true;
        Enter("GameScene_01");
        everything = MakeEverything();
        editor->SetSelection(everything);
        // The options menu set these; the audio section must show them, not undo them.
        AudioSystem::GetInstance()->SetBGMVolume(0.37f);
        AudioSystem::GetInstance()->SetSFXVolume(0.61f);
        // Taken before the inspector first shows the entity.
        unseen = LiveText(*CurrentScene());
        EditorWidgets::SetItemHook([this](const EditorWidgets::DrawnItem& item) { items.push_back(item); });
        Frame();
        Frame();
    }

    void TearDown() override
    {
        EditorWidgets::SetItemHook(nullptr);
        EditorTest::TearDown();
    }

    // One editor frame with the mouse at `at`, the left button as given; `items` then holds
    // what it drew.
    void Frame(ImVec2 at = ImVec2(-1.0f, -1.0f), bool down = false)
    {
        ImGuiIO& io = ImGui::GetIO();
        io.MousePos = at;
        io.MouseDown[0] = down;
        items.clear();
        editor->Update();
    }

    const EditorWidgets::DrawnItem* Find(const std::string& label) const
    {
        for (const auto& item : items) {
            if (item.label == label) return &item;
        }
        return nullptr;
    }

    // Scrolls the inspector until the widget is in view; its rectangle then.
    const EditorWidgets::DrawnItem* Reveal(const std::string& label)
    {
        ImGuiWindow* window = EditorWindow("Inspector");
        for (int tries = 0; tries < 4 && window; ++tries) {
            const EditorWidgets::DrawnItem* item = Find(label);
            if (!item) return nullptr;
            const ImRect view = window->InnerClipRect;
            if (item->min.y >= view.Min.y && item->max.y <= view.Max.y) return item;
            ImGui::SetScrollY(window, window->Scroll.y + item->min.y - view.Min.y - 10.0f);
            Frame();
        }
        return nullptr;
    }

    // One frame with the key (an ImGui key, mapped to itself here) held, and one with it let go.
    void PressKey(int key, bool ctrl = false)
    {
        ImGuiIO& io = ImGui::GetIO();
        io.KeyCtrl = ctrl;
        io.KeysDown[key] = true;
        Frame(io.MousePos);
        io.KeysDown[key] = false;
        io.KeyCtrl = false;
        Frame(io.MousePos);
    }

    // Clicks into the input's text (which selects all of a number), types, and presses Enter
    // unless told not to. With `replace` all of the text is selected first and typing nothing
    // deletes it.
    void TypeInto(const std::string& label, const std::string& text, bool replace = false, bool enter = true)
    {
        const EditorWidgets::DrawnItem* field = Reveal(label);
        ASSERT_NE(field, nullptr) << label;
        const ImVec2 at(field->min.x + 8.0f, (field->min.y + field->max.y) / 2.0f);
        // Scrolled into the same place as the last field: this click is not the second of a double click.
        ImGui::GetIO().MouseClickedTime[0] = -1e9;
        Frame(at);
        Frame(at, true);
        Frame(at);
        if (replace) PressKey(ImGuiKey_A, true);
        if (replace && text.empty()) PressKey(ImGuiKey_Backspace);
        for (char c : text) {
            ImGui::GetIO().AddInputCharacter(static_cast<unsigned>(c));
            Frame(at);
        }
        if (!enter) return;
        ImGui::GetIO().KeysDown[ImGuiKey_Enter] = true;
        Frame(at);
        ImGui::GetIO().KeysDown[ImGuiKey_Enter] = false;
        Frame(at);
    }

    // What typing `text` into `label` changed in the entity, by path under the entity's name.
    std::vector<std::string> Edit(const std::string& label, const std::string& text)
    {
        editor->scene_modified = false;
        const rapidjson::Document before = EntityValues(*everything);
        TypeInto(label, text);
        std::vector<std::string> changed = Differences(before, EntityValues(*everything));
        for (std::string& path : changed) path = path.substr(path.find('/') + 1);
        return changed;
    }

    Entity* everything = nullptr;
    std::string unseen;
    std::vector<EditorWidgets::DrawnItem> items;
};

using Paths = std::vector<std::string>;

} // namespace

TEST_F(InspectorFrameTest, LookingAtAnEntityForAHundredFramesChangesNothing)
{
    for (int i = 0; i < 98; ++i) Frame();
    EXPECT_EQ(LiveText(*CurrentScene()), unseen);
    EXPECT_FALSE(editor->scene_modified);
    EXPECT_FLOAT_EQ(AudioSystem::GetInstance()->GetBGMVolume(), 0.37f);
    EXPECT_FLOAT_EQ(AudioSystem::GetInstance()->GetSFXVolume(), 0.61f);
    ASSERT_NE(Find("##buffer_text"), nullptr) << "the sections were drawn";

    // An entity without an Information is listed, shown and left as it is.
    Entity* bare = LEHierarchy::AddObject();
    InspectorActions::Rename(*bare, "Bare%s%n");
    bare->RemoveComponent(INFORMATION);
    editor->SetSelection(bare);
    for (int i = 0; i < 3; ++i) Frame();
    EXPECT_NE(Find("##entityname"), nullptr);
    EXPECT_EQ(Find("##entity_tag"), nullptr);
    EXPECT_EQ(bare->GetName(), "Bare%s%n");
    EXPECT_EQ(editor->SelectedEntity(), bare);
}

TEST_F(InspectorFrameTest, TypingIntoAnInputChangesExactlyItsValueClampedAndMarksTheScene)
{
    // An edited Transform is written back with its scale's z as 0.
    EXPECT_EQ(Edit("##transform_pos_x", "4.5"), (Paths{"Transform/position/x", "Transform/scale/z"}));
    EXPECT_TRUE(editor->scene_modified);
    EXPECT_FLOAT_EQ(everything->GetComponent<Transform>(TRANSFORM)->position.x, 4.5f);

    EXPECT_EQ(Edit("##hp", "-5"), Paths{"Stats/hp"});
    EXPECT_EQ(everything->GetComponent<Stats>(STATS)->hp, 0) << "no negative stats";
    EXPECT_EQ(Edit("##attack", "nan"), Paths{});
    EXPECT_FALSE(editor->scene_modified) << "a value that is not a number is refused";
    EXPECT_EQ(Edit("##number_of_frames", "-3"), Paths{"Sprite/number_of_frames"});
    EXPECT_EQ(everything->GetComponent<Sprite>(SPRITE)->number_of_frames, 1) << "a sheet has a frame at least";
    // Mass 0 is the immovable body; a negative mass is refused.
    auto body = everything->GetComponent<RigidBody2D>(RIGIDBODY2D);
    body->SetMass(2.0f);
    EXPECT_EQ(Edit("##rigidbody2d_mass", "0"), Paths{"RigidBody2D/mass"});
    EXPECT_EQ(body->mass, 0.0f);
    EXPECT_EQ(body->inv_mass, 0.0f);
    EXPECT_EQ(Edit("##rigidbody2d_mass", "-2"), Paths{});

    // A text is never cut to a buffer: a character typed into 100 gives 101.
    EXPECT_EQ(Edit("##buffer_text", "Z"), Paths{"Text/textToPrint"});
    EXPECT_EQ(everything->GetComponent<Text>(TEXT)->GetText().size(), 101u);

    // The camera's view: a typed width of 10 becomes 12 wide and 9 high, 4:3.
    EXPECT_EQ(Edit("##camera_size_x", "10"), (Paths{"Transform/scale/x", "Transform/scale/y"}));
    auto transform = everything->GetComponent<Transform>(TRANSFORM);
    EXPECT_FLOAT_EQ(transform->scale.x, 12.0f);
    EXPECT_FLOAT_EQ(transform->scale.y, 9.0f);

    // The aspect lock scales y with x; from a zero axis the other one takes the typed value.
    ASSERT_TRUE(InspectorSections::GetOptions().keep_scale_aspect);
    transform->scale = Vec3(2.0f, 1.0f, 1.0f);
    EXPECT_EQ(Edit("##transform_scale_x", "4"), (Paths{"Transform/scale/x", "Transform/scale/y", "Transform/scale/z"}));
    EXPECT_FLOAT_EQ(transform->scale.y, 2.0f);
    transform->scale.x = 0.0f;
    EXPECT_EQ(Edit("##transform_scale_x", "3"), (Paths{"Transform/scale/x", "Transform/scale/y"}));
    EXPECT_EQ(transform->scale, Vec3(3.0f, 3.0f, 0.0f)) << "y takes the new x";
    transform->scale = Vec3(5.0f, 0.0f, 1.0f);
    EXPECT_EQ(Edit("##transform_scale_y", "2"), (Paths{"Transform/scale/x", "Transform/scale/y", "Transform/scale/z"}));
    EXPECT_EQ(transform->scale, Vec3(2.0f, 2.0f, 0.0f)) << "x takes the new y";
}

// Typed numbers past the game's range stop at its ends, read as a file would be (no wrap); a body
// the editor adds, by hand or for a collider, is the one its creator makes.
TEST_F(InspectorFrameTest, NumbersPastTheGamesRangeStopAtItsEndsAndAddedBodiesAreTheCreators)
{
    auto stats = everything->GetComponent<Stats>(STATS);
    EXPECT_EQ(Edit("##hp", "99999999999"), Paths{"Stats/hp"});
    EXPECT_EQ(stats->hp, Stats::kMaxHp) << "not wrapped to 1215752191";
    EXPECT_EQ(Edit("##hp", "-99999999999"), Paths{"Stats/hp"});
    EXPECT_EQ(stats->hp, 0);
    EXPECT_EQ(Edit("##attack", "1e30"), Paths{"Stats/attack"});
    EXPECT_EQ(stats->attack, Stats::kMaxValue);
    EXPECT_EQ(Edit("##speed_mod", "123456789"), Paths{"Stats/spd_modifier"});
    EXPECT_EQ(stats->spd_modifier, Stats::kMaxValue);

    // What the inspector writes, a file read gives back unchanged.
    rapidjson::Document saved;
    saved.Parse(Serializer::ObjectText([&](JsonWriter& writer) { stats->Serialize(writer); }).c_str());
    Stats read;
    read.Deserialize(saved);
    EXPECT_EQ(read.hp, 0);
    EXPECT_EQ(read.attack, Stats::kMaxValue);

    for (const char* added : {"BoxCollider", "RigidBody2D"}) {
        Entity* entity = LEHierarchy::AddObject();
        ASSERT_TRUE(InspectorActions::AddComponent(*entity, added));
        auto body = entity->GetComponent<RigidBody2D>(RIGIDBODY2D);
        ASSERT_NE(body, nullptr) << added;
        EXPECT_EQ(body->mass, 0.0f) << added << ": the creator's mass";
        EXPECT_EQ(body->inv_mass, 0.0f) << added << ": forces move no body of mass 0";
    }

    // A body of mass 0 stays put under a force that moves a body of mass 1.
    Entity* pushed = LEHierarchy::AddObject();
    ASSERT_TRUE(InspectorActions::AddComponent(*pushed, "RigidBody2D"));
    auto body = pushed->GetComponent<RigidBody2D>(RIGIDBODY2D);
    auto transform = pushed->GetComponent<Transform>(TRANSFORM);
    transform->position = Vec3(50.0f, 50.0f, 1.0f);
    ForceRecord push;
    push.type = 3;
    push.vector = Vec2(5.0f, 0.0f);
    push.active = 1;
    push.keep_active = 1;
    push.entity_id = pushed->id;
    auto& forces = ForceManager::GetInstance()->forces;
    forces["push"] = push;
    GameIsRunning = true;
    auto steps = [](int count) {
        for (int i = 0; i < count; ++i) PhysicsSystem::GetInstance()->Step();
    };
    steps(3);
    EXPECT_EQ(transform->position, Vec3(50.0f, 50.0f, 1.0f)) << "mass 0: no division, no move";
    EXPECT_EQ(body->velocity, Vec2());
    body->SetMass(1.0f);
    steps(3);
    GameIsRunning = false;
    forces.erase("push");
    EXPECT_GT(transform->position.x, 50.0f) << "the same force moves a body of mass 1";
}

TEST_F(InspectorFrameTest, EveryWidgetOfEverySectionHasAnIdOfItsOwn)
{
    // Two objects of one name in the list, and the open search window, in the same frame.
    LEHierarchy::AddObject();
    LEHierarchy::AddObject();
    editor->SetSelection(everything);
    editor->FindWindow<LEInspector>()->searchOpen = true;
    Frame();
    Frame();
    std::map<ImGuiID, std::string> seen;
    size_t slider_entities = 0;
    for (const auto& item : items) {
        slider_entities += item.label == "##slider_ent";
        EXPECT_NE(item.id, 0u) << item.label;
        auto [at, fresh] = seen.emplace(item.id, item.label);
        EXPECT_TRUE(fresh) << "'" << item.label << "' shares its id with '" << at->second << "'";
    }
    EXPECT_EQ(slider_entities, 2u) << "the Sprite and Slider sections were both drawn";
    EXPECT_GT(items.size(), 100u);
    for (const char* label : {"Remove Component##RemoveComponent5", "Remove Component##RemoveComponent19", "Audio"}) {
        EXPECT_NE(Find(label), nullptr) << label;
    }
    EXPECT_EQ(Find("Remove Component##RemoveComponent2"), nullptr) << "the Transform stays";
}

TEST_F(InspectorFrameTest, TheAssetsWindowOpensOneFolderAFrameAndTheFeedbackItemTheIssuePage)
{
    auto* assets = editor->FindWindow<LEResources>();
    ASSERT_NE(assets, nullptr);
    assets->open_font = true;
    assets->open_art = true;
    Frame();
    EXPECT_EQ(folders, std::vector<std::string>{"../Resources/ArtAssets"});
    Frame();
    EXPECT_EQ(folders, (std::vector<std::string>{"../Resources/ArtAssets", "../Resources/fonts"}));
    EXPECT_FALSE(assets->open_art || assets->open_font) << "served requests show no tick";
    EXPECT_EQ(LEDebugInfo::ShownReport("Graphics: 12.5%%\nFPS: 60"), "Graphics: 12.5%\nFPS: 60");
    // The running time is the engine's, paused frames included, not the game's clock.
    OrvCoreEngine->total = 12.5;
    OrvCoreEngine->paused_total = 4.0;
    EXPECT_FLOAT_EQ(LEDebugInfo::ShownTime(), 12.5f);
    EXPECT_FLOAT_EQ(TotalTime(), 8.5f);

    // The hierarchy's "Feedback" menu, then its one item: the issue page opens.
    auto click = [this](ImVec2 at) {
        Frame(at);
        Frame(at, true);
        Frame(at);
    };
    const ImRect bar = EditorWindow("Hierarchy")->MenuBarRect();
    click(ImVec2(bar.Min.x + 20.0f, bar.GetCenter().y));
    ImGuiWindow* menu = ImGui::FindWindowByName("##Menu_00");
    ASSERT_NE(menu, nullptr);
    click(ImVec2(menu->DC.CursorStartPos.x + 20.0f, menu->DC.CursorStartPos.y + ImGui::GetFontSize() / 2.0f));
    EXPECT_EQ(folders.back(), LEHierarchy::kFeedbackAddress);

    // Choosing a row selects it, choosing it again clears the selection; neither is an edit.
    editor->scene_modified = false;
    const std::string row = "Tree##" + std::to_string(CurrentScene()->FindEntityByName("Tree")->id);
    const EditorWidgets::DrawnItem* tree = Find(row);
    ASSERT_NE(tree, nullptr);
    const ImVec2 at((tree->min.x + tree->max.x) / 2.0f, (tree->min.y + tree->max.y) / 2.0f);
    for (int click = 0; click < 2; ++click) {
        Frame(at);
        Frame(at, true);
        Frame(at);
        EXPECT_EQ(editor->SelectedEntity(), click == 0 ? CurrentScene()->FindEntityByName("Tree") : nullptr);
    }
    EXPECT_FALSE(editor->scene_modified);
}

TEST_F(InspectorFrameTest, ANameIsTakenAsTypedSharedOrNotAndOnlyAnEmptyFieldIsRefused)
{
    const std::string emptied = "Name refused: A name cannot be empty.";
    editor->scene_modified = false;
    TypeInto("##entityname", "", true, false);
    EXPECT_EQ(everything->GetName(), "Everything") << "an empty field leaves the name standing";
    EXPECT_EQ(everything->GetComponent<Information>(INFORMATION)->name, "Everything");
    EXPECT_NE(Find(emptied), nullptr) << "the field says why";
    EXPECT_FALSE(editor->scene_modified);
    ImGui::GetIO().AddInputCharacter('P');
    Frame();
    EXPECT_EQ(everything->GetName(), "P") << "taken as typed, before Enter";
    EXPECT_EQ(Find(emptied), nullptr);
    EXPECT_TRUE(editor->scene_modified);
    for (char c : std::string("layer")) {
        ImGui::GetIO().AddInputCharacter(static_cast<unsigned>(c));
        Frame();
    }
    PressKey(ImGuiKey_Enter);
    EXPECT_EQ(everything->GetName(), "Player") << "another object's name is taken too";
    EXPECT_EQ(everything->GetComponent<Information>(INFORMATION)->name, "Player");
    EXPECT_EQ(CurrentScene()->FindEntityByName("Player")->GetComponent<Information>(INFORMATION)->type, 1u)
        << "the first Player is still the one found by name";
    TypeInto("##entityname", "", true);
    EXPECT_EQ(everything->GetName(), "Player");
    EXPECT_EQ(Find(emptied), nullptr) << "a field left empty shows the name that stands";

    // Every added object is a "new_obj"; a prefab copy is named by the factory, which looks only
    // at its name index: here no indexed object is a "Tree", though the scene has one.
    ASSERT_TRUE(EditorPrefabs::SaveAsPrefab(*CurrentScene()->FindEntityByName("Tree"), false));
    EntityFactory::GetInstance()->GetEntitiesByName().erase("Tree");
    const uint64_t first = LEHierarchy::AddObject()->id;
    const uint64_t second = LEHierarchy::AddObject()->id;
    EXPECT_EQ(CurrentScene()->GetEntity(second)->GetName(), "new_obj");
    Entity* copy = LEHierarchy::CreateFromPrefab("Tree");
    EXPECT_EQ(copy->GetName(), "Tree");
    EXPECT_EQ(copy->GetComponent<Information>(INFORMATION)->name, "Tree");
    Frame();
    for (uint64_t id : {first, second}) {
        EXPECT_NE(Find("new_obj##" + std::to_string(id)), nullptr) << "one list entry each, told apart by id";
    }

    // Saved as members of one key each, and read back as as many objects.
    ASSERT_TRUE(LEHierarchy::SaveScene());
    std::map<std::string, int> saved, loaded;
    rapidjson::Document file = Parse(ReadData("GameScene_01/Entities.json"));
    for (auto m = file.MemberBegin(); m != file.MemberEnd(); ++m) ++saved[m->name.GetString()];
    for (const auto& [id, entity] : *CurrentScene()->GetLoadedEntities()) ++loaded[entity->GetName()];
    EXPECT_EQ(saved["new_obj"], 2);
    EXPECT_EQ(saved["Tree"], 2);
    EXPECT_EQ(saved["Player"], 2);
    EXPECT_EQ(loaded, saved);
}

TEST_F(InspectorFrameTest, KeysTypedIntoAFieldOrAListActNowhereElseAndTheExitBoxNamesUnsavedWork)
{
    Input& input = Input::Instance();
    auto press = [&](uint64_t key, uint64_t character) {
        input.HandleWindowMessage(Platform::WM_KEYDOWN_MSG, key, 0);
        input.HandleWindowMessage(Platform::WM_CHAR_MSG, character, 0);
        input.HandleWindowMessage(Platform::WM_KEYUP_MSG, key, 0);
    };
    auto click = [this](const std::string& label) {
        const EditorWidgets::DrawnItem* item = Reveal(label);
        ASSERT_NE(item, nullptr) << label;
        const ImVec2 at(item->min.x + 8.0f, (item->min.y + item->max.y) / 2.0f);
        ImGui::GetIO().MouseClickedTime[0] = -1e9;
        Frame(at);
        Frame(at, true);
        Frame(at);
    };
    auto imgui_key = [this](int key) {
        ImGui::GetIO().KeysDown[key] = true;
        Frame();
        ImGui::GetIO().KeysDown[key] = false;
        // ImGui reports the text input of the frame before.
        Frame();
        Frame();
    };
    Graphics* graphics = Graphics::GetInstance();
    const Vec2 view(graphics->camera_x, graphics->camera_height);
    setenv("ORV_MSGBOX_ANSWER", "no", 1);

    // Typing a name, then with the tag list open: no pan, zoom, Tab or Escape, no game key.
    for (const char* label : {"##entityname", "##entity_tag"}) {
        click(label);
        ASSERT_TRUE(editor->keyboard_taken) << label;
        StdoutCapture out;
        input.HandleWindowMessage(Platform::WM_KEYDOWN_MSG, 'D', 0);
        EXPECT_FALSE(Input::GetKeyMessage().IsKeyDown('D')) << "the game never sees the press";
        input.HandleWindowMessage(Platform::WM_KEYUP_MSG, 'D', 0);
        press('J', 'j');
        press(0xBB, '+');
        press(Platform::VK_TAB_KEY, Platform::VK_TAB_KEY);
        press(Platform::VK_ESCAPE_KEY, Platform::VK_ESCAPE_KEY);
        EXPECT_FALSE(Contains(out.Take(), "Are you sure you want to exit?")) << label;
        EXPECT_EQ(Vec2(graphics->camera_x, graphics->camera_height), view) << label;
        EXPECT_TRUE(EditorVisible) << label;
        EXPECT_TRUE(OrvCoreEngine->running);
        imgui_key(label == std::string("##entityname") ? ImGuiKey_Enter : ImGuiKey_Escape);
        EXPECT_FALSE(editor->keyboard_taken) << label;
    }

    // Out of the field the view's keys act, and Escape asks, naming the unsaved scene.
    press('L', 'l');
    EXPECT_GT(graphics->camera_x, view.x);
    editor->scene_modified = true;
    StdoutCapture unsaved;
    press(Platform::VK_ESCAPE_KEY, Platform::VK_ESCAPE_KEY);
    const std::string asked = unsaved.Take();
    EXPECT_TRUE(Contains(asked, "Are you sure you want to exit?\nThe scene GameScene_01 has unsaved changes")) << asked;
    editor->scene_modified = false;
    StdoutCapture saved;
    press(Platform::VK_ESCAPE_KEY, Platform::VK_ESCAPE_KEY);
    const std::string plain = saved.Take();
    EXPECT_TRUE(Contains(plain, "Are you sure you want to exit?"));
    EXPECT_FALSE(Contains(plain, "unsaved"));
    EXPECT_TRUE(OrvCoreEngine->running);
    unsetenv("ORV_MSGBOX_ANSWER");
}
