// A settings file a person wrote by hand, through the real game: read as
// they meant it, and written back with their lines kept.

#include <filesystem>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "common/PrivateSettingsFolder.hpp"
#include "common/TextFiles.hpp"
#include "core/input/InputCodes.hpp"
#include "game/GameReset.hpp"
#include "game/GameScenario.hpp"
#include "game/player/PadRumble.hpp"
#include "widgets/Slider.hpp"

namespace fs = std::filesystem;

namespace {
class HandEditedSettings : public GameScenario {
protected:
    // Starts `started` on the settings of `folder`; returns what it reported.
    static std::string startReporting(VorluneGame& started, const fs::path& folder) {
        started.title = "Vorlune scenario";
        started.options.configPath = folder.string();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        EXPECT_TRUE(started.init()) << "no window (run under Xvfb)";
        const std::string printed = testing::internal::GetCapturedStdout();
        return printed + testing::internal::GetCapturedStderr();
    }
    static int settingsLines(const std::string& printed) {
        int count = 0;
        for (size_t at = printed.find("Settings "); at != std::string::npos;
             at = printed.find("Settings ", at + 1)) {
            ++count;
        }
        return count;
    }

    const fs::path folder = PrivateSettingsFolder::root() / "by-hand";
};
} // namespace

// Windows line ends, odd case and spacing, a note after a value, a line that
// is no setting, bindings in the numeric form older games wrote, and a last
// line without its line end (as printf leaves it).
TEST_F(HandEditedSettings, EveryLineIsReadAsMeantAndKeptWhenTheGameWritesTheFile) {
    fs::create_directories(folder);
    const std::string edited = "# my own notes\r\n"
                               "Player2 = Computer\r\n"
                               "rumble = OFF   # the pads buzz too much\r\n"
                               "arena = Spires\r\n"
                               "volume.master = 40 %\r\n"
                               "this line is not a setting\r\n"
                               "binding.player1 jump = j, Pad1.North\r\n"
                               "binding.Player2 Horizontal = 71:-1 72:1 pad2.leftx\r\n"
                               "binding.Player1 Magic = 6 pad1.east 201\r\n"
                               "lives = 5";
    writeWholeFile((folder / "settings.txt").string(), edited);
    const int32_t jumpOnJ[] = {sf::Keyboard::J, inputCodes::padButton(0, PadButton::north)};
    const int32_t magicOnG[] = {sf::Keyboard::G, inputCodes::padButton(0, PadButton::east),
                                inputCodes::joystickButton(0, 1)};
    {
        ScenarioGame first;
        const std::string printed = startReporting(first, folder);
        EXPECT_EQ(settingsLines(printed), 1) << printed;
        EXPECT_NE(printed.find("line 6 is not \"key = value\"; it is ignored and kept"), std::string::npos)
            << printed;
        EXPECT_EQ(first.playerSetup->livesPerMatch, 5);
        EXPECT_TRUE(first.playerSetup->isComputer(2));
        EXPECT_EQ(first.playerSetup->arenaChoice, "spires");
        EXPECT_FALSE(padRumble::isEnabled());
        const auto master = GuiManager::instance().getWidget<widgets::Slider>("sound", "MasterVolume");
        ASSERT_TRUE(master);
        EXPECT_EQ(master->getValue(), 40.0f);
        EXPECT_EQ(input.actions.at("Player1 Jump")->codes,
                  std::vector<int32_t>(std::begin(jumpOnJ), std::end(jumpOnJ)));
        EXPECT_EQ(input.actions.at("Player1 Magic")->codes,
                  std::vector<int32_t>(std::begin(magicOnG), std::end(magicOnG)));
        EXPECT_EQ(input.axes.at("Player2 Horizontal")->keyValues,
                  (std::map<int32_t, float>{{sf::Keyboard::Left, -1.0f}, {sf::Keyboard::Right, 1.0f}}));
        FrameTimes firstTimes;
        for (int i = 0; i < 3; ++i) {
            first.runFrame(firstTimes, [] { return frameDelta; });
        }
        first.window.close();
        first.shutdown();
    }
    EXPECT_FALSE(fs::exists(folder / "settings.txt.damaged"));
    // The person's lines as they were, Windows line ends and all; only the
    // numeric bindings are written again, by name. New keys follow.
    const std::string written = readWholeFile((folder / "settings.txt").string());
    EXPECT_EQ(written.rfind("# my own notes\r\n"
                            "Player2 = Computer\r\n"
                            "rumble = OFF   # the pads buzz too much\r\n"
                            "arena = Spires\r\n"
                            "volume.master = 40 %\r\n"
                            "this line is not a setting\r\n"
                            "binding.player1 jump = j, Pad1.North\r\n"
                            "binding.Player2 Horizontal = Left:-1, Right:1, pad2.leftx\r\n"
                            "binding.Player1 Magic = G, pad1.east, pad1.button1\r\n"
                            "lives = 5\r\n",
                            0),
              0u)
        << written;
    EXPECT_NE(written.find("\r\nvolume.music = 50\r\n"), std::string::npos) << written;

    // The names read back as the same bindings, the bad line is reported again.
    resetGame();
    input.setBackend(devices);
    const std::string printed = startReporting(game, folder);
    EXPECT_EQ(settingsLines(printed), 1) << printed;
    EXPECT_EQ(input.actions.at("Player1 Magic")->codes,
              std::vector<int32_t>(std::begin(magicOnG), std::end(magicOnG)));
    EXPECT_EQ(input.axes.at("Player2 Horizontal")->keyValues,
              (std::map<int32_t, float>{{sf::Keyboard::Left, -1.0f}, {sf::Keyboard::Right, 1.0f}}));
    EXPECT_EQ(game.playerSetup->livesPerMatch, 5);
}

// Values a person could not mean are still reported, with their defaults used.
TEST_F(HandEditedSettings, UnreadableValuesAreReportedAndTheDefaultsUsed) {
    fs::create_directories(folder);
    writeWholeFile((folder / "settings.txt").string(), "lives = lots\n"
                                                       "window.fullscreen = maybe\n"
                                                       "binding.Player1 Jump = Space, NoSuchKey\n");
    input.setBackend(devices);
    const std::string printed = startReporting(game, folder);
    EXPECT_EQ(settingsLines(printed), 3) << printed;
    EXPECT_NE(printed.find("lives 'lots' is not a whole number"), std::string::npos) << printed;
    EXPECT_NE(printed.find("binding.Player1 Jump 'Space, NoSuchKey' is not a list of keys"),
              std::string::npos)
        << printed;
    EXPECT_EQ(game.playerSetup->livesPerMatch, PlayerSetup::defaultLives);
    EXPECT_FALSE(game.isFullscreen());
    EXPECT_EQ(input.actions.at("Player1 Jump")->codes.front(), sf::Keyboard::Space);
}
