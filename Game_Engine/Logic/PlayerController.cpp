#include "Logic/PlayerController.h"

#include "Components/BoxCollider.h"
#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/EditorState.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "CoreEngine/Serializer.h"
#include "CoreEngine/SharedValues.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Logic/GameplayRules.h"
#include "Logic/PlayerDebugKeys.h"
#include "Logic/SpellKind.h"
#include "Logic/Spells.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scene/Spawn.h"
#include "Windows/Input.h"

#include <cmath>

namespace OrvEngine {

namespace {
// The hurt pose lasts this long from the attack.
constexpr float kHurtPoseTime = 0.5f;
constexpr float kFootstepPause = 0.5f;
constexpr float kReachCentreHeight = 0.7f;
constexpr float kSpellOffsetX = 0.2f;
constexpr float kSpellOffsetY = -0.6f;
// The cast animation releases the spell this many frames before its end.
constexpr int32_t kSpellReleaseFromEnd = 7;
constexpr int32_t kCastFrames = 16;
} // namespace

// ---- Shared helpers -------------------------------------------------------------------------

float PlayerController::Now() { return TotalTime(); }

Entity* PlayerController::LiveEntity(uint64_t id) { return FindLiveEntity(id); }

std::shared_ptr<IScene> PlayerController::CurrentScene() { return OrvEngine::CurrentScene(); }

std::shared_ptr<Transform> PlayerController::OwnTransform() const
{
    return owner ? owner->GetComponent<Transform>(TRANSFORM) : nullptr;
}

void PlayerController::PlaySound(const std::string& event) const
{
    Gameplay::PlayEvent(owner, event);
}

Entity* PlayerController::GetAttacker() const { return LiveEntity(attacker); }

// ---- Component operations -------------------------------------------------------------------

PlayerController::~PlayerController() { purification.Abandon(); }

bool PlayerController::Serialize(JsonWriter& writer)
{
    Serializer::WriteInt(writer, "up_key", up_key);
    Serializer::WriteInt(writer, "down_key", down_key);
    Serializer::WriteInt(writer, "left_key", left_key);
    Serializer::WriteInt(writer, "right_key", right_key);
    Serializer::WriteFloat(writer, "attack_cooldown", attack_cooldown);
    Serializer::WriteFloat(writer, "spell_speed", spell_speed);
    Serializer::WriteString(writer, "idle_texture", idle_texture);
    Serializer::WriteString(writer, "walking_texture", walking_texture);
    Serializer::WriteString(writer, "attack_texture", attack_texture);
    Serializer::WriteString(writer, "cast_texture", cast_texture);
    Serializer::WriteString(writer, "spell_texture", spell_texture);
    Serializer::WriteString(writer, "hurt_texture", hurt_texture);
    Serializer::WriteString(writer, "puri_texture", puri_texture);
    Serializer::WriteFloat(writer, "purification_timer", purification.timer);
    return true;
}

void PlayerController::Deserialize(const rapidjson::Value& value)
{
    const rapidjson::Value* object = Serializer::FirstObject(value);
    if (!object) return;
    up_key = Serializer::ReadInt(*object, "up_key");
    down_key = Serializer::ReadInt(*object, "down_key");
    left_key = Serializer::ReadInt(*object, "left_key");
    right_key = Serializer::ReadInt(*object, "right_key");
    attack_cooldown = Serializer::ReadFloat(*object, "attack_cooldown");
    spell_speed = Serializer::ReadFloat(*object, "spell_speed");
    idle_texture = Serializer::ReadString(*object, "idle_texture", idle_texture);
    walking_texture = Serializer::ReadString(*object, "walking_texture", walking_texture);
    attack_texture = Serializer::ReadString(*object, "attack_texture", attack_texture);
    cast_texture = Serializer::ReadString(*object, "cast_texture", cast_texture);
    spell_texture = Serializer::ReadString(*object, "spell_texture", spell_texture);
    hurt_texture = Serializer::ReadString(*object, "hurt_texture", hurt_texture);
    puri_texture = Serializer::ReadString(*object, "puri_texture", puri_texture);
    purification.timer = Serializer::ReadFloat(*object, "purification_timer");
}

void PlayerController::Init()
{
    if (owner) {
        stats = owner->GetComponent<Stats>(STATS);
        if (auto transform = OwnTransform()) base_scale = transform->scale;
    }
    for (int32_t* key : {&up_key, &down_key, &left_key, &right_key}) {
        if (*key >= 'a' && *key <= 'z') *key -= 32;
    }
}

std::shared_ptr<Component> PlayerController::Clone()
{
    auto copy = std::make_shared<PlayerController>(*this);
    // Entities shown or owned by this controller stay with it.
    copy->spells.clear();
    copy->spell_removals.clear();
    copy->purification.ForgetShownEntities();
    copy->attacker = 0;
    return copy;
}

void PlayerController::SetHit(const bool& value)
{
    hit_pending = true;
    hit = value;
}

bool PlayerController::IsInRange(const Vec2& position) const
{
    auto transform = OwnTransform();
    if (!transform) return false;
    const Vec3 p = transform->position;
    return std::fabs(position.x - p.x) <= reach.x && std::fabs(position.y - p.y - kReachCentreHeight) <= reach.y;
}

// ---- Key messages ---------------------------------------------------------------------------

void PlayerController::HandleMessage(Message* message)
{
    if (!message || message->id != MSG_KEY || DialogueIsRunning || !owner) return;
    auto* keys = dynamic_cast<KeyMessage*>(message);
    auto body = owner->GetComponent<RigidBody2D>(RIGIDBODY2D);
    if (!keys || !body) return;

    if (!IsPurifying) {
        if (state != PS_Cast && state != PS_Hurt) {
            MoveWithKeys(*keys, *body);
            SelectSpell(*keys);
        }
    } else {
        purification.RecordKey(*keys);
    }
    if (keys->IsOwnPress(Platform::VK_SPACE_KEY)) purification.HandleSpace(*this);
    HandlePlayerDebugKeys(*this, *keys);
}

PlayerController::HeldWalk PlayerController::ReadWalkKeys(const KeyMessage& keys) const
{
    auto held = [&keys](int32_t code) { return code > 0 && keys.IsKeyDown(static_cast<uint64_t>(code)); };
    HeldWalk walk;
    const bool up = held(up_key), down = held(down_key);
    walk.left = held(left_key);
    walk.right = held(right_key);
    walk.any = up || down || walk.left || walk.right;
    walk.dx = (walk.right ? 1.0f : 0.0f) - (walk.left ? 1.0f : 0.0f);
    walk.dy = (up ? 1.0f : 0.0f) - (down ? 1.0f : 0.0f);
    return walk;
}

void PlayerController::MoveWithKeys(const KeyMessage& keys, RigidBody2D& body)
{
    const HeldWalk walk = ReadWalkKeys(keys);
    Vec3 scale = base_scale;
    if (walk.left) {
        facing = 0;
        scale.x = -scale.x;
    }
    if (walk.right) facing = 1;
    if (auto transform = OwnTransform()) transform->SetScale(scale);

    if (walk.any) {
        state = PS_Walking;
        if (stats) body.SetVelocity(Vec2(walk.dx * stats->speed_attack, walk.dy * stats->speed_attack));
        Gameplay::PlayFootstep(owner, "SFX_I_Footstep", last_footstep, footstep_timer, kFootstepPause);
    } else {
        state = PS_Idle;
        body.SetVelocity(Vec2());
    }
}

// A keyboard repeats only the last key pressed: a walking key held since before a cast, a hurt, a
// purification, a shut barrier or a picture (each of which stopped Ilo) may send no message more.
// The held keys walk him on then; a frame whose key message already set the walk is left alone.
void PlayerController::ResumeHeldWalk(RigidBody2D& body)
{
    const KeyMessage& keys = Input::GetKeyMessage();
    const HeldWalk walk = ReadWalkKeys(keys);
    if (!walk.any || !stats) return;
    const Vec2 wanted(walk.dx * stats->speed_attack, walk.dy * stats->speed_attack);
    if (state == PS_Walking && body.GetVelocity() == wanted) return;
    MoveWithKeys(keys, body);
}

void PlayerController::SelectSpell(const KeyMessage& keys)
{
    if (spell_cooldown) return;
    if (keys.IsOwnPress(Platform::VK_UP_KEY)) {
        if (!lock_attack_spell) selected_spell = SPELL_ATTACK;
    } else if (keys.IsOwnPress(Platform::VK_LEFT_KEY)) {
        if (!lock_defence_spell) selected_spell = SPELL_DEFENCE;
    } else if (keys.IsOwnPress(Platform::VK_RIGHT_KEY)) {
        if (!lock_speed_spell) selected_spell = SPELL_SPEED;
    }
}

// ---- Per-frame update -----------------------------------------------------------------------

void PlayerController::Update()
{
    if (!owner) return;
    if (!stats) stats = owner->GetComponent<Stats>(STATS);
    auto body = owner->GetComponent<RigidBody2D>(RIGIDBODY2D);
    auto sprite = owner->GetComponent<Sprite>(SPRITE);

    purification.Step(*this);
    UpdateHurt(body.get(), sprite.get());
    purification.RestoreLeftovers();
    if (IsPurifying) state = PS_Purifying;
    if (body && !IsPurifying && !DialogueIsRunning && state != PS_Cast && state != PS_Hurt) ResumeHeldWalk(*body);
    if (state == PS_Cast && body) body->SetVelocity(Vec2());

    purification.UpdateCooldown();
    RemoveQueuedSpells();
    if (state == PS_Cast && sprite) UpdateCasting(*sprite);
    if (cast_start + attack_cooldown <= Now()) spell_cooldown = false;
    footstep_timer -= FrameTime();
}

void PlayerController::UpdateHurt(RigidBody2D* body, Sprite* sprite)
{
    const float now = Now();
    if (hit && sprite) {
        if (!hurt_lock) {
            state = PS_Hurt;
            hurt_lock = true;
        }
        if (body) body->SetVelocity(Vec2());
        if (hurt_time + kHurtPoseTime <= now) {
            hurt_time = now;
            hit = false;
            state = PS_Idle;
        }
        Shared().last_hurt_frame = now;
    } else if (!hit && hurt_lock) {
        hit_pending = false;
        if (Shared().last_hurt_frame + hurt_lock_time <= now) hurt_lock = false;
    }
}

void PlayerController::UpdateCasting(Sprite& sprite)
{
    if (sprite.current_frame >= sprite.number_of_frames) {
        state = PS_Idle;
        selected_spell = 0;
    } else if (sprite.current_frame >= sprite.number_of_frames - kSpellReleaseFromEnd) {
        CreateSpell();
    }
}

int32_t PlayerController::CastSpell()
{
    if (selected_spell == 0 || spell_cooldown) return 0;
    spell_cooldown = true;
    state = PS_Cast;
    cast_start = Now();
    if (const SpellData* data = GetSpellData(selected_spell)) cast_texture = data->cast_texture;
    return selected_spell;
}

// ---- Spells ---------------------------------------------------------------------------------

void PlayerController::PlaceSpellLeft(const std::shared_ptr<Transform>& transform, const std::shared_ptr<Spells>& spell)
{
    auto own = OwnTransform();
    if (transform && own) transform->position = own->position + Vec3(-kSpellOffsetX, kSpellOffsetY, 0.0f);
    if (spell) spell->direction = "Left";
}

void PlayerController::PlaceSpellRight(const std::shared_ptr<Transform>& transform, const std::shared_ptr<Spells>& spell)
{
    auto own = OwnTransform();
    if (transform && own) transform->position = own->position + Vec3(kSpellOffsetX, kSpellOffsetY, 0.0f);
    if (spell) spell->direction = "Right";
}

void PlayerController::CreateSpell()
{
    const int32_t kind = selected_spell;
    // One spell per cast, whatever the prefab holds.
    selected_spell = 0;
    const SpellData* data = GetSpellData(kind);
    if (!data) return;
    EntityFactory* factory = EntityFactory::GetInstance();
    Entity* spell = factory->CreateFromArchetype(data->prefab);
    if (!spell) return;

    auto spell_component = spell->GetComponent<Spells>(SPELLS);
    auto transform = spell->GetComponent<Transform>(TRANSFORM);
    auto collider = spell->GetComponent<BoxCollider>(BOXCOLLIDER);
    if (transform && facing == 0) transform->scale.x = -transform->scale.x;
    if (spell_component) {
        spell_component->SetCaster(owner);
        const Vec2 before = transform ? transform->GetPosition2D() : Vec2();
        if (facing == 0) PlaceSpellLeft(transform, spell_component);
        else PlaceSpellRight(transform, spell_component);
        const Vec2 moved = transform ? transform->GetPosition2D() - before : Vec2();
        spell_component->kind = kind;
        // The box keeps its offset from the sprite.
        if (collider) collider->SetPosition(collider->GetPosition() + moved);
    }

    if (!SpawnIntoScene(CurrentScene().get(), spell, SpawnOrder::SystemsFirst, true)) return;
    spells.insert(spell->id);

    if (spell_component) Gameplay::PlayEvent(spell, data->cast_sound);
}

void PlayerController::RemoveQueuedSpells()
{
    if (spell_removals.empty()) return;
    std::vector<uint64_t> queue;
    queue.swap(spell_removals);
    EntityFactory* factory = EntityFactory::GetInstance();
    for (uint64_t id : queue) {
        // A spell asked for twice is found only the first time.
        if (spells.erase(id) == 0) continue;
        Entity* spell = factory->GetLiveEntity(id);
        if (!spell) continue;
        factory->RemoveEntityFromSystems(spell);
        // The name index entry goes only when it is this spell's (names may be reused).
        auto& by_name = factory->GetEntitiesByName();
        auto named = by_name.find(spell->name);
        if (named != by_name.end() && named->second == spell) by_name.erase(named);
        if (EditorState* editor = EditorState::Current()) editor->ClearSelectionIf(spell);
        auto scene = CurrentScene();
        if (scene && scene->GetEntity(id)) scene->RemoveEntity(id);
        else factory->DestroyEntity(spell);
    }
}

// ---- Animation ------------------------------------------------------------------------------

void PlayerController::UpdateAnimation()
{
    auto sprite = owner ? owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!sprite) return;
    auto apply = [&sprite](const std::string& name) { Gameplay::ApplyStateTexture(*sprite, name); };
    switch (state) {
    case PS_Idle:
    case PS_Walking:
    case PS_Attack:
        apply(state == PS_Idle ? idle_texture : state == PS_Walking ? walking_texture : attack_texture);
        sprite->play_once = false;
        sprite->SetIsSpritesheet(true);
        break;
    case PS_Cast:
        apply(cast_texture);
        sprite->play_once = true;
        sprite->SetIsSpritesheet(true);
        sprite->number_of_frames = kCastFrames;
        break;
    case PS_Purifying:
        apply(puri_texture);
        sprite->play_once = false;
        break;
    case PS_Hurt:
        apply(hurt_texture);
        sprite->play_once = true;
        sprite->SetIsSpritesheet(true);
        break;
    default: break;
    }
}

} // namespace OrvEngine
