// The whole game played through on the real engine and the shipped resources by the bot of
// GameBot.h: from the first intro picture to the end screen and out through the main menu's Quit;
// and each level lost once and retried.
#include "GameBot.h"

#include "Scripts/Dialogue/DialogueTexts.h"
#include "Scripts/Tutorial/TutorialTexts.h"

#include <cstdlib>
#include <iostream>
#include <tuple>

using namespace OrvEngine;
using namespace OrvTest;

namespace {

constexpr double kFrameTime = 0.05;

class PlaythroughTest : public GameEndToEndTest {
protected:
    PlaythroughTest() : GameEndToEndTest(false) {}

    void SetUp() override
    {
        GameEndToEndTest::SetUp();
        PlayInASmallWindow();
    }

    // Runs the game with the bot at the keys, 0.05 s of fake time a frame; a run that does not end
    // by itself is closed after `frame_limit` frames, or once the bot reaches its stop scene.
    // ORV_BOT_TRACE prints what the bot sees once a second; ORV_BOT_SEED replays another seed.
    int Play(GameBot& bot, int frame_limit, uint32_t seed = 1)
    {
        bot.trace = std::getenv("ORV_BOT_TRACE") != nullptr;
        if (const char* chosen = std::getenv("ORV_BOT_SEED")) seed = static_cast<uint32_t>(std::atoi(chosen));
        StdoutCapture console;
        const int result = RunFrames(
            [&] {
                bot.Frame();
                if (!bot.stop_at.empty() && CurrentSceneName() == bot.stop_at) {
                    Platform::PushMessage({Platform::WM_CLOSE_MSG, 0, 0});
                }
            },
            frame_limit, kFrameTime, /*editor=*/false, seed);
        console_ = console.Take();
        return result;
    }

    // The run's log and console hold no error report.
    void ExpectNoErrorReported() const
    {
        for (const std::string& line : Lines(LogText())) EXPECT_FALSE(Contains(line, "Error")) << line;
        for (const std::string& line : Lines(console_)) EXPECT_FALSE(Contains(line, "Error")) << line;
    }

    static void Report(const GameBot& bot)
    {
        for (const LevelVisit& v : bot.visits) {
            std::cerr << v.scene << ": " << v.frames * kFrameTime << " s of play, lowest hp " << v.lowest_hp << ", Dora's "
                      << v.lowest_dora_hp << ", spells " << v.spells_cast << ", purified " << v.purifications
                      << ", debug keys " << v.debug_keys << (v.died ? ", died" : "") << std::endl;
        }
    }

    std::string console_;
};

// A picture dialogue's name holds its picture count after a five-letter prefix ("Story3NPics").
size_t PictureCount(const std::string& name) { return name.size() > 5 ? static_cast<size_t>(name[5] - '0') : 0; }

TEST_F(PlaythroughTest, TheWholeGameFromTheIntroToQuit)
{
    GameBot bot({/*god_mode=*/true, /*weaken=*/true, /*die_once=*/false});
    const int result = Play(bot, 8000);
    Report(bot);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(bot.QuitPressed());
    EXPECT_LT(bot.frame, 8000) << "the run was closed from outside";
    const std::vector<std::string> flow = {
        "SplashScene_00", "SplashScene_01", "SplashScene_02", "SplashScene_03", "SplashScene_04", "SplashScene_05",
        "MainMenuScene",  "GameScene_22",   "SplashScene_07", "GameScene_01",   "GameScene_24",   "GameScene_02",
        "GameScene_23",   "GameScene_20",   "MainMenuScene"};
    EXPECT_EQ(bot.scenes, flow);
    for (const std::string& exit : bot.wrong_exits) ADD_FAILURE() << "left by an unintended path: " << exit;

    // Every line of the tutorial's three sequences and of the epilogue was shown and read in turn.
    EXPECT_EQ(bot.lines["dialogue_01"], TutorialLines(1));
    EXPECT_EQ(bot.speakers["dialogue_01"], TutorialSpeakers(1));
    EXPECT_EQ(bot.lines["dialogue_02"], TutorialLines(2));
    EXPECT_EQ(bot.speakers["dialogue_02"], TutorialSpeakers(2));
    EXPECT_EQ(bot.lines["dialogue_03"], TutorialLines(3));
    EXPECT_EQ(bot.speakers["dialogue_03"], TutorialSpeakers(3));
    EXPECT_EQ(bot.lines["DialogueScript04"], DialogueLines(4));
    EXPECT_EQ(bot.speakers["DialogueScript04"], DialogueSpeakers(4));
    // And every picture of the picture dialogues Ilo walked into, in chapter 1 and the ruins.
    EXPECT_GE(bot.pictures.size(), 2u);
    for (const auto& [name, shown] : bot.pictures) EXPECT_EQ(shown.size(), PictureCount(name)) << name;

    // Each level was played: spells cast and enemies purified by their arrows, no death.
    ASSERT_EQ(bot.visits.size(), 3u);
    for (const LevelVisit& visit : bot.visits) {
        EXPECT_GT(visit.spells_cast, 0) << visit.scene;
        EXPECT_GT(visit.purifications, 0) << visit.scene;
        EXPECT_EQ(visit.wrong_arrows, 0) << visit.scene;
        EXPECT_FALSE(visit.died) << visit.scene;
    }
    ExpectNoErrorReported();
    EXPECT_FALSE(Contains(console_, "Invalid entity pointer")) << "every bar is set up with the entity it names";
}

// Each level lost once without god mode or weakened foes, the lose screen's Retry taken and the
// level played again from its start to its exit. Ilo walks into falling rings; in the tutorial,
// where nothing can hurt him, his purifications run out until the foe wears Dora down.
class DeathAndRetryTest : public PlaythroughTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DeathAndRetryTest, DieLoseRetryAndPlayOn)
{
    const std::string level = GetParam();
    StartScene = level;
    GameBot bot({/*god_mode=*/true, /*weaken=*/true, /*die_once=*/true});
    bot.stop_at = level == "GameScene_22" ? "SplashScene_07" : level == "GameScene_01" ? "GameScene_24" : "GameScene_20";
    // The tutorial's monster strikes seldom (a player who stands and watches is not beaten), so
    // a death there takes a long provoking.
    const int frame_limit = level == "GameScene_22" ? 24000 : 6000;
    const int result = Play(bot, frame_limit);
    Report(bot);
    EXPECT_EQ(result, 0);
    EXPECT_LT(bot.frame, frame_limit) << "the run was closed from outside";
    const std::vector<std::string> flow = {level, "GameScene_03", level, bot.stop_at};
    EXPECT_EQ(bot.scenes, flow);
    for (const std::string& exit : bot.wrong_exits) ADD_FAILURE() << "left by an unintended path: " << exit;
    ASSERT_EQ(bot.visits.size(), 2u);
    EXPECT_TRUE(bot.visits[0].died);
    EXPECT_EQ(bot.visits[0].debug_keys, 0) << "Ilo died without god mode or weakened foes";
    EXPECT_FALSE(bot.visits[1].died);
    ExpectNoErrorReported();
}

INSTANTIATE_TEST_SUITE_P(Levels, DeathAndRetryTest, ::testing::Values("GameScene_22", "GameScene_01", "GameScene_23"));

// Each level played from its start without god mode or debug keys, for the balance figures: how
// long a first play takes and how close it comes to a death. Long: runs only when ORV_BALANCE is set.
class BalanceTest : public PlaythroughTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BalanceTest, FinishedWithoutDebugKeys)
{
    if (!std::getenv("ORV_BALANCE")) GTEST_SKIP() << "set ORV_BALANCE to measure";
    const std::string level = GetParam();
    StartScene = level;
    GameBot bot({/*god_mode=*/false, /*weaken=*/false, /*die_once=*/false});
    bot.stop_at = level == "GameScene_22" ? "SplashScene_07" : level == "GameScene_01" ? "GameScene_24" : "GameScene_20";
    const int result = Play(bot, 24000);
    Report(bot);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(bot.scenes, (std::vector<std::string>{level, bot.stop_at}));
    for (const std::string& exit : bot.wrong_exits) ADD_FAILURE() << "left by an unintended path: " << exit;
    ASSERT_FALSE(bot.visits.empty());
    EXPECT_EQ(bot.visits[0].debug_keys, 0);
}

INSTANTIATE_TEST_SUITE_P(Levels, BalanceTest, ::testing::Values("GameScene_22", "GameScene_01", "GameScene_23"));

// Chapter 1 and the ruins on five seeds each, by the skilled bot and by one that plays as a
// first-time player does (GameBot's first_time): every run reaches the level's end without debug
// keys, with Dora never below a quarter of her health. Long: runs only when ORV_BALANCE is set,
// and prints each run's figures.
class SeededBalanceTest : public PlaythroughTest,
                          public ::testing::WithParamInterface<std::tuple<const char*, bool, int>> {};

TEST_P(SeededBalanceTest, EveryRunFinishedWithDoraStanding)
{
    if (!std::getenv("ORV_BALANCE")) GTEST_SKIP() << "set ORV_BALANCE to measure";
    const auto [scene, first_time, seed] = GetParam();
    const std::string level = scene;
    StartScene = level;
    GameBot bot({/*god_mode=*/false, /*weaken=*/false, /*die_once=*/false, first_time});
    bot.stop_at = level == "GameScene_01" ? "GameScene_24" : "GameScene_20";
    const int result = Play(bot, 24000, static_cast<uint32_t>(seed));
    Report(bot);
    EXPECT_EQ(result, 0);
    const bool finished = bot.scenes == std::vector<std::string>{level, bot.stop_at};
    EXPECT_TRUE(finished) << "scenes: " << ::testing::PrintToString(bot.scenes);
    for (const std::string& exit : bot.wrong_exits) ADD_FAILURE() << "left by an unintended path: " << exit;
    ASSERT_FALSE(bot.visits.empty());
    const LevelVisit& visit = bot.visits[0];
    ASSERT_GT(visit.full_hp, 0);
    ASSERT_GT(visit.dora_full_hp, 0);
    EXPECT_EQ(visit.debug_keys, 0);
    EXPECT_GE(visit.lowest_dora_hp * 4, visit.dora_full_hp) << "Dora fell to " << visit.lowest_dora_hp;
    std::cerr << "figures: " << level << (first_time ? " first-time" : " skilled") << " seed " << seed << ": "
              << (finished ? "finished" : "not finished") << ", Dora's lowest " << 100 * visit.lowest_dora_hp / visit.dora_full_hp
              << " %, Ilo's lowest " << 100 * visit.lowest_hp / visit.full_hp << " %, " << visit.frames * kFrameTime << " s"
              << std::endl;
}

std::string SeededRunName(const ::testing::TestParamInfo<SeededBalanceTest::ParamType>& info)
{
    const std::string player = std::get<1>(info.param) ? "_FirstTime_Seed" : "_Skilled_Seed";
    return std::get<0>(info.param) + player + std::to_string(std::get<2>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Levels, SeededBalanceTest,
                         ::testing::Combine(::testing::Values("GameScene_01", "GameScene_23"), ::testing::Bool(),
                                            ::testing::Range(1, 6)),
                         SeededRunName);

} // namespace
