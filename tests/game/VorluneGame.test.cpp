#include "game/VorluneGame.hpp"

#include <filesystem>
#include <fstream>

#include "common/MapFixtures.hpp"
#include "common/MediaFixtures.hpp"
#include "game/GameScenario.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
using StartUp = GameScenario;

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}
} // namespace

TEST_F(StartUp, MusicRisesFromSilenceOverTwoSecondsThenFollowsOnlyTheAudioPage) {
    start();
    ASSERT_TRUE(game.musicTrack && game.ambientTrack);
    EXPECT_EQ(game.musicTrack->getStatus(), sf::SoundSource::Playing);
    EXPECT_EQ(game.musicTrack->getVolume(), 0.0f);
    frames(60);
    EXPECT_NEAR(game.musicTrack->getVolume(), 7.5f, 0.1f);
    EXPECT_NEAR(game.ambientTrack->getVolume(), 7.5f, 0.1f);
    frames(61);
    EXPECT_FLOAT_EQ(game.musicTrack->getVolume(), 15.0f);
    EXPECT_FLOAT_EQ(game.ambientTrack->getVolume(), 15.0f);

    // A music factor changed with the audio page closed waits for the page.
    SoundManager::instance().musicVolume = 0.2f;
    frames(2);
    EXPECT_FLOAT_EQ(game.musicTrack->getVolume(), 15.0f);
    GuiManager::instance().setVisible("sound", true);
    // The open page rewrites the factor from its sliders (100 x 50 %).
    frames(1);
    EXPECT_FLOAT_EQ(game.musicTrack->getVolume(), 15.0f);
    EXPECT_FLOAT_EQ(SoundManager::instance().musicVolume, 0.5f);

    // A frame that took no time has no rate and still runs.
    StdoutCapture output;
    game.runFrame(times, [] { return 0.0f; });
    EXPECT_EQ(output.text().find("inf"), std::string::npos);
}

TEST_F(StartUp, BrokenContentIsReportedOnceAndTheGameRunsWithTheRest) {
    // A copy of the content with a page, a map, an atlas and sounds broken.
    TempDirectory content;
    const std::string build = copyContentInto(content);
    const std::filesystem::path root(content.path());
    std::filesystem::remove(root / "assets/tilemap/zefMap.tmx");
    std::filesystem::remove(root / "assets/sfx/Click sounds 36.wav");
    content.writeText("assets/sfx/Light wind 1.wav", "RIFF, but not really");
    content.writeText("assets/gui/Menu_Audio.txt", "Slider.MasterVolume { Size = (10, ; }");
    content.writeText("assets/PNG/Player/idle.xml", "<TextureAtlas imagePath=\"idle.png\"><SubTexture");
    ScopedWorkingDirectory inBuild(build);

    ReportCapture output;
    start();
    frames(2);
    click("menu", "MenuOptions");
    click("options", "Sound");
    frames(2);
    click("options", "BackPause");
    clickPlay();
    frames(2);
    EXPECT_EQ(state(), "Arena");
    EXPECT_FALSE(GameObjectManager::instance().findGameObject("Player1")) << "no map, no players";
    tap(sf::Keyboard::Escape);
    EXPECT_EQ(shownPages(), "pause");
    click("pause", "Menu");
    frames(2);
    EXPECT_EQ(state(), "Menu");
    const std::string printed = output.text();

    EXPECT_EQ(
        occurrences(printed, "Couldn't load sound ../assets/sfx/Click sounds 36.wav: cannot open the file\n"),
        1)
        << printed;
    EXPECT_EQ(occurrences(printed, "Couldn't load sound ../assets/sfx/Light wind 1.wav: not a sound file"),
              1);
    EXPECT_EQ(occurrences(printed, "File ../assets/tilemap/zefMap.tmx is not a valid tilemap."), 1);
    EXPECT_EQ(occurrences(printed, "Menu_Audio.txt:1:"), 1);
    EXPECT_EQ(occurrences(printed, "idle.xml"), 1);
    // Clicking again and again does not report the missing click again, nor
    // does the sound library add its own lines about them.
    EXPECT_EQ(occurrences(printed, "Click sounds 36"), 1) << printed;
    EXPECT_EQ(occurrences(printed, "Light wind"), 1) << printed;
    EXPECT_TRUE(game.musicTrack);
    EXPECT_FALSE(game.ambientTrack);
}
