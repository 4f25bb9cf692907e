// Sections of the components with pictures or sound: Sprite (with a preview of its picture),
// Slider and Audio.
#include "Editor/EditorWindows/ComponentPanelSections.h"

#include "Audio/AudioSystem.h"
#include "Components/Audio.h"
#include "Components/Slider.h"
#include "Components/Sprite.h"
#include "CoreEngine/Globals.h"
#include "CoreEngine/ResourceManager.h"
#include "Editor/EditorManager.h"
#include "Editor/EditorWidgets.h"
#include "Factory/Entity.h"
#include "Graphics/SpriteSystem.h"
#include "Graphics/TextureManager.h"
#include "Scene/IScene.h"

#include <imgui.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iostream>

namespace OrvEngine {
namespace InspectorSections {

using namespace EditorWidgets;

namespace {
constexpr float kPreviewHeight = 64.0f;

// The first live entity of the edited scene with that name, or null.
Entity* LiveEntityNamed(const std::string& name)
{
    auto scene = EditorManager::GetInstance()->edited_scene;
    if (!scene) return nullptr;
    for (const auto& [id, entity] : scene->GetEntities()) {
        if (entity->GetName() == name) return entity;
    }
    return nullptr;
}

// The sprite's picture (its first frame for a sheet), when it has been uploaded.
void DrawPreview(const Sprite& sprite)
{
    auto texture = EditorManager::GetInstance()->textures.Picture(sprite.GetTexIdentifier());
    if (!texture || texture->id == 0 || texture->width <= 0 || texture->height <= 0) return;
    const int frames = sprite.GetIsSpritesheet() && sprite.GetNumberOfFrames() > 1 ? sprite.GetNumberOfFrames() : 1;
    const float frame_width = static_cast<float>(texture->width) / static_cast<float>(frames);
    const float width = kPreviewHeight * frame_width / static_cast<float>(texture->height);
    const ImTextureID id = reinterpret_cast<ImTextureID>(static_cast<intptr_t>(texture->id));
    // Pictures are stored bottom row first: the image is drawn with v flipped to stand upright.
    ImGui::Image(id, ImVec2(width, kPreviewHeight), ImVec2(0.0f, 1.0f), ImVec2(1.0f / static_cast<float>(frames), 0.0f));
}

void DrawTint(Sprite& sprite)
{
    if (GameIsRunning) {
        char alpha[64];
        std::snprintf(alpha, sizeof(alpha), "%f", sprite.GetTintColor().GetA());
        Label("ALPHA: ");
        ImGui::TextUnformatted(alpha);
        ImGui::TextUnformatted("Note: Tint values locked while");
        ImGui::TextUnformatted("game is running.");
        return;
    }
    bool tinted = sprite.GetIsTinted();
    if (CheckField("tint sprite", tinted)) sprite.SetIsTinted(tinted);
    if (!sprite.GetIsTinted()) return;
    Color tint = sprite.GetTintColor();
    bool edited = FloatField("R:          ", "##tint_r", tint.x, kFineStep, kStep, "%.2f");
    edited |= FloatField("G:          ", "##tint_g", tint.y, kFineStep, kStep, "%.2f");
    edited |= FloatField("B:          ", "##tint_b", tint.z, kFineStep, kStep, "%.2f");
    edited |= FloatField("Alpha:      ", "##tint_a", tint.w, kFineStep, kStep, "%.2f");
    if (edited) sprite.SetTintColor(tint);
}

void DrawAnimation(Sprite& sprite)
{
    bool sheet = sprite.GetIsSpritesheet();
    if (CheckField("is animation", sheet)) sprite.SetIsSpritesheet(sheet);
    if (sprite.GetIsSpritesheet()) {
        EmptyLine();
        CheckField("play once", sprite.play_once);
        int32_t frames = sprite.GetNumberOfFrames();
        // A sheet has at least one frame: the frame width divides by the count.
        if (IntField("Frames:     ", "##number_of_frames", frames, 1, 1)) sprite.SetNumberOfFrames(frames);
        EmptyLine();
        int32_t start = sprite.GetStartFrame();
        if (IntField("StartFrame: ", "##start_frame", start, 1, 0)) sprite.SetStartFrame(start);
        EmptyLine();
        float speed = sprite.GetSpritesheetSpeed();
        if (FloatField("Speed:     ", "##sprite_sheet_speed", speed, kFineStep, kStep, "%.2f")) {
            sprite.SetSpritesheetSpeed(speed);
        }
    }
    ImGui::Checkbox("preview animation", &GetOptions().preview_animation);
    SpriteSystem::GetInstance()->SetPreviewAnimation(GetOptions().preview_animation);
}

void DrawSpriteSlider(Sprite& sprite)
{
    bool slider = sprite.GetIsSlider();
    if (CheckField("use as slider", slider)) sprite.SetIsSlider(slider);
    if (!sprite.GetIsSlider()) return;
    float offset = sprite.GetSliderOffset();
    if (FloatField("Offset:    ", "##slider_offset", offset, kFineStep, kStep, "%.2f")) sprite.SetSliderOffset(offset);
    if (ClickButton("Save Slider Position")) sprite.Init();
    ImGui::TextUnformatted("*Set entity to grab stats from");
    std::string chosen;
    if (NameCombo("Attached entity: ", "##slider_ent", sprite.GetEntName(), LiveEntityNames(), chosen)) {
        sprite.SetAttachedEntity(LiveEntityNamed(chosen));
        sprite.SetEntName(chosen);
    }
}
} // namespace

void DrawSprite(Entity&, Component& component)
{
    auto* sprite = As<Sprite>(component);
    if (!sprite) return;
    NarrowWidth narrow;
    if (ClickButton("Refresh Sprites")) EditorManager::GetInstance()->textures.Refresh();
    std::string chosen;
    if (TextureCombo("Sprite:    ", "##sprite", sprite->GetTexIdentifier(), chosen)) sprite->SetTexture(chosen);
    DrawPreview(*sprite);
    DrawTint(*sprite);
    DrawAnimation(*sprite);
    DrawSpriteSlider(*sprite);
}

void DrawSlider(Entity&, Component& component)
{
    auto* slider = As<Slider>(component);
    if (!slider) return;
    NarrowWidth narrow;
    if (ClickButton("Save Slider Position")) slider->Init();
    std::string chosen;
    if (NameCombo("Attached entity: ", "##slider_ent", slider->ent_name, LiveEntityNames(), chosen)) {
        slider->ent_name = chosen;
    }
    if (TextureCombo("Slider sprite:    ", "##slider_sprite", slider->tex_identifier, chosen)) slider->SetTexture(chosen);
}

namespace {
// The volumes are the audio system's: read every frame, so the options menu's stand.
void DrawVolumes()
{
    AudioSystem* audio = AudioSystem::GetInstance();
    int bgm = static_cast<int>(std::lround(audio->GetBGMVolume() * 100.0f));
    int sfx = static_cast<int>(std::lround(audio->GetSFXVolume() * 100.0f));
    if (ImGui::SliderInt("BGM Volume", &bgm, 0, 100)) audio->SetBGMVolume(static_cast<float>(bgm) * 0.01f);
    if (ImGui::SliderInt("SFX Volume", &sfx, 0, 100)) audio->SetSFXVolume(static_cast<float>(sfx) * 0.01f);
}

void DrawSoundList(Audio& audio)
{
    ImGui::Separator();
    ImGui::TextUnformatted("Added sounds:");
    if (audio.SoundsEmpty()) ImGui::TextUnformatted("-no sounds added-");
    std::string toggled;
    int row = 0;
    for (auto sound = audio.SoundsBegin(); sound != audio.SoundsEnd(); ++sound, ++row) {
        ImGui::PushID(row);
        const bool music = sound->GetStreams() && sound->GetFileName().find("BGM") != std::string::npos;
        ShowText((music ? "[BGM]" : "[SFX]") + sound->GetFileName());
        ImGui::SameLine();
        if (ClickButton(("Demo Play/Pause##" + sound->GetEventName()).c_str())) toggled = sound->GetEventName();
        ImGui::PopID();
    }
    // Played or paused after the walk: playing may touch the list's entries.
    for (auto sound = audio.SoundsBegin(); !toggled.empty() && sound != audio.SoundsEnd(); ++sound) {
        if (sound->GetEventName() != toggled) continue;
        const bool playing = *sound->IsPlayingPtr();
        std::cout << toggled << ", " << playing << std::endl;
        if (playing) AudioSystem::GetInstance()->PauseEvent(audio, toggled);
        else AudioSystem::GetInstance()->PlayEvent(audio, toggled);
        break;
    }
}

// A popup listing the names that contain `part`; the picked one, or empty.
std::string PickFromPopup(const char* popup, const std::vector<std::string>& names, const std::string& part)
{
    std::string picked;
    if (!ImGui::BeginPopup(popup)) return picked;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].find(part) == std::string::npos) continue;
        ImGui::PushID(static_cast<int>(i));
        if (ImGui::Selectable(names[i].c_str())) picked = names[i];
        ImGui::PopID();
    }
    ImGui::EndPopup();
    return picked;
}

void DrawSoundButtons(Audio& audio)
{
    AudioSystem* system = AudioSystem::GetInstance();
    const std::vector<std::string> available(system->AddedSoundsBegin(), system->AddedSoundsEnd());
    if (ClickButton("Add SFX")) ImGui::OpenPopup("addsfx");
    ImGui::SameLine();
    if (ClickButton("Add BGM")) ImGui::OpenPopup("addbgm");
    const std::string effect = PickFromPopup("addsfx", available, "SFX");
    if (!effect.empty()) system->AddSound(audio, effect, false, true);
    const std::string music = PickFromPopup("addbgm", available, "BGM");
    if (!music.empty()) system->AddSound(audio, music, true, false);
    if (!effect.empty() || !music.empty()) MarkModified();

    if (ClickButton("Remove Sound")) ImGui::OpenPopup("removesound");
    std::vector<std::string> events;
    for (auto sound = audio.SoundsBegin(); sound != audio.SoundsEnd(); ++sound) events.push_back(sound->GetEventName());
    const std::string removed = PickFromPopup("removesound", events, "");
    if (removed.empty()) return;
    system->RemoveSound(audio, removed);
    MarkModified();
}
} // namespace

void DrawAudio(Entity&, Component& component)
{
    auto* audio = As<Audio>(component);
    if (!audio) return;
    if (ClickButton("Refresh Sounds")) ResourceManager::GetInstance()->RefreshSounds();
    NarrowWidth narrow;
    DrawVolumes();
    DrawSoundList(*audio);
    DrawSoundButtons(*audio);
}

} // namespace InspectorSections
} // namespace OrvEngine
