#include "Logic/Purification.h"

#include "Components/Camera.h"
#include "Components/Child.h"
#include "Components/Parent.h"
#include "Components/ParentChildSystem.h"
#include "Components/RigidBody2D.h"
#include "Components/Sprite.h"
#include "Components/Stats.h"
#include "Components/Text.h"
#include "Components/Transform.h"
#include "CoreEngine/CoreEngine.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/Message.h"
#include "CoreEngine/SharedValues.h"
#include "Factory/Entity.h"
#include "Factory/EntityFactory.h"
#include "Factory/EntityNames.h"
#include "Factory/Information.h"
#include "Logic/AIMovement.h"
#include "Logic/BossBehaviour.h"
#include "Logic/EnemyMovement.h"
#include "Logic/GameplayRules.h"
#include "Logic/PlayerController.h"
#include "Platform/Platform.h"
#include "Scene/IScene.h"
#include "Scene/SceneStateMachine.h"
#include "Scene/Spawn.h"

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
constexpr size_t kComboLength = 3;
constexpr float kLeftoverHpShare = 0.31f; // just above the share that makes an enemy purifiable
constexpr int32_t kLeftoverBossHp = 20;

// The icon of an arrow in the row, and once typed right.
const char* RowTexture(int32_t key)
{
    switch (key) {
    case Platform::VK_UP_KEY: return "UI_1";
    case Platform::VK_RIGHT_KEY: return "UI_2";
    case Platform::VK_LEFT_KEY: return "UI_3";
    default: return "UI_4";
    }
}

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

Vec2 PlayerPosition(const PlayerController& player)
{
    auto transform = player.OwnTransform();
    return transform ? transform->GetPosition2D() : Vec2();
}
} // namespace

// ---- Starting, typing and ending ------------------------------------------------------------

void Purification::HandleSpace(PlayerController& player)
{
    if (IsPurifying) End(player);
    else Start(player);
}

void Purification::Start(PlayerController& player)
{
    if (!player.lock_purification && !cooldown) {
        CollectTargets(player);
        if (!targets.empty()) {
            IsPurifying = true;
            target = targets.begin()->second;
        }
        if (IsPurifying) {
            // Movement keys are not read while purifying: a walking player would drift on.
            if (auto body = player.owner->GetComponent<RigidBody2D>(RIGIDBODY2D)) body->SetVelocity(Vec2());
            start_time = TotalTime();
            ClearCombo();
            GenerateCombo();
            ShowComboIcons(player);
            player.state = PS_Cast;
            return;
        }
    }
    ClearCombo();
    player.state = PS_Idle;
}

void Purification::RecordKey(const KeyMessage& keys)
{
    for (uint64_t code : {Platform::VK_UP_KEY, Platform::VK_DOWN_KEY, Platform::VK_LEFT_KEY, Platform::VK_RIGHT_KEY}) {
        if (keys.IsOwnPress(code)) {
            combo_input.push_back(static_cast<int32_t>(code));
            return;
        }
    }
}

void Purification::Step(PlayerController& player)
{
    if (!IsPurifying) {
        chain = 0;
        return;
    }
    UpdateTimerText();
    PlaceOverlay(player, PlayerPosition(player));
    const bool ended = CheckComboInput(player) && PurifyCurrentTarget(player);
    // A purification that just ended with its last candidate has no time-out to run.
    if (!ended && IsPurifying && start_time + timer <= TotalTime()) {
        End(player);
        player.PlaySound("SFX_Puri_Wrong");
    }
}

bool Purification::PurifyCurrentTarget(PlayerController& player)
{
    if (auto scene = CurrentScene()) {
        for (Entity* entity : scene->EntitiesOfTypes({TAG_AI})) {
            auto companion = entity->GetComponent<AIMovement>(AIMOVEMENT);
            if (!companion) continue;
            companion->ResetTarget();
            break;
        }
    }
    ++purified_total;
    ++chain;
    if (Entity* purified = FindLiveEntity(target)) {
        if (auto enemy = purified->GetComponent<EnemyMovement>(ENEMYMOVEMENT)) {
            enemy->purification_delay = static_cast<int32_t>(chain * 12 - 2);
            enemy->state = ENEMY_PURIFIED;
        } else if (auto boss = purified->GetComponent<BossBehaviour>(BOSSBEHAVIOUR)) {
            boss->state = BOSS_DOWN;
        }
    }
    if (!targets.empty()) targets.erase(targets.begin());
    target = NextLiveTarget();
    ClearCombo();
    if (target == 0) {
        Stop();
        player.state = PS_Idle;
        return true;
    }
    GenerateCombo();
    ShowComboIcons(player);
    return false;
}

uint64_t Purification::NextLiveTarget()
{
    while (!targets.empty()) {
        const uint64_t id = targets.begin()->second;
        if (FindLiveEntity(id)) return id;
        targets.erase(targets.begin());
    }
    return 0;
}

void Purification::Stop()
{
    HideTimerText();
    RemoveOverlay();
    IsPurifying = false;
    chain = 0;
    StartCooldown();
}

void Purification::End(PlayerController& player)
{
    MarkTargetIcon();
    target = 0;
    Stop();
    ClearCombo();
    player.state = PS_Idle;
}

void Purification::MarkTargetIcon()
{
    Entity* marked = FindLiveEntity(target);
    auto parent = marked ? marked->GetComponent<Parent>(PARENT) : nullptr;
    if (!parent || parent->GetNumChildren() <= 0) return;
    auto child = ParentChildSystem::GetInstance()->GetChildByIndex(parent, parent->GetNumChildren());
    auto sprite = child && child->owner ? child->owner->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!sprite) return;
    sprite->SetIsSpritesheet(true);
    sprite->SetTexture(kEnemyMarkTexture);
}

void Purification::RestoreLeftovers()
{
    if (IsPurifying || targets.empty()) return;
    for (const auto& [distance, id] : targets) {
        Entity* entity = FindLiveEntity(id);
        if (!entity) continue;
        auto entity_stats = entity->GetComponent<Stats>(STATS);
        if (!entity_stats) continue;
        if (auto enemy = entity->GetComponent<EnemyMovement>(ENEMYMOVEMENT)) {
            entity_stats->hp = Gameplay::ShareOfMaxHp(enemy->max_hp, kLeftoverHpShare) + 1;
            enemy->state = ENEMY_IDLE;
            enemy->purification_target = false;
            enemy->purifiable_now = false;
        } else if (auto boss = entity->GetComponent<BossBehaviour>(BOSSBEHAVIOUR)) {
            entity_stats->hp = kLeftoverBossHp;
            boss->state = BOSS_IDLE;
            boss->defeated = false;
        }
    }
    targets.clear();
}

void Purification::UpdateCooldown()
{
    const float now = TotalTime();
    float& cooldown_start = Shared().purification_cooldown_start;
    if (!cooldown) cooldown_start = now;
    else if (cooldown_start + timer <= now) cooldown = false;
}

void Purification::StartCooldown()
{
    cooldown = true;
    Shared().purification_cooldown_start = TotalTime();
}

void Purification::CollectTargets(const PlayerController& player)
{
    auto scene = CurrentScene();
    Entity* cam = scene ? scene->FindEntityByName(EntityNames::kCamera) : nullptr;
    auto cam_transform = cam ? cam->GetComponent<Transform>(TRANSFORM) : nullptr;
    auto own = player.OwnTransform();
    if (!cam_transform || !own) return;
    const float half = cam_transform->scale.x * 0.5f;
    const Vec3 p = own->position;
    const float low = p.x - half + kWindowMargin;
    const float high = p.x + half - kWindowMargin;

    // Inserts a candidate once; false when it lies outside the window.
    auto offer = [&](Entity* entity) {
        auto transform = entity->GetComponent<Transform>(TRANSFORM);
        if (!transform || transform->position.x < low || transform->position.x > high) return false;
        for (const auto& entry : targets) {
            if (entry.second == entity->id) return true;
        }
        const float distance = std::fabs(transform->position.x - p.x) + std::fabs(transform->position.y - p.y);
        targets.emplace(distance, entity->id);
        return true;
    };

    for (const auto& [id, entity] : scene->GetEntities()) {
        auto info = entity->GetComponent<Information>(INFORMATION);
        if (info && info->GetType() != TAG_ENEMY && info->GetType() != TAG_BOSS) continue;
        if (auto enemy = entity->GetComponent<EnemyMovement>(ENEMYMOVEMENT)) {
            if (!enemy->purifiable_now || enemy->state == ENEMY_DOWN || enemy->state == ENEMY_PURIFIED) continue;
            enemy->state = ENEMY_IDLE;
            enemy->UpdateTexture();
            if (offer(entity)) enemy->purification_target = true;
        } else if (auto boss = entity->GetComponent<BossBehaviour>(BOSSBEHAVIOUR)) {
            auto boss_stats = entity->GetComponent<Stats>(STATS);
            // A purified boss is down for good: taking it again would set it back to idle.
            if (!boss_stats || boss_stats->hp >= 1 || boss->state == BOSS_DOWN) continue;
            boss->state = BOSS_IDLE;
            boss->UpdateTexture();
            if (offer(entity)) boss->defeated = true;
        }
    }
}

// ---- The combination ------------------------------------------------------------------------

void Purification::GenerateCombo()
{
    if (!IsPurifying) return;
    static const int32_t kArrows[4] = {Platform::VK_LEFT_KEY, Platform::VK_RIGHT_KEY, Platform::VK_UP_KEY,
                                       Platform::VK_DOWN_KEY};
    int draws[kComboLength];
    for (int& draw : draws) draw = Platform::Random15() % 4;
    for (int draw : draws) combo.push_back(kArrows[draw]);
}

void Purification::SpawnKeyIcon(const Vec2& position, float scale, const std::string& texture)
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
    // In no scene: only the Sprite has a system; connecting also lets destruction take it out again.
    if (SpawnIntoScene(nullptr, icon, SpawnOrder::SystemsFirst, false)) key_icons.push_back(icon->id);
}

// The row of icons centred at the player's position plus icon_offset, icon_spacing apart.
void Purification::ShowComboIcons(const PlayerController& player)
{
    const Vec2 centre = PlayerPosition(player) + icon_offset;
    for (size_t i = 0; i < combo.size(); ++i) {
        SpawnKeyIcon(Vec2(centre.x - icon_spacing + static_cast<float>(i) * icon_spacing, centre.y), kIconScale,
                     RowTexture(combo[i]));
    }
}

void Purification::ClearCombo()
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

void Purification::Abandon()
{
    // The tutorial also raises the flag, with no candidate or icon of a controller's own.
    if (IsPurifying && (target != 0 || !key_icons.empty())) IsPurifying = false;
    ClearCombo();
}

void Purification::ForgetShownEntities()
{
    key_icons.clear(); // first, so ClearCombo destroys none of the original's icons
    ClearCombo();
    target = 0;
    targets.clear();
    timer_text = 0;
    overlay = 0;
    depth_lifts.clear();
}

void Purification::LightKeyIcon(size_t index)
{
    Entity* icon = index < key_icons.size() ? FindLiveEntity(key_icons[index]) : nullptr;
    auto sprite = icon ? icon->GetComponent<Sprite>(SPRITE) : nullptr;
    if (!sprite) return;
    sprite->SetIsSpritesheet(true);
    sprite->start_frame = 0;
    sprite->current_frame = 1;
    sprite->spritesheet_speed = 0.03f;
    sprite->play_once = true;
    sprite->SetTexture(LitTexture(combo[index]));
}

bool Purification::CheckComboInput(PlayerController& player)
{
    if (!IsPurifying || combo.size() != kComboLength || key_icons.size() != kComboLength) return false;
    // Keys typed since the last check are taken in order, so several per frame are not lost.
    while (combo_matched.size() < combo_input.size() && combo_matched.size() < combo.size()) {
        const size_t i = combo_matched.size();
        if (combo_input[i] != combo[i]) {
            ClearCombo();
            GenerateCombo();
            ShowComboIcons(player);
            player.PlaySound("SFX_Puri_Wrong");
            return false;
        }
        LightKeyIcon(i);
        combo_matched.push_back(true);
        if (i < 2) player.PlaySound("SFX_Puri_RightKey");
    }
    const bool complete = combo_matched.size() == 3 &&
                          std::all_of(combo_matched.begin(), combo_matched.end(), [](bool right) { return right; });
    if (complete) player.PlaySound("SFX_Puri_RightCombi");
    return complete;
}

// ---- Overlay and timer text -----------------------------------------------------------------

void Purification::LiftDepth(uint64_t id, float overlay_depth, bool behind_only)
{
    for (const auto& lift : depth_lifts) {
        if (lift.first == id) return;
    }
    Entity* entity = FindLiveEntity(id);
    auto transform = entity ? entity->GetComponent<Transform>(TRANSFORM) : nullptr;
    if (!transform || (behind_only && transform->position.z > overlay_depth)) return;
    transform->position.z += overlay_depth;
    depth_lifts.emplace_back(id, overlay_depth);
}

void Purification::PlaceOverlay(const PlayerController& player, const Vec2& position)
{
    auto scene = CurrentScene();
    if (!scene) return;
    Entity* shade = overlay ? scene->GetEntity(overlay) : nullptr;
    if (!shade) shade = scene->FindEntityByName(kOverlayName);
    if (!shade) {
        shade = SpawnIntoScene(scene.get(), EntityFactory::GetInstance()->CreateFromArchetype(kOverlayName),
                               SpawnOrder::SystemsFirst, false);
        if (!shade) return;
        overlay = shade->id;
        auto transform = shade->GetComponent<Transform>(TRANSFORM);
        if (!transform) return;
        transform->position.x = position.x;
        transform->position.y = position.y;
        LiftDepth(target, transform->position.z, true);
        LiftDepth(player.owner->id, transform->position.z, false);
        return;
    }
    overlay = shade->id;
    if (auto transform = shade->GetComponent<Transform>(TRANSFORM)) {
        auto camera_transform = ActiveCamera ? ActiveCamera->transform : nullptr;
        if (camera_transform) {
            transform->position.x = camera_transform->position.x;
            transform->position.y = camera_transform->position.y;
        }
        LiftDepth(target, transform->position.z, true);
    }
    SetEntityActive(shade, true);
}

void Purification::RemoveOverlay()
{
    for (const auto& [id, amount] : depth_lifts) {
        Entity* entity = FindLiveEntity(id);
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

void Purification::UpdateTimerText()
{
    Entity* entity = FindLiveEntity(timer_text);
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
        entity = SpawnIntoScene(scene.get(), entity, SpawnOrder::SystemsFirst, false);
        if (entity) timer_text = entity->id;
    }
    if (!entity) return;
    if (auto text = entity->GetComponent<Text>(TEXT)) {
        const float remaining = std::max(0.0f, timer - std::fabs(TotalTime() - start_time));
        char buffer[32];
        std::snprintf(buffer, sizeof(buffer), "%.2fs", static_cast<double>(remaining));
        text->SetText(buffer);
    }
    SetEntityActive(entity, true);
}

void Purification::HideTimerText()
{
    if (Entity* entity = FindLiveEntity(timer_text)) SetEntityActive(entity, false);
}

} // namespace OrvEngine
