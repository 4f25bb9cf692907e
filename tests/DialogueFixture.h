// A running game scene with every game script registered, a dialogue box and the shipped dialogue
// prefabs at hand; frames are one script-system update each, and Enter is pressed, held or released
// through the static key message as the input translation would.
#pragma once

#include "GameplayFixture.h"

#include "Components/Text.h"
#include "Graphics/FreetypeSystem.h"
#include "Scripts/Dialogue/DialogueBoxScript.h"
#include "Windows/Input.h"

#include <string>

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
        return MakeInScene(name, tag, Vec3(0.0f, 0.0f, 1.0f), Vec3(1.0f, 1.0f, 1.0f), script, [with_text](Entity* e) {
            if (with_text) e->AddComponent(TEXT, std::make_shared<Text>());
        });
    }

    // The level's dialogue box: type 8, a 16-frame sheet resting on "default", DialogueBoxScript.
    static OrvEngine::Entity* MakeBox()
    {
        using namespace OrvEngine;
        return MakeInScene("DialogueBox", TAG_DIALOGUE, Vec3(0.0f, -3.0f, 400.0f), Vec3(15.5f, 10.0f, 1.0f),
                           "DialogueBoxScript", [](Entity* box) {
                               auto sprite = AddSprite(box, 16);
                               sprite->SetIsSpritesheet(true);
                               sprite->play_once = true;
                               sprite->SetTexture("default");
                           });
    }

    static DialogueBoxScript* BoxScript(OrvEngine::Entity* box) { return BoxScriptOf(box->id); }
    static std::shared_ptr<OrvEngine::Sprite> SpriteOf(OrvEngine::Entity* e)
    {
        return Get<OrvEngine::Sprite>(e, OrvEngine::SPRITE);
    }
    static std::string TextOf(OrvEngine::Entity* e) { return Get<OrvEngine::Text>(e, OrvEngine::TEXT)->GetText(); }
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
};

} // namespace OrvTest
