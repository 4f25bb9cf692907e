#include "Scripts/Dialogue/DialogueBoxScript.h"

#include "Components/Child.h"
#include "Components/Sprite.h"
#include "Components/Transform.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/Information.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scripts/Level/SceneQueries.h"
#include "Scripts/ScriptHelpers.h"
#include "Scripts/ScriptSystem.h"

using namespace OrvEngine;

namespace {
const char* const kOpenTexture = "UIAnim_Dialog_Box";
const char* const kDropTexture = "UISprAnim_DialogBox_Drop";
const char* const kRestTexture = "default";
} // namespace

void DialogueBoxScript::Init(Entity* entity)
{
    pending = false;
    sprite = ComponentOf<Sprite>(entity, SPRITE);
    dialogues_started = 0;
}

void DialogueBoxScript::Update(Entity* entity)
{
    (void)entity;
    if (!sprite || !pending || sprite->current_frame < kDialogueBoxReadyFrame) return;
    ++dialogues_started;
    // Cleared first: a piece's Init may already ask for the next opening.
    pending = false;
    for (const std::string& prefab : PrefabsFor(dialogues_started)) InstantiateBoxPiece(prefab);
}

void DialogueBoxScript::PlayIdleAnimation()
{
    if (sprite) {
        sprite->SetStartFrame(1);
        sprite->SetTexture(kOpenTexture);
    }
    pending = true;
}

void DialogueBoxScript::PlayDropAnimation()
{
    if (!sprite) return;
    sprite->SetStartFrame(1);
    sprite->SetTexture(kDropTexture);
}

const std::vector<std::string>& DialogueBoxScript::PrefabsFor(int32_t count)
{
    static const std::vector<std::vector<std::string>> kPieces = {
        {"dialogue_01", "dialogue_01_N"},
        {"dialogue_02", "dialogue_02_N", "Enemy_T1", "Vavu_T1"},
        {"dialogue_03", "dialogue_03_N", "UI_Vavu_T1", "UI_Vavu_Backing_T1", "UI_Vavu_Healthbar_T1"},
    };
    static const std::vector<std::string> kNone;
    if (count < 1 || count > static_cast<int32_t>(kPieces.size())) return kNone;
    return kPieces[static_cast<size_t>(count - 1)];
}

Entity* FindLastDialogueEntity() { return LastEntityOfType(TAG_DIALOGUE); }

DialogueBoxScript* BoxScriptOf(uint64_t entity_id)
{
    if (!FindLiveEntity(entity_id)) return nullptr;
    auto script = ScriptSystem::GetInstance()->GetScript(entity_id);
    return dynamic_cast<DialogueBoxScript*>(script.get());
}

uint64_t FindScriptedBox()
{
    Entity* last = FindLastDialogueEntity();
    return last && BoxScriptOf(last->id) ? last->id : 0;
}

void ResetBoxSprite(Sprite& sprite)
{
    sprite.SetTexture(kRestTexture);
    sprite.SetIsSpritesheet(true);
    sprite.SetStartFrame(1);
}

Entity* InstantiateBoxPiece(const std::string& prefab_name)
{
    Entity* piece = InstantiatePrefab(prefab_name);
    auto child = ComponentOf<Child>(piece, CHILD);
    auto transform = ComponentOf<Transform>(piece, TRANSFORM);
    auto scene = CurrentScene();
    if (!child || !transform || !scene || child->GetParentName().empty()) return piece;
    Entity* parent = scene->FindEntityByName(child->GetParentName());
    auto parent_transform = ComponentOf<Transform>(parent, TRANSFORM);
    if (!parent_transform) return piece;
    transform->position.x += parent_transform->position.x;
    transform->position.y += parent_transform->position.y;
    return piece;
}
