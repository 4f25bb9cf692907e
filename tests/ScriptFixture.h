// A running game scene in which the game's own script classes are registered, with builders for
// scripted entities, the shipped prefabs, and messages the way the input translation sends them.
#pragma once

#include "GameplayFixture.h"

#include "Audio/AudioSystem.h"
#include "Components/Button.h"
#include "CoreEngine/Message.h"
#include "Graphics/ButtonSystem.h"
#include "Windows/Input.h"

#include <cstdlib>
#include <string>

namespace OrvTest {

class ScriptTest : public GameplayTest {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        GameplayTest::SetUp();
        ButtonSystem::GetInstance()->Init();
        OrvEngine::AudioSystem::GetInstance()->Init();
        OrvEngine::RegisterScripts();
    }

    using ButtonSystem = OrvEngine::ButtonSystem;

    // An entity with an Information (name), a Transform and whatever `extras` adds, live in the
    // current scene and in the systems with the named script (none when empty).
    static OrvEngine::Entity* MakeScripted(const std::string& name, const std::string& script,
                                           OrvEngine::Vec3 at = OrvEngine::Vec3(0.0f, 0.0f, 1.0f),
                                           OrvEngine::Vec3 scale = OrvEngine::Vec3(1.0f, 1.0f, 1.0f),
                                           const std::function<void(OrvEngine::Entity*)>& extras = nullptr)
    {
        return MakeInScene(name, OrvEngine::TAG_OTHERS, at, scale, script, extras);
    }

    // A menu button: Sprite and Button, 2 x 1 at `at`.
    static OrvEngine::Entity* MakeButton(const std::string& name, const std::string& script, OrvEngine::Vec3 at,
                                         const std::string& next_state = "")
    {
        using namespace OrvEngine;
        return MakeScripted(name, script, at, Vec3(2.0f, 1.0f, 1.0f), [&](Entity* entity) {
            entity->AddComponent(SPRITE, std::make_shared<Sprite>());
            auto button = std::make_shared<Button>();
            button->SetNextState(next_state);
            entity->AddComponent(BUTTON, button);
        });
    }

    // One frame of the script system with the given frame time.
    static void Frame(float dt = 0.016f)
    {
        OrvEngine::OrvCoreEngine->dt = dt;
        OrvEngine::ScriptSystem::GetInstance()->Update();
    }

    static void Deliver(OrvEngine::Message& message) { OrvEngine::ScriptSystem::GetInstance()->HandleMessage(&message); }

    // A mouse-button message at world (x, y): state 1 is the first report of a press, 0 a release.
    static void MouseButton(float x, float y, uint64_t state, uint32_t which = 1)
    {
        using namespace OrvEngine;
        Input::Instance().world_x = x;
        Input::Instance().world_y = y;
        MouseMessage message(x, y, MSG_MOUSE_BUTTON);
        message.buttons[which] = state;
        Deliver(message);
    }

    // A key message for `key` with the given press count (1 just pressed, more while held).
    static void KeyDown(uint64_t key, uint64_t count = 1)
    {
        OrvEngine::KeyMessage message;
        message.key = key;
        message.counts[key] = count;
        Deliver(message);
    }

    // Selects the entity's button and asks for its activation, as Enter does.
    static void PressWithEnter(OrvEngine::Entity* entity)
    {
        ButtonSystem* system = ButtonSystem::GetInstance();
        system->selected = entity->GetComponent<OrvEngine::Button>(OrvEngine::BUTTON);
        system->activate_request = true;
    }

    static std::string Texture(OrvEngine::Entity* entity)
    {
        return entity->GetComponent<OrvEngine::Sprite>(OrvEngine::SPRITE)->tex_identifier;
    }
};

} // namespace OrvTest
