// A running game scene with every game script registered, a dialogue box and the shipped dialogue
// prefabs at hand; frames are one script-system update each, and Enter is pressed, held or released
// through the static key message as the input translation would.
#pragma once

#include "GameplayFixture.h"

#include "Components/ScriptComponent.h"
#include "Components/Text.h"
#include "Graphics/FreetypeSystem.h"
#include "Scripts/Dialogue/DialogueBoxScript.h"
#include "Windows/Input.h"

#include <string>
#include <vector>

namespace OrvTest {

class DialogueTest : public GameplayTest {
protected:
    void SetUp() override
    {
        GameplayTest::SetUp();
        OrvEngine::FreetypeSystem::GetInstance()->Init();
        OrvEngine::RegisterScripts();
    }

    // An entity of the current scene, in the systems, with the given script (none when empty).
    static OrvEngine::Entity* MakeScripted(const std::string& name, uint32_t tag, const std::string& script,
                                           bool with_text = false)
    {
        using namespace OrvEngine;
        Entity* entity = MakeTransformEntity(name, Vec3(0.0f, 0.0f, 1.0f), Vec3(1.0f, 1.0f, 1.0f), tag);
        if (with_text) entity->AddComponent(TEXT, std::make_shared<Text>());
        if (!script.empty()) {
            auto component = std::make_shared<ScriptComponent>();
            component->file_name = script;
            entity->AddComponent(SCRIPTCOMPONENT, component);
        }
        Scene()->AddEntity(entity->id, entity);
        Join(entity);
        return entity;
    }

    // The level's dialogue box: type 8, a 16-frame sheet resting on "default", DialogueBoxScript.
    static OrvEngine::Entity* MakeBox()
    {
        using namespace OrvEngine;
        Entity* box =
            MakeTransformEntity("DialogueBox", Vec3(0.0f, -3.0f, 400.0f), Vec3(15.5f, 10.0f, 1.0f), TAG_DIALOGUE);
        auto sprite = AddSprite(box, 16);
        sprite->SetIsSpritesheet(true);
        sprite->play_once = true;
        sprite->SetTexture("default");
        auto component = std::make_shared<ScriptComponent>();
        component->file_name = "DialogueBoxScript";
        box->AddComponent(SCRIPTCOMPONENT, component);
        Scene()->AddEntity(box->id, box);
        Join(box);
        return box;
    }

    static DialogueBoxScript* BoxScript(OrvEngine::Entity* box) { return BoxScriptOf(box->id); }
    static std::shared_ptr<OrvEngine::Sprite> SpriteOf(OrvEngine::Entity* e)
    {
        return Get<OrvEngine::Sprite>(e, OrvEngine::SPRITE);
    }
    static std::string TextOf(OrvEngine::Entity* e) { return Get<OrvEngine::Text>(e, OrvEngine::TEXT)->GetText(); }
    template <class T>
    static T* ScriptOf(OrvEngine::Entity* e)
    {
        return dynamic_cast<T*>(OrvEngine::ScriptSystem::GetInstance()->GetScript(e->id).get());
    }

    // Copies shipped prefabs into the test's data folder and loads them.
    void LoadShippedPrefabs(const std::vector<std::string>& names) const
    {
        for (const std::string& name : names) {
            WriteFile(DataDir() / "Prefab" / (name + ".json"),
                      ReadFile(SourceDir() / "Resources" / "Data" / "Prefab" / (name + ".json")));
            ASSERT_TRUE(OrvEngine::EntityFactory::GetInstance()->LoadPrefab(name)) << name;
        }
    }

    static void Frame(int count = 1)
    {
        for (int i = 0; i < count; ++i) OrvEngine::ScriptSystem::GetInstance()->Update();
    }

    // Sets Enter's press count (1 just pressed, more while held, 0 up) and sends the key message.
    static void SetEnter(uint64_t count)
    {
        OrvEngine::KeyMessage& keys = OrvEngine::Input::GetKeyMessage();
        keys.key = 13;
        keys.counts[13] = count;
        OrvEngine::ScriptSystem::GetInstance()->HandleMessage(&keys);
    }

    static bool IsLive(uint64_t id) { return Scene()->GetEntity(id) != nullptr; }

    // The live entity named like a prefab's first instance, or null.
    static OrvEngine::Entity* Named(const std::string& name) { return Scene()->FindEntityByName(name); }
    // How many live entities have names beginning with prefix.
    static int CountNamed(const std::string& prefix)
    {
        int count = 0;
        for (const auto& [id, entity] : Scene()->GetEntities()) count += entity->name.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }
};

} // namespace OrvTest
