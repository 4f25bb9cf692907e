#include "Audio/SceneMusic.h"

#include "Audio/AudioSystem.h"
#include "Components/Audio.h"
#include "CoreEngine/Globals.h"
#include "Factory/Entity.h"
#include "Factory/EntityNames.h"
#include "Scene/IScene.h"

namespace OrvEngine {

namespace {
struct MusicRow {
    const char* scenes[2];
    const char* entity;
    const char* file;
    const char* event;
};

const MusicRow kSceneMusic[] = {
    {{"MainMenuScene", nullptr}, EntityNames::kMusic, "BGM_Main.ogg", "BGM_Main"},
    {{"GameScene_23", nullptr}, EntityNames::kMusic, "BGM_Level1.ogg", "BGM_Level1"},
    {{"GameScene_01", nullptr}, EntityNames::kMusic, "BGM_Level2.ogg", "BGM_Level2"},
    {{"SplashScene_01", nullptr}, EntityNames::kBackground, "SFX_StartSeq1.ogg", "SFX_StartSeq1"},
    {{"SplashScene_05", nullptr}, EntityNames::kBackground, "SFX_StartSeq2.ogg", "SFX_StartSeq2"},
    {{"GameScene_02", "GameScene_20"}, EntityNames::kResultBackground, "SFX_WinScreen.ogg", "SFX_WinScreen"},
    {{"GameScene_03", "GameScene_21"}, EntityNames::kResultBackground, "SFX_LoseScreen.ogg", "SFX_LoseScreen"},
};
} // namespace

void StartSceneMusic(IScene& scene)
{
    if (!GameIsRunning) return;
    const std::string name = scene.GetSceneName();
    for (const MusicRow& row : kSceneMusic) {
        bool applies = false;
        for (const char* listed : row.scenes) applies = applies || (listed && name == listed);
        if (!applies) continue;
        Entity* entity = scene.FindEntityByName(row.entity);
        auto audio = entity ? entity->GetComponent<Audio>(AUDIO) : nullptr;
        if (!audio) return;
        // A missing sound file was reported when the entity's sounds were added; not every frame.
        if (!AudioSystem::GetInstance()->EventsFilenameMap.count(row.event)) return;
        SoundEntry* entry = AudioSystem::GetInstance()->GetSoundFromFilename(*audio, row.file);
        if (entry && !entry->is_playing) AudioSystem::GetInstance()->PlayEvent(*audio, row.event);
        return;
    }
}

} // namespace OrvEngine
