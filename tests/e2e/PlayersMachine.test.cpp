// The game as a player's machine starts it: with the sound device it has (on
// a machine without one, none: OpenAL's default backends, no test backend),
// from whatever folder, as built or installed, with its sound device lost
// while it runs. Each case ends the game as a player would and reads all it
// printed.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include <SFML/Graphics/Image.hpp>

#include "audio/SoundDevice.hpp"
#include "e2e/GameOnDisplay.hpp"

namespace fs = std::filesystem;

namespace {
// What a player's own session has: none of the tests' sound settings.
const std::vector<std::string> playersEnvironment{"ALSOFT_DRIVERS", "ALSOFT_CONF", "VORLUNE_CONTENT"};

// Lines any content problem starts with (a texture, a sound, a page, a map).
const char* const contentProblems[] = {"Couldn't", "Failed to", "Loading failed", "not a valid tilemap",
                                       "no game content"};

class PlayersMachine : public e2e::GameOnDisplay {
protected:
    // Lets the game run for `seconds` after its window appeared, closes the
    // window as a window manager does, and expects exit status 0.
    void playThenClose(e2e::GameProcess& game, int seconds) {
        const auto window = e2e::waitForWindow(connection, "Vorlune", std::chrono::seconds(30));
        ASSERT_TRUE(window) << "no window titled \"Vorlune\" appeared";
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        e2e::requestClose(connection, *window);
        expectExit(game, 0);
    }

    // Started as a player starts it (none of the tests' sound or content
    // settings), printing everything into `outputPath`.
    static e2e::Launch asPlayer(const std::string& outputPath,
                                const std::vector<std::string>& arguments = {}) {
        e2e::Launch launch;
        launch.unset = playersEnvironment;
        launch.outputPath = outputPath;
        launch.errorsToOutput = true;
        launch.arguments = arguments;
        return launch;
    }

    static int count(const std::string& text, const std::string& what) {
        int found = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
            ++found;
        }
        return found;
    }

    // A short demo from `folder` with `program`: it reaches the arena (its
    // match-start screenshot is saved) and reports no content problem.
    void expectArenaFrom(const std::string& program, const std::string& folder,
                         const std::vector<std::string>& environment = {}) {
        SCOPED_TRACE("started from " + folder + " as " + program);
        const std::string shots = files.path("shots-" + std::to_string(++demos));
        const std::string output = files.path("demo-" + std::to_string(demos) + ".txt");
        e2e::Launch launch =
            asPlayer(output, {"--demo", "--fast", "--no-draw", "--frames", "400", "--shots", shots});
        launch.environment = environment;
        // Quiet on a machine with speakers too.
        launch.environment.push_back("ALSOFT_DRIVERS=null");
        launch.program = program;
        launch.workingDirectory = folder;
        e2e::GameProcess game(launch);
        ASSERT_TRUE(game.started);
        expectExit(game, 0, std::chrono::seconds(60));
        const std::string printed = readText(output);
        EXPECT_TRUE(fs::is_regular_file(shots + "/match-start.png")) << printed.substr(0, 2000);
        for (const char* problem : contentProblems) {
            EXPECT_EQ(printed.find(problem), std::string::npos) << problem << " in:\n"
                                                                << printed.substr(0, 2000);
        }
    }

    int demos = 0;
};
} // namespace

// Without a sound card (this machine has none, so OpenAL's default backends
// cannot open a device) the game says so in one line and plays silent: no
// error from every voice on every frame, and a clean end when closed.
TEST_F(PlayersMachine, WithTheMachinesOwnSoundTheGamePlaysAndClosesCleanlyWithLittleOutput) {
    const bool deviceOpens = soundDeviceOpens();
    const std::string output = files.path("output.txt");
    e2e::GameProcess game(asPlayer(output, {"--fast"}));
    ASSERT_TRUE(game.started);
    // Thousands of frames of the title menu, music and all.
    playThenClose(game, 4);

    const std::string printed = readText(output);
    EXPECT_LT(printed.size(), 10u * 1024u) << printed.substr(0, 2000);
    EXPECT_EQ(count(printed, "no sound device: playing without sound"), deviceOpens ? 0 : 1) << printed;
    EXPECT_EQ(printed.find("OpenAL"), std::string::npos) << printed.substr(0, 2000);
    EXPECT_EQ(printed.find("ALSA lib"), std::string::npos) << printed.substr(0, 2000);
}

// The device goes away while the game runs: OpenAL's wave writer plays into
// a pipe whose reader stops after about a second of sound, so the next write
// fails and OpenAL marks the device lost. The game goes on silent after one
// line, and still ends cleanly.
TEST_F(PlayersMachine, ASoundDeviceLostWhileRunningLeavesTheGameRunningSilent) {
    const std::string pipe = files.path("device.pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string config = files.writeText("alsoft.conf", "[general]\ndrivers=wave\nfrequency=22050\n"
                                                              "channels=mono\nsample-type=int16\n"
                                                              "[wave]\nfile=" +
                                                                  pipe + "\n");
    // The game opens the device twice: once to ask whether sound works at
    // all (read to its end), then to play (read for about a second).
    // Bounded in time, so a reader whose writer never came does not linger.
    const std::string reader = "(timeout 60 cat '" + pipe + "'; timeout 60 head -c 44100 '" + pipe +
                               "') > /dev/null 2>&1 < /dev/null &";
    ASSERT_EQ(std::system(reader.c_str()), 0);

    const std::string output = files.path("output.txt");
    e2e::Launch launch = asPlayer(output);
    launch.environment = {"ALSOFT_CONF=" + config};
    e2e::GameProcess game(launch);
    ASSERT_TRUE(game.started);
    playThenClose(game, 6);

    const std::string printed = readText(output);
    EXPECT_EQ(count(printed, "sound device lost: playing without sound"), 1) << printed;
    EXPECT_EQ(printed.find("no sound device"), std::string::npos) << printed;
    EXPECT_LT(printed.size(), 10u * 1024u) << printed.substr(0, 2000);
}

// Content is found from the executable's place, not the working directory:
// from the repository's root and from "/", the built game reaches the arena;
// installed into a prefix with `cmake --install`, it does from another folder
// too, with a desktop entry and an icon; an installed copy whose content was
// taken away says in one line where it looked.
TEST_F(PlayersMachine, TheGameFindsItsContentFromAnyFolderBuiltOrInstalled) {
    const std::string built = std::string(VORLUNE_BINARY_DIR) + "/vorlune";
    expectArenaFrom(built, VORLUNE_SOURCE_DIR);
    expectArenaFrom(built, "/");

    const std::string prefix = files.path("prefix with space");
    const std::string install = std::string("'") + VORLUNE_CMAKE_COMMAND + "' --install '" +
                                VORLUNE_BINARY_DIR + "' --prefix '" + prefix + "' > '" +
                                files.path("install.txt") + "' 2>&1";
    ASSERT_EQ(std::system(install.c_str()), 0) << readText(files.path("install.txt"));
    const std::string installed = prefix + "/bin/vorlune";
    expectArenaFrom(installed, files.path());
    // The override is taken before the executable's own places.
    expectArenaFrom(installed, "/", {"VORLUNE_CONTENT=" + prefix + "/share/vorlune/assets"});

    const std::string entry = readText(prefix + "/share/applications/vorlune.desktop");
    EXPECT_NE(entry.find("Exec=\"" + installed + "\""), std::string::npos) << entry;
    const std::string icon = prefix + "/share/icons/hicolor/256x256/apps/vorlune.png";
    EXPECT_NE(entry.find("Icon=" + icon), std::string::npos) << entry;
    EXPECT_TRUE(fs::is_regular_file(icon));
    if (std::system("command -v desktop-file-validate > /dev/null") == 0) {
        EXPECT_EQ(std::system(
                      ("desktop-file-validate '" + prefix + "/share/applications/vorlune.desktop'").c_str()),
                  0);
    }

    // Content taken away, and a variable naming a folder that is not there:
    // each says in one line where it looked.
    fs::rename(prefix + "/share/vorlune/assets", prefix + "/share/vorlune/moved");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", prefix + "/share/vorlune/assets"},
        {"VORLUNE_CONTENT=" + files.path("nothing here"), files.path("nothing here")}};
    for (const auto& [variable, looked] : cases) {
        SCOPED_TRACE(variable);
        const std::string output = files.path("no-content.txt");
        e2e::Launch launch = asPlayer(output);
        if (!variable.empty()) {
            launch.environment = {variable};
        }
        launch.program = installed;
        launch.workingDirectory = "/";
        e2e::GameProcess game(launch);
        ASSERT_TRUE(game.started);
        expectExit(game, 1);
        const std::string printed = readText(output);
        EXPECT_EQ(count(printed, "\n"), 1) << printed;
        EXPECT_NE(printed.find("no game content found"), std::string::npos) << printed;
        EXPECT_NE(printed.find(looked), std::string::npos) << printed;
        EXPECT_NE(printed.find("VORLUNE_CONTENT"), std::string::npos) << printed;
    }
}

// F12 saves what the window shows into the desktop's pictures folder (from
// user-dirs.dirs), never over an earlier shot, and says where; a folder that
// cannot be made gives one line and the game goes on.
TEST_F(PlayersMachine, F12SavesTheWindowIntoThePicturesFolderAndSaysWhere) {
    const std::string home = files.path("home");
    files.writeText("home/.config/user-dirs.dirs",
                    "# written by the desktop\nXDG_PICTURES_DIR=\"$HOME/Shots\"\n");
    const std::string output = files.path("output.txt");
    e2e::Launch launch = asPlayer(output);
    launch.environment = {"HOME=" + home, "ALSOFT_DRIVERS=null"};
    launch.unset.push_back("XDG_CONFIG_HOME");
    launch.unset.push_back("XDG_PICTURES_DIR");
    e2e::GameProcess game(launch);
    ASSERT_TRUE(game.started);
    const auto window = e2e::waitForWindow(connection, "Vorlune", std::chrono::seconds(30));
    ASSERT_TRUE(window);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const std::string id = std::to_string(static_cast<unsigned long>(*window));
    // Each press is answered before the next (a loaded machine may take a while).
    const auto answered = [&](const std::string& what, int times) {
        for (int wait = 0; wait < 200 && count(readText(output), what) < times; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return count(readText(output), what) == times;
    };
    for (int shot = 1; shot <= 2; ++shot) {
        ASSERT_TRUE(e2e::xdotool("mousemove --window " + id + " 300 300 key F12"));
        ASSERT_TRUE(answered("screenshot saved to", shot)) << readText(output);
    }
    // Two files, each the whole window as drawn (not one colour).
    std::vector<std::string> shots;
    for (const auto& entry : fs::directory_iterator(home + "/Shots")) {
        shots.push_back(entry.path().string());
    }
    ASSERT_EQ(shots.size(), 2u);
    for (const std::string& shot : shots) {
        sf::Image picture;
        ASSERT_TRUE(picture.loadFromFile(shot)) << shot;
        EXPECT_EQ(picture.getSize(), sf::Vector2u(1920, 1080));
        EXPECT_NE(picture.getPixel(960, 200), picture.getPixel(960, 1000)) << shot;
    }
    // The folder replaced by a file: no shot can be saved.
    fs::remove_all(home + "/Shots");
    files.writeText("home/Shots", "not a folder");
    ASSERT_TRUE(e2e::xdotool("mousemove --window " + id + " 300 300 key F12"));
    EXPECT_TRUE(answered("Couldn't save the screenshot", 1)) << readText(output);
    e2e::requestClose(connection, *window);
    expectExit(game, 0);

    const std::string printed = readText(output);
    EXPECT_EQ(count(printed, "screenshot saved to " + home + "/Shots/vorlune-"), 2) << printed;
    EXPECT_EQ(count(printed, "Couldn't save the screenshot: cannot make the folder " + home + "/Shots"), 1)
        << printed;
}
