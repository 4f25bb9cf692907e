#include "Scripts/Player/SpellsScript.h"

#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Logic/Spells.h"
#include "Scripts/ScriptHelpers.h"

using namespace OrvEngine;

void SpellsScript::Init(Entity* entity)
{
    if (!entity) return;
    spells = entity->GetComponent<Spells>(SPELLS);
    sprite = entity->GetComponent<Sprite>(SPRITE);
}

void SpellsScript::Update(Entity* entity)
{
    if (!DialogueIsRunning) {
        if (spells) spells->Update();
        return;
    }
    auto body = ComponentOf<RigidBody2D>(entity, RIGIDBODY2D);
    if (body) body->SetVelocity(Vec2());
}
