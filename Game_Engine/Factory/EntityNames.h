// Names of the entities the engine and the game scripts look up in a scene. Scene data must use
// them exactly; everything else is free to name entities as it likes.
#pragma once

namespace OrvEngine {
namespace EntityNames {

inline constexpr char kPlayer[] = "Player";
inline constexpr char kDora[] = "Dora";
inline constexpr char kCamera[] = "Cam";
inline constexpr char kLevelManager[] = "LevelManager";
inline constexpr char kVavuHelp[] = "VavuHelp";
inline constexpr char kMusic[] = "BGM";
inline constexpr char kBackground[] = "BG";
inline constexpr char kResultBackground[] = "Bg_1";
inline constexpr char kPauseBackground[] = "Pause_bg";
inline constexpr char kPauseHelpPanel[] = "HTPInPauseMenu";
inline constexpr char kPauseHelpButton[] = "HowToPlay";
inline constexpr char kResumeButton[] = "ResumeGame";
inline constexpr char kMuteMusicButton[] = "ToggleMuteBGM";
inline constexpr char kMuteEffectsButton[] = "ToggleMuteSFX";
inline constexpr char kExitToMenuButton[] = "ExitToMainMenu";
inline constexpr char kTeleportCooldownText[] = "TP_SkillCD_Timer";
inline constexpr char kArrowKeyUp[] = "ArrowKeysUI_Up";
inline constexpr char kArrowKeyDown[] = "ArrowKeysUI_Down";
inline constexpr char kArrowKeyLeft[] = "ArrowKeysUI_Left";
inline constexpr char kArrowKeyRight[] = "ArrowKeysUI_Right";
inline constexpr char kSpawnerE2[] = "Spawner_E2";
inline constexpr char kSpawnerE3[] = "Spawner_E3";
// The collision rule of the first chapter's scene tells "Player" against "Enemy" apart.
inline constexpr char kEnemy[] = "Enemy";

} // namespace EntityNames
} // namespace OrvEngine
