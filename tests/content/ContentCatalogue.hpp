#pragma once
// The names and paths the game looks up in its content, gathered in one place
// so that a renamed file, frame, sound or widget fails the content suite with
// its name. Paths are relative to build/, where the tests run.

#include <string>
#include <utility>
#include <vector>

#include "game/GameContent.hpp"

namespace content {

struct Animation {
    std::string name;
    int frames;
};

// The character's animations, as the player controller builds them.
inline const std::vector<Animation>& animations() {
    static const std::vector<Animation> list = {{"idle", 30},      {"run", 30},      {"jump_idle", 15},
                                                {"run_start", 15}, {"run_stop", 15}, {"jump_run1", 15},
                                                {"fall", 16}};
    return list;
}

inline const std::vector<std::string>& frameLayers() {
    static const std::vector<std::string> list = {"color", "clothes1", "clothes2", "hair"};
    return list;
}

inline const std::vector<std::string>& atlases() {
    static const std::vector<std::string> list = {
        "../assets/PNG/Player/idle.xml",     "../assets/PNG/Player/fall.xml",
        "../assets/PNG/Player/run.xml",      "../assets/PNG/Player/jump_idle.xml",
        "../assets/PNG/Player/jump_run.xml", "../assets/PNG/Player/run_startup.xml"};
    return list;
}

// Sound names and files of the game's sound table, as the game registers them.
inline const std::vector<std::pair<std::string, std::string>>& sounds() {
    return gameSoundFiles();
}

// Loops repeat for as long as they play; everything else is a short effect.
inline bool isLoop(const std::string& name) {
    return name == "bg music" || name.rfind("music ", 0) == 0 || name == "ambient" || name == "magic";
}

inline const std::vector<std::string>& images() {
    static const std::vector<std::string> list = {
        "../assets/PNG/Player/hat_full.png", "../assets/PNG/Player/hat_strip.png",
        "../assets/beard_whole.png", "../assets/PNG/vfx/particle.png"};
    return list;
}

struct FormPage {
    std::string group;
    std::string file;
    std::vector<std::string> buttons;
    std::vector<std::string> sliders;
    std::vector<std::string> pictures;
};

// The menu pages, with every widget the game states connect to or read.
inline const std::vector<FormPage>& formPages() {
    static const std::vector<FormPage> list = {
        {"menu",
         "../assets/gui/Menu.txt",
         {"StartGame", "Online", "MenuOptions", "EndGame", "Credits"},
         {},
         {}},
        {"mOnline", "../assets/gui/Menu_Online.txt", {"Host", "Join", "Cancel", "BackMenu"}, {}, {}},
        {"mJoining", "../assets/gui/Menu_Joining.txt", {"Cancel"}, {}, {}},
        {"mArena",
         "../assets/gui/Menu_Arena.txt",
         {"Arena1", "Arena2", "Arena3", "RandomArena", "BackMenu"},
         {},
         {"Arena1Picture", "Arena2Picture", "Arena3Picture"}},
        {"credits", "../assets/gui/Credits.txt", {"BackMenu"}, {}, {}},
        {"mControls", "../assets/gui/Menu_Controls.txt", {"SwapPads"}, {}, {}},
        {"sound", "../assets/gui/Menu_Audio.txt", {}, {"GameSounds", "MusicVolume", "MasterVolume"}, {}},
        {"mGameplay", "../assets/gui/Menu_Gameplay.txt", {"Player2Mode", "Rumble"}, {}, {}},
        {"mGameplay2", "../assets/gui/Menu_Gameplay_Advanced.txt", {}, {}, {}},
        {"options",
         "../assets/gui/Menu_Options.txt",
         {"BackPause", "Controls", "Sound", "Gameplay", "Gameplay2"},
         {},
         {}},
        {"pause", "../assets/gui/PauseMenu.txt", {"Continue", "Controls", "Quit", "Menu"}, {}, {}},
        {"pauseControls", "../assets/gui/PauseMenu_Controls.txt", {"BackPause", "SwapPads"}, {}, {}},
        {"padLost", "../assets/gui/PadLost.txt", {"Keyboard"}, {}, {}},
        {"victory",
         "../assets/gui/Victory.txt",
         {"Continue", "Rematch", "Watch"},
         {},
         {"Player1won", "Player2won"}}};
    return list;
}

} // namespace content
