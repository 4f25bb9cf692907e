// Sections of the physics and gameplay components: BoxCollider, RigidBody2D, EnemyMovement,
// AIMovement, PlayerController and BossBehaviour.
#include "Editor/EditorWindows/ComponentPanelSections.h"

#include "Components/BoxCollider.h"
#include "Components/RigidBody2D.h"
#include "Editor/EditorWidgets.h"
#include "Logic/AIMovement.h"
#include "Logic/BossBehaviour.h"
#include "Logic/EnemyMovement.h"
#include "Logic/PlayerController.h"

#include <imgui.h>

#include <cstdio>
#include <initializer_list>
#include <sstream>

namespace OrvEngine {
namespace InspectorSections {

using namespace EditorWidgets;

namespace {
const std::vector<std::string>& BodyTypeNames()
{
    static const std::vector<std::string> names = {"BT_Dynamic", "BT_Kinematic", "BT_Static"};
    return names;
}

// A texture name field of a component, edited through a combo of the editor's texture names.
struct TextureSlot {
    const char* label;
    const char* id;
    std::string* name;
};

void TextureRows(std::initializer_list<TextureSlot> slots)
{
    for (const TextureSlot& slot : slots) {
        std::string chosen;
        if (TextureCombo(slot.label, slot.id, *slot.name, chosen)) *slot.name = chosen;
    }
}

void Bounds(const BoxCollider& collider)
{
    char line[96];
    std::snprintf(line, sizeof(line), "min x: %f  ", collider.GetMin().x);
    Label(line);
    std::snprintf(line, sizeof(line), "min y: %f", collider.GetMin().y);
    ImGui::TextUnformatted(line);
    std::snprintf(line, sizeof(line), "max x: %f  ", collider.GetMax().x);
    Label(line);
    std::snprintf(line, sizeof(line), "max y: %f", collider.GetMax().y);
    ImGui::TextUnformatted(line);
}
} // namespace

void DrawBoxCollider(Entity&, Component& component)
{
    auto* collider = As<BoxCollider>(component);
    if (!collider) return;
    CheckField("Use as a trigger", collider->is_trigger);
    CheckField("Is unphasable by triggers", collider->is_unphasable);
    bool geometry = false;
    {
        NarrowWidth narrow;
        ImGui::TextUnformatted("Position:");
        Vec2 position = collider->GetPosition();
        bool moved = FloatField("x:         ", "##boxcollider_pos_x", position.x, kStep, 0.0f, "%.5f");
        moved |= FloatField("y:         ", "##boxcollider_pos_y", position.y, kStep, 0.0f, "%.5f");
        if (moved) {
            // A box placed by hand no longer follows the Transform.
            collider->SetPosition(position);
            collider->following_transform = false;
        }
        CheckField("use same pos as Transform", collider->following_transform);
        EmptyLine();
        ImGui::TextUnformatted("Size:");
        Vec2 size = collider->GetSize();
        bool resized = FloatField("x:         ", "##boxcollider_size_x", size.x, kStep, 0.0f, "%.5f");
        resized |= FloatField("y:         ", "##boxcollider_size_y", size.y, kStep, 0.0f, "%.5f");
        if (resized) collider->SetSize(size);
        geometry = moved || resized;
    }
    bool feet = collider->GetUseFeetBox();
    if (CheckField("use default bounding box", feet)) {
        collider->SetUseFeetBox(feet);
        collider->use_feet_box = feet;
        geometry = true;
    }
    if (geometry) collider->UpdateBounds();
    EmptyLine();
    Bounds(*collider);
}

void DrawRigidBody(Entity&, Component& component)
{
    auto* body = As<RigidBody2D>(component);
    if (!body) return;
    const int32_t type = body->GetBodyType();
    // A type read from a file may lie outside the list: shown by number, never indexed with.
    const std::string shown =
        type >= 0 && type < static_cast<int32_t>(BodyTypeNames().size()) ? BodyTypeNames()[type] : std::to_string(type);
    std::string chosen;
    if (NameCombo("Body Type: ", "##body_type", shown, BodyTypeNames(), chosen)) {
        for (size_t i = 0; i < BodyTypeNames().size(); ++i) {
            if (BodyTypeNames()[i] == chosen) body->SetBodyType(static_cast<int32_t>(i));
        }
    }
    NarrowWidth narrow;
    float mass = body->mass;
    // 0 is the immovable body (no inverse mass); a negative mass would turn forces and impulses round.
    if (FloatField("Mass:      ", "##rigidbody2d_mass", mass, kStep, 0.0f, "%.5f", 0.0f)) body->SetMass(mass);
    FloatField("Gravity:   ", "##rigidbody2d_grav", body->gravity_scale, kStep, 0.0f, "%.5f");
    ImGui::TextUnformatted("Velocity:");
    Vec2 velocity = body->GetVelocity();
    bool pushed = FloatField("x:         ", "##rigidbody2d_vel", velocity.x, kStep, 0.0f, "%.5f");
    pushed |= FloatField("y:         ", "##rigidbody2d_size_y", velocity.y, kStep, 0.0f, "%.5f");
    if (pushed) body->SetVelocity(velocity);
    ImGui::TextUnformatted("Position:");
    Vec2 position = body->position;
    bool moved = FloatField("x:         ", "##rigidbody2d_pos_x", position.x, kStep, 0.0f, "%.5f");
    moved |= FloatField("y:         ", "##rigidbody2d_pos_y", position.y, kStep, 0.0f, "%.5f");
    if (moved) body->SetPosition(position);
}

void DrawEnemyMovement(Entity&, Component& component)
{
    auto* enemy = As<EnemyMovement>(component);
    if (!enemy) return;
    CheckField("purifiable", enemy->is_purifiable);
    static const char* const kDebuffs[] = {"None", "Speed Decrease", "Damage Decrease", "Defense Decrease"};
    const int32_t debuff = enemy->GetCurrentDebuff();
    Label("Current Debuff: ");
    ImGui::TextUnformatted(debuff >= DEBUFF_SPEED && debuff <= DEBUFF_DEFENCE ? kDebuffs[debuff] : kDebuffs[0]);
    {
        NarrowWidth narrow;
        FloatField("Range:             ", "##enemy_range", enemy->range, kStep, 0.0f, "%.5f");
        FloatField("Cooldown:          ", "##enemy_cooldown", enemy->cooldown, kStep, 0.0f, "%.5f");
        FloatField("Debuff Multiplier: ", "##enemy_debuff_multi", enemy->debuff_multiplier, kStep, 0.0f, "%.5f", 0.0f);
    }
    FloatField("Debuff Timer:      ", "##enemy_debuff_time", enemy->debuff_timer, kFineStep, 0.0f, "%.5f", 0.0f);
    TextureRows({{"Idle Texture:      ", "##enemy_idle_tex", &enemy->idle_texture},
                 {"Walking Texture:   ", "##enemy_walk_tex", &enemy->walking_texture},
                 {"Attack Texture:    ", "##enemy_att_tex", &enemy->attack_texture},
                 {"Down Texture:      ", "##enemy_down_tex", &enemy->down_texture},
                 {"Purified Texture:  ", "##enemy_purified_tex", &enemy->puri_texture},
                 {"Appear Texture:    ", "##enemy_appear_tex", &enemy->appear_texture}});
}

void DrawAIMovement(Entity&, Component& component)
{
    auto* ai = As<AIMovement>(component);
    if (!ai) return;
    NarrowWidth narrow;
    FloatField("Range:     ", "##ai_range", ai->range, kStep, 0.0f, "%.5f");
    FloatField("Cooldown:  ", "##ai_cooldown", ai->cooldown, kStep, 0.0f, "%.5f");
    ImGui::TextUnformatted("Revive Time:");
    FloatField("           ", "##ai_revive_time", ai->revive_time, kStep, 0.0f, "%.5f");
    TextureRows({{"Idle Texture:    ", "##ai_idle_tex", &ai->idle_texture},
                 {"Walking Texture:    ", "##ai_walk_tex", &ai->walking_texture},
                 {"Attack Texture:    ", "##ai_att_tex", &ai->attack_texture},
                 {"Down Texture:    ", "##ai_down_tex", &ai->down_texture}});
}

void DrawPlayerController(Entity&, Component& component)
{
    auto* player = As<PlayerController>(component);
    if (!player) return;
    Label("Direction facing: ");
    ImGui::TextUnformatted(player->facing != 0 ? "Right" : "Left");
    Label("God Mode: ");
    ImGui::TextUnformatted(player->GetGodMode() ? "ON" : "OFF");
    std::ostringstream aggro;
    aggro << player->GetAggro();
    Label("Aggro Level: ");
    ShowText(aggro.str());
    NarrowWidth narrow;
    ImGui::TextUnformatted("Spell Traveling Speed:");
    FloatField("           ", "##spell_spd", player->spell_speed, kStep, 0.0f, "%.5f", 0.0f);
    TextureRows({{"Spell Texture:    ", "##spell_tex", &player->spell_texture}});
    FloatField("Cooldown:  ", "##player_cooldown", player->attack_cooldown, kStep, 0.0f, "%.5f");
    ImGui::TextUnformatted("Purify Timer:");
    FloatField("           ", "##purify_timer", player->purification.timer, kStep, 0.0f, "%.5f", 0.0f);
    TextureRows({{"Idle Texture:    ", "##player_idle_tex", &player->idle_texture},
                 {"Walking Texture:    ", "##player_walk_tex", &player->walking_texture},
                 {"Attack Texture:    ", "##player_att_tex", &player->attack_texture},
                 {"Casting Texture:    ", "##player_cast_tex", &player->cast_texture},
                 {"Hurt Texture:    ", "##hurt_tex", &player->hurt_texture},
                 {"Purifying Texture:    ", "##puri_tex", &player->puri_texture}});
}

void DrawBossBehaviour(Entity&, Component& component)
{
    auto* boss = As<BossBehaviour>(component);
    if (!boss) return;
    {
        NarrowWidth narrow;
        FloatField("Cooldown after enemy spawn:     ", "##enemy_spawn_cd", boss->cooldown_spawning_enemy, kStep, 0.0f,
                   "%.5f", 0.0f);
        FloatField("Cooldown after terrain spawn:   ", "##terrain_spawn_cd", boss->cooldown_spawning_terrain, kStep,
                   0.0f, "%.5f", 0.0f);
        IntField("Spawn Enemy Ratio:              ", "##enemy_spawn_ratio", boss->ratio_to_spawn_enemy, 1, 0);
        IntField("Spawn Terrain Ratio:            ", "##enemy_terrain_ratio", boss->ratio_to_spawn_terrain, 1, 0);
        ShowText("The spawn ratio of enemy and terrain is " + std::to_string(boss->ratio_to_spawn_enemy) + ":" +
             std::to_string(boss->ratio_to_spawn_terrain));
        EmptyLine();
        IntField("Max number of enemies in area:  ", "##max_no_of_enemy", boss->max_num_of_enemy, 1);
        ImGui::TextUnformatted("Note: Set a negative value if there is no max number of enemies");
        EmptyLine();
    }
    TextureRows({{"Idle Texture:            ", "##boss_idle_tex", &boss->idle_tex},
                 {"Teleport Out Texture:    ", "##boss_tele_out_tex", &boss->tele_out_tex},
                 {"Teleport In Texture:     ", "##boss_tele_in_tex", &boss->tele_in_tex},
                 {"Spawn Enemy Texture:     ", "##boss_spawn_enemy_tex", &boss->spawning_enemy_tex},
                 {"Spawn Terrain Texture:   ", "##boss_spawn_terrain_tex", &boss->spawning_terrain_tex},
                 {"Down Texture:            ", "##boss_down_tex", &boss->down_tex},
                 {"Hurt Texture:            ", "##boss_hurt_tex", &boss->hurt_tex}});
}

} // namespace InspectorSections
} // namespace OrvEngine
