// PlayerController: the purification mini-game. Space near weakened enemies (or a beaten boss)
// darkens the scene, shows three arrow icons and a countdown; each combination typed right
// purifies the nearest candidate. Candidates left when it ends recover part of their hp.
#include "Logic/PlayerController.h"

#include "Components/Camera.h"
#include "Components/Child.h"
#include "Components/Information.h"
#include "Components/Parent.h"
#include "Components/RigidBody2D.h"
#include "Components/ParentChildSystem.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Logic/AIMovement.h"
#include "Logic/BossBehaviour.h"
#include "Logic/EnemyMovement.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace OrvEngine {

namespace {
const char* const kOverlayName = "Puri_BlackBg";
const char* const kTimerTextName = "PurificationTimerText";
const char* const kEnemyMarkTexture = "UIAnim_Purify_Enemy";
constexpr float kIconScale = 0.5f;
constexpr float kIconDepth = 1000.0f;
// The window of candidates is this much narrower than the camera's view on each side.
constexpr float kWindowMargin = 0.33f;
// Enemy states that are never candidates: down and already purified.
constexpr int32_t kEnemyDown = 4;
constexpr int32_t kEnemyPurified = 5;
constexpr int32_t kBossDown = 5;

const char* LitTexture(int32_t key)
{
    switch (key) {
    case Platform::VK_UP_KEY: return "UI_Up_Arrow";
    case Platform::VK_RIGHT_KEY: return "UI_Right_Arrow";
    case Platform::VK_LEFT_KEY: return "UI_Left_Arrow";
    default: return "UI_Down_Arrow";
    }
}

std::shared_ptr<Component> MakeRegistered(const std::string& name)
{
    auto& creators = EntityFactory::GetInstance()->GetComponentCreators();
    auto found = creators.find(name);
    return found == creators.end() ? nullptr : found->second->Create();
}

void SetEntityActive(Entity* entity, bool active)
{
    entity->SetActive(active);
    if (auto info = entity->GetComponent<Information>(INFORMATION)) info->SetActive(active);
}
} // namespace

// ---- Starting, typing and ending ------------------------------------------------------------

void PlayerController::HandleSpace()
{
    if (IsPurifying) EndPurification();
    else StartPurification();
}

void PlayerController::StartPurification()
{
    if (!lock_purification && !purification_cooldown) {
        CollectPurificationTargets();
        if (!purify_targets.empty()) {
            IsPurifying = true;
            purify_target = purify_targets.begin()->second;
        }
        if (IsPurifying) {
            // Movement keys are not read while purifying: a walking player would drift on.
            if (auto body = owner->GetComponent<RigidBody2D>(RIGIDBODY2D)) body->SetVelocity(Vec2());
            purification_start = Now();
            ClearCombo();
            GenerateCombo();
            ShowComboIcons();
            state = PS_Cast;
            return;
        }
    }
    ClearCombo();
    state = PS_Idle;
}

void PlayerController::RecordComboKey(const KeyMessage& keys)
{
    for (uint64_t code : {Platform::VK_UP_KEY, Platform::VK_DOWN_KEY, Platform::VK_LEFT_KEY, Platform::VK_RIGHT_KEY}) {
        if (keys.IsOwnPress(code)) {
            combo_input.push_back(static_cast<int32_t>(code));
            return;
        }
    }
}

void PlayerController::AdvancePurification()
{
    UpdatePurificationTimerText();
    auto transform = OwnTransform();
    PlacePurificationOverlay(transform ? transform->GetPosition2D() : Vec2());
    const bool ended = CheckComboInput() && PurifyCurrentTarget();
    // A purification that just ended with its last candidate has no time-out to run.
    if (!ended && IsPurifying && purification_start + purification_timer <= Now()) {
        EndPurification();
        PlaySound("SFX_Puri_Wrong");
    }
}

bool PlayerController::PurifyCurrentTarget()
{
    if (auto scene = CurrentScene()) {
        for (const auto& [id, entity] : scene->GetEntities()) {
            auto info = entity->GetComponent<Information>(INFORMATION);
            auto companion = entity->GetComponent<AIMovement>(AIMOVEMENT);
            if (!info || info->GetType() != TAG_AI || !companion) continue;
            companion->ResetTarget();
            break;
        }
    }
    ++purified_total;
    ++purify_chain;
    if (Entity* target = LiveEntity(purify_target)) {
        if (auto enemy = target->GetComponent<EnemyMovement>(ENEMYMOVEMENT)) {
            enemy->purification_delay = static_cast<int32_t>(purify_chain * 12 - 2);
            enemy->state = kEnemyPurified;
        } else if (auto boss = target->GetComponent<BossBehaviour>(BOSSBEHAVIOUR)) {
            boss->state = kBossDown;
        }
    }
    if (!purify_targets.empty()) purify_targets.erase(purify_targets.begin());
    purify_target = NextLiveTarget();
    ClearCombo();
    if (purify_target == 0) {
        StopPurification();
        state = PS_Idle;
        return true;
    }
    GenerateCombo();
    ShowComboIcons();
    return false;
}

uint64_t PlayerController::NextLiveTarget()
{
    while (!purify_targets.empty()) {
        const uint64_t id = purify_targets.begin()->second;
        if (LiveEntity(id)) return id;
        purify_targets.erase(purify_targets.begin());
    }
    return 0;
}

void PlayerController::StopPurification()
{
    HidePurificationTimerText();
    RemovePurificationOverlay();
    IsPurifying = false;
    purify_chain = 0;
    StartPurificationCooldown();
}

void PlayerController::EndPurification()
{
    MarkTargetIcon();
    purify_target = 0;
    StopPurification();
    ClearCombo();
    state = PS_Idle;
}

void PlayerController::MarkTargetIcon()
{
    Entity* target = LiveEntity(purify_target);
    auto parent = target ? target->GetComponent<Parent>(PARENT) : nullptr;
    if (!parent || parent->GetNumChildren() <= 0) return;
    auto child = ParentChildSystem::GetInstance()->GetChildByIndex(parent, parent->GetNumChildren());
    auto sprite = child && child->owner ? child->owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!sprite) return;
    sprite->SetIsSpritesheet(true);
    sprite->SetTexture(kEnemyMarkTexture);
}

void PlayerController::RestoreLeftoverTargets()
{
    for (const auto& [distance, id] : purify_targets) {
        Entity* entity = LiveEntity(id);
        if (!entity) continue;
        auto entity_stats = entity->GetComponent<Stats>(STATS);
        if (!entity_stats) continue;
        if (auto enemy = entity->GetComponent<EnemyMovement>(ENEMYMOVEMENT)) {
            entity_stats->hp = static_cast<int32_t>(static_cast<float>(enemy->max_hp) * 0.31f) + 1;
            enemy->state = 0;
            enemy->purification_target = false;
            enemy->purifiable_now = false;
        } else if (auto boss = entity->GetComponent<BossBehaviour>(BOSSBEHAVIOUR)) {
            entity_stats->hp = 20;
            boss->state = 0;
            boss->defeated = false;
        }
    }
    purify_targets.clear();
}

void PlayerController::UpdatePurificationCooldown()
{
    const float now = Now();
    if (!purification_cooldown) cooldown_start = now;
    else if (cooldown_start + purification_timer <= now) purification_cooldown = false;
}

void PlayerController::StartPurificationCooldown()
{
    purification_cooldown = true;
    cooldown_start = Now();
}

// ---- Candidates -----------------------------------------------------------------------------

void PlayerController::CollectPurificationTargets()
{
    auto scene = CurrentScene();
    Entity* cam = scene ? scene->FindEntityByName("Cam") : nullptr;
    auto cam_transform = cam ? cam->GetComponent<Transform>(TRANSFORM) : nullptr;
    auto own = OwnTransform();
    if (!cam_transform || !own) return;
    const float half = cam_transform->scale.x * 0.5f;
    const Vec3 p = own->position;
    const float low = p.x - half + kWindowMargin;
    const float high = p.x + half - kWindowMargin;

    // Inserts a candidate once; false when it lies outside the window.
    auto offer = [&](Entity* entity) {
        auto transform = entity->GetComponent<Transform>(TRANSFORM);
        if (!transform || transform->position.x < low || transform->position.x > high) return false;
        for (const auto& entry : purify_targets) {
            if (entry.second == entity->id) return true;
        }
        const float distance = std::fabs(transform->position.x - p.x) + std::fabs(transform->position.y - p.y);
        purify_targets.emplace(distance, entity->id);
        return true;
    };

    for (const auto& [id, entity] : scene->GetEntities()) {
        auto info = entity->GetComponent<Information>(INFORMATION);
        if (info && info->GetType() != TAG_ENEMY && info->GetType() != TAG_BOSS) continue;
        if (auto enemy = entity->GetComponent<EnemyMovement>(ENEMYMOVEMENT)) {
            if (!enemy->purifiable_now || enemy->state == kEnemyDown || enemy->state == kEnemyPurified) continue;
            enemy->state = 0;
            enemy->UpdateTexture();
            if (offer(entity)) enemy->purification_target = true;
        } else if (auto boss = entity->GetComponent<BossBehaviour>(BOSSBEHAVIOUR)) {
            auto boss_stats = entity->GetComponent<Stats>(STATS);
            // A purified boss is down for good: taking it again would set it back to idle.
            if (!boss_stats || boss_stats->hp >= 1 || boss->state == kBossDown) continue;
            boss->state = 0;
            boss->UpdateTexture();
            if (offer(entity)) boss->defeated = true;
        }
    }
}

// ---- The combination ------------------------------------------------------------------------

void PlayerController::GenerateCombo()
{
    if (!IsPurifying) return;
    static const int32_t kArrows[4] = {Platform::VK_LEFT_KEY, Platform::VK_RIGHT_KEY, Platform::VK_UP_KEY,
                                       Platform::VK_DOWN_KEY};
    int draws[3];
    for (int& draw : draws) draw = Platform::Random15() % 4;
    for (int draw : draws) combo.push_back(kArrows[draw]);
}

void PlayerController::SpawnKeyIcon(const Vec2& position, float scale, const std::string& texture)
{
    EntityFactory* factory = EntityFactory::GetInstance();
    auto transform = std::dynamic_pointer_cast<Transform>(MakeRegistered("Transform"));
    auto sprite = std::dynamic_pointer_cast<Sprite>(MakeRegistered("Sprite"));
    Entity* icon = factory->CreateEntity("Key");
    if (transform) {
        transform->position = Vec3(position.x, position.y, kIconDepth);
        transform->scale = Vec3(scale, scale, 0.0f);
        icon->AddComponent(TRANSFORM, transform);
    }
    if (sprite) {
        icon->AddComponent(SPRITE, sprite);
        sprite->SetTexture(texture);
        sprite->SetIsSpritesheet(false);
    }
    // Only the Sprite has a system; connecting also lets destruction take it out again.
    factory->AddEntityToSystems(icon);
    key_icons.push_back(icon->id);
    factory->GetEntities().clear();
}

void PlayerController::LayoutKeyIcons(const Vec2& centre, float spacing, float scale, const std::string& left,
                                      const std::string& right, const std::string& up, const std::string& down)
{
    for (size_t i = 0; i < combo.size(); ++i) {
        const std::string* name = &down;
        if (combo[i] == Platform::VK_LEFT_KEY) name = &left;
        else if (combo[i] == Platform::VK_RIGHT_KEY) name = &right;
        else if (combo[i] == Platform::VK_UP_KEY) name = &up;
        SpawnKeyIcon(Vec2(centre.x - spacing + static_cast<float>(i) * spacing, centre.y), scale, *name);
    }
}

void PlayerController::ShowComboIcons()
{
    auto transform = OwnTransform();
    const Vec2 player = transform ? transform->GetPosition2D() : Vec2();
    LayoutKeyIcons(player + icon_offset, icon_spacing, kIconScale, "UI_3", "UI_2", "UI_1", "UI_4");
}

void PlayerController::ClearCombo()
{
    if (!key_icons.empty() && EntityFactory::Exists()) {
        EntityFactory* factory = EntityFactory::GetInstance();
        for (uint64_t id : key_icons) {
            Entity* icon = factory->GetLiveEntity(id);
            if (icon) factory->DestroyEntity(icon);
        }
    }
    combo.clear();
    key_icons.clear();
    combo_input.clear();
    combo_matched.clear();
}

void PlayerController::LightKeyIcon(size_t index)
{
    Entity* icon = index < key_icons.size() ? LiveEntity(key_icons[index]) : nullptr;
    auto sprite = icon ? icon->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!sprite) return;
    sprite->SetIsSpritesheet(true);
    sprite->start_frame = 0;
    sprite->current_frame = 1;
    sprite->spritesheet_speed = 0.03f;
    sprite->play_once = true;
    sprite->SetTexture(LitTexture(combo[index]));
}

bool PlayerController::CheckComboInput()
{
    if (!IsPurifying || combo.size() != 3 || key_icons.size() != 3) return false;
    // Keys typed since the last check are taken in order, so several per frame are not lost.
    while (combo_matched.size() < combo_input.size() && combo_matched.size() < combo.size()) {
        const size_t i = combo_matched.size();
        if (combo_input[i] != combo[i]) {
            ClearCombo();
            GenerateCombo();
            ShowComboIcons();
            PlaySound("SFX_Puri_Wrong");
            return false;
        }
        LightKeyIcon(i);
        combo_matched.push_back(true);
        if (i < 2) PlaySound("SFX_Puri_RightKey");
    }
    const bool complete = combo_matched.size() == 3 &&
                          std::all_of(combo_matched.begin(), combo_matched.end(), [](bool right) { return right; });
    if (complete) PlaySound("SFX_Puri_RightCombi");
    return complete;
}

// ---- Overlay and timer text -----------------------------------------------------------------

void PlayerController::LiftDepth(uint64_t id, float overlay_depth, bool behind_only)
{
    for (const auto& lift : depth_lifts) {
        if (lift.first == id) return;
    }
    Entity* entity = LiveEntity(id);
    auto transform = entity ? entity->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform || (behind_only && transform->position.z > overlay_depth)) return;
    transform->position.z += overlay_depth;
    depth_lifts.emplace_back(id, overlay_depth);
}

void PlayerController::PlacePurificationOverlay(const Vec2& position)
{
    auto scene = CurrentScene();
    if (!scene) return;
    Entity* shade = overlay ? scene->GetEntity(overlay) : nullptr;
    if (!shade) shade = scene->FindEntityByName(kOverlayName);
    if (!shade) {
        EntityFactory* factory = EntityFactory::GetInstance();
        shade = factory->CreateFromArchetype(kOverlayName);
        if (!shade) return;
        factory->AddEntityToSystems(shade);
        scene->AddEntity(shade->id, shade);
        factory->GetEntities().clear();
        overlay = shade->id;
        auto transform = shade->GetComponent<Transform>(TRANSFORM);
        if (!transform) return;
        transform->position.x = position.x;
        transform->position.y = position.y;
        LiftDepth(purify_target, transform->position.z, true);
        LiftDepth(owner->id, transform->position.z, false);
        return;
    }
    overlay = shade->id;
    if (auto transform = shade->GetComponent<Transform>(TRANSFORM)) {
        auto camera_transform = ActiveCamera ? ActiveCamera->transform : nullptr;
        if (camera_transform) {
            transform->position.x = camera_transform->position.x;
            transform->position.y = camera_transform->position.y;
        }
        LiftDepth(purify_target, transform->position.z, true);
    }
    SetEntityActive(shade, true);
}

void PlayerController::RemovePurificationOverlay()
{
    for (const auto& [id, amount] : depth_lifts) {
        Entity* entity = LiveEntity(id);
        auto transform = entity ? entity->GetComponent<Transform>(TRANSFORM) : nullptr;
        if (transform) transform->position.z -= amount;
    }
    depth_lifts.clear();
    auto scene = CurrentScene();
    if (!scene) return;
    Entity* shade = overlay ? scene->GetEntity(overlay) : nullptr;
    if (!shade) shade = scene->FindEntityByName(kOverlayName);
    if (shade) SetEntityActive(shade, false);
}

void PlayerController::UpdatePurificationTimerText()
{
    Entity* entity = LiveEntity(timer_text);
    auto scene = CurrentScene();
    if (!entity && scene) {
        EntityFactory* factory = EntityFactory::GetInstance();
        auto transform = std::dynamic_pointer_cast<Transform>(MakeRegistered("Transform"));
        auto info = std::dynamic_pointer_cast<Information>(MakeRegistered("Information"));
        auto text = std::dynamic_pointer_cast<Text>(MakeRegistered("Text"));
        entity = factory->CreateEntity(kTimerTextName);
        if (transform) {
            transform->position = Vec3(-0.1f, 0.4f, 300.0f);
            entity->AddComponent(TRANSFORM, transform);
        }
        if (info) {
            info->SetName(kTimerTextName);
            entity->AddComponent(INFORMATION, info);
        }
        if (text) {
            text->SetTextSize(0.002f);
            text->SetColor(Vec3(1.0f, 1.0f, 1.0f));
            entity->AddComponent(TEXT, text);
        }
        factory->AddEntityToSystems(entity);
        scene->AddEntity(entity->id, entity);
        factory->GetEntities().clear();
        timer_text = entity->id;
    }
    if (!entity) return;
    if (auto text = entity->GetComponent<Text>(TEXT)) {
        const float remaining = std::max(0.0f, purification_timer - std::fabs(Now() - purification_start));
        char buffer[32];
        std::snprintf(buffer, sizeof(buffer), "%.2fs", static_cast<double>(remaining));
        text->SetText(buffer);
    }
    SetEntityActive(entity, true);
}

void PlayerController::HidePurificationTimerText()
{
    if (Entity* entity = LiveEntity(timer_text)) SetEntityActive(entity, false);
}

} // namespace OrvEngine
