// The built game as a player meets it: its own process in its own X server,
// the real pointer and keyboard moved with xdotool, and its sound recorded
// by OpenAL's wave writer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <SFML/Audio/SoundBuffer.hpp>

#include "e2e/GameOnDisplay.hpp"

namespace {
const std::string gui = "../assets/gui/";

class Vorlune : public e2e::GameOnDisplay {
protected:
    // Waits for the game's window and for its menu to be up.
    Window waitForMenu() {
        const auto window = e2e::waitForWindow(connection, "Vorlune", std::chrono::seconds(30));
        EXPECT_TRUE(window) << "no window titled \"Vorlune\" appeared";
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        return window.value_or(0);
    }

    // The process ended by itself, with status 0.
    static void expectCleanExit(e2e::GameProcess& game) { expectExit(game, 0); }
};

// Root mean square of the samples in [from, to) seconds.
double loudness(const sf::SoundBuffer& sound, double from, double to) {
    const auto rate = sound.getSampleRate();
    const size_t begin = std::min<size_t>(static_cast<size_t>(from * rate), sound.getSampleCount());
    const size_t end = std::min<size_t>(static_cast<size_t>(to * rate), sound.getSampleCount());
    double sum = 0.0;
    for (size_t i = begin; i < end; ++i) {
        sum += double(sound.getSamples()[i]) * sound.getSamples()[i];
    }
    return end > begin ? std::sqrt(sum / double(end - begin)) : 0.0;
}

// The best normalised correlation of `pattern` with the recording at any
// sample between `from` and `to` seconds, and where it is (seconds): large
// where the pattern was played (over the music, about 0.7 here), small where
// it was not (about 0.15).
struct Match {
    double value = 0.0;
    double at = 0.0;
};
Match bestMatch(const sf::SoundBuffer& recording, const sf::SoundBuffer& pattern, double from, double to) {
    const sf::Int16* x = recording.getSamples();
    const sf::Int16* p = pattern.getSamples();
    const size_t n = pattern.getSampleCount();
    const double rate = recording.getSampleRate();
    double patternEnergy = 0.0;
    for (size_t i = 0; i < n; ++i) {
        patternEnergy += double(p[i]) * p[i];
    }
    const size_t first = static_cast<size_t>(std::max(0.0, from) * rate);
    const size_t last =
        std::min<size_t>(recording.getSampleCount(), static_cast<size_t>(std::max(0.0, to) * rate));
    Match best;
    for (size_t at = first; at + n <= last; ++at) {
        double dot = 0.0, energy = 0.0;
        for (size_t i = 0; i < n; ++i) {
            dot += double(p[i]) * x[at + i];
            energy += double(x[at + i]) * x[at + i];
        }
        if (energy > 0.0 && dot / std::sqrt(patternEnergy * energy) > best.value) {
            best = {dot / std::sqrt(patternEnergy * energy), at / rate};
        }
    }
    return best;
}
} // namespace

TEST_F(Vorlune, EndGameInTheMenuClosesTheGameWithStatusZero) {
    e2e::GameProcess game;
    ASSERT_TRUE(game.started);
    const Window window = waitForMenu();
    ASSERT_TRUE(window);
    ASSERT_TRUE(e2e::clickInWindow(window, e2e::centreOfWidget(gui + "Menu.txt", "EndGame")));
    expectCleanExit(game);
}

TEST_F(Vorlune, PlayThenPauseWithEscapeThenQuitEndsWithStatusZero) {
    const std::string output = files.path("stdout.txt");
    e2e::GameProcess game({}, {}, output);
    ASSERT_TRUE(game.started);
    const Window window = waitForMenu();
    ASSERT_TRUE(window);
    ASSERT_TRUE(e2e::clickInWindow(window, e2e::centreOfWidget(gui + "Menu.txt", "StartGame")));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(e2e::clickInWindow(window, e2e::centreOfWidget(gui + "Menu_Arena.txt", "Arena1")));
    // The match is built; then Escape opens the pause menu, whose Quit ends the game.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    ASSERT_TRUE(e2e::pressKey("Escape"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(e2e::clickInWindow(window, e2e::centreOfWidget(gui + "PauseMenu.txt", "Quit")));
    expectCleanExit(game);

    // Not a terminal: plain frame-rate lines, at most one a second.
    const std::string printed = readText(output);
    EXPECT_NE(printed.find("FPS "), std::string::npos) << printed;
    EXPECT_EQ(printed.find('\r'), std::string::npos);
    EXPECT_LE(std::count(printed.begin(), printed.end(), '\n'), 12) << printed;
}

TEST_F(Vorlune, MusicRisesFromSilenceAndAButtonClickIsHeard) {
    // OpenAL writes everything it plays into a WAV file at the device's pace,
    // in the sound files' own format.
    const std::string recordingPath = files.path("played.wav");
    const std::string config = files.writeText("alsoft.conf", "[general]\ndrivers=wave\nfrequency=22050\n"
                                                              "channels=mono\nsample-type=int16\n"
                                                              "[wave]\nfile=" +
                                                                  recordingPath + "\n");
    e2e::GameProcess game({"ALSOFT_CONF=" + config}, {"ALSOFT_DRIVERS"});
    ASSERT_TRUE(game.started);
    const Window window = waitForMenu();
    ASSERT_TRUE(window);
    // Well after the fade-in, a click on "Credits"; then the game is closed.
    std::this_thread::sleep_for(std::chrono::seconds(5));
    ASSERT_TRUE(e2e::clickInWindow(window, e2e::centreOfWidget(gui + "Menu.txt", "Credits")));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    e2e::requestClose(connection, window);
    expectCleanExit(game);

    // This process only reads the recording back, but SFML's buffers want a
    // device, and this suite runs with the machine's own sound (maybe none).
    setenv("ALSOFT_DRIVERS", "null", 1);
    sf::SoundBuffer recording, click;
    ASSERT_TRUE(recording.loadFromFile(recordingPath));
    ASSERT_TRUE(click.loadFromFile("../assets/sfx/Click sounds 36.wav"));
    ASSERT_EQ(recording.getChannelCount(), 1u);
    ASSERT_GT(recording.getDuration().asSeconds(), 5.0f);

    const double start = loudness(recording, 0.0, 0.25);
    const double middle = loudness(recording, 0.9, 1.1);
    const double full = loudness(recording, 3.0, 4.0);
    std::printf("loudness at 0 s %.1f, 1 s %.1f, 3 s %.1f\n", start, middle, full);
    EXPECT_GT(full, 100.0) << "no music";
    EXPECT_LT(start, full * 0.25);
    EXPECT_LT(middle, full * 0.8);
    EXPECT_GT(middle, start);

    // The click stands out of the music once, after the fade-in; nothing
    // before it looks like a click.
    const Match heard = bestMatch(recording, click, 0.0, recording.getDuration().asSeconds());
    const Match before = bestMatch(recording, click, 0.0, heard.at - 0.3);
    std::printf("click heard at %.2f s (match %.2f); best match before it %.2f\n", heard.at, heard.value,
                before.value);
    EXPECT_GT(heard.value, 0.5);
    EXPECT_GT(heard.at, 3.0);
    EXPECT_LT(before.value, 0.35);
}
