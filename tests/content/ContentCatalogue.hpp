#pragma once
// The names and paths the game looks up in its content, gathered in one place
// so that a renamed file, frame, sound or widget fails the content suite with
// its name. Paths are relative to build/, where the tests run.

#include <string>
#include <utility>
#include <vector>

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

// Sound names and files of the game's sound table.
inline const std::vector<std::pair<std::string, std::string>>& sounds() {
    static const std::vector<std::pair<std::string, std::string>> list = {
        {"bg music", "../assets/sfx/music/Floating Isles.wav"},
        {"ambient", "../assets/sfx/Light wind 1.wav"},
        {"footstep1", "../assets/sfx/Stone footstep 1.wav"},
        {"footstep2", "../assets/sfx/Stone footstep 4.wav"},
        {"footstep3", "../assets/sfx/Stone footstep 5.wav"},
        {"slash1", "../assets/sfx/Arm Swing, Whoosh 7.wav"},
        {"slash2", "../assets/sfx/Arm Swing, Whoosh 8.wav"},
        {"slash3", "../assets/sfx/Arm Swing, Whoosh 13.wav"},
        {"slash4", "../assets/sfx/Arm Swing, Whoosh 14.wav"},
        {"groundHit1", "../assets/sfx/Earth Punch 3.wav"},
        {"groundHit2", "../assets/sfx/Earth Punch 4.wav"},
        {"playerHit1", "../assets/sfx/Heavy punch 17.wav"},
        {"playerHit2", "../assets/sfx/Heavy punch 18.wav"},
        {"playerHit3", "../assets/sfx/Heavy punch 19.wav"},
        {"magic", "../assets/sfx/Magical Ambiance Loop 5.wav"},
        {"beardCut1", "../assets/sfx/Needle piercing flesh 1.wav"},
        {"beardCut2", "../assets/sfx/Needle piercing flesh 1.wav"},
        {"jump1", "../assets/sfx/Jump 1.wav"},
        {"jump2", "../assets/sfx/Jump 5.wav"},
        {"hover", "../assets/sfx/Hover over button sound 5.wav"},
        {"click", "../assets/sfx/Click sounds 36.wav"},
        {"death", "../assets/sfx/Debuff 12.wav"},
        {"respawn", "../assets/sfx/Buff 8.wav"}};
    return list;
}

// Loops repeat for as long as they play; everything else is a short effect.
inline bool isLoop(const std::string& name) {
    return name == "bg music" || name == "ambient" || name == "magic";
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
        {"menu", "../assets/gui/Menu.txt", {"StartGame", "MenuOptions", "EndGame", "Credits"}, {}, {}},
        {"credits", "../assets/gui/Credits.txt", {"BackMenu"}, {}, {}},
        {"mControls", "../assets/gui/Menu_Controls.txt", {}, {}, {}},
        {"sound", "../assets/gui/Menu_Audio.txt", {}, {"GameSounds", "MusicVolume", "MasterVolume"}, {}},
        {"mGameplay", "../assets/gui/Menu_Gameplay.txt", {}, {}, {}},
        {"mGameplay2", "../assets/gui/Menu_Gameplay_Advanced.txt", {}, {}, {}},
        {"options",
         "../assets/gui/Menu_Options.txt",
         {"BackPause", "Controls", "Sound", "Gameplay", "Gameplay2"},
         {},
         {}},
        {"pause", "../assets/gui/PauseMenu.txt", {"Continue", "Controls", "Quit", "Menu"}, {}, {}},
        {"pauseControls", "../assets/gui/PauseMenu_Controls.txt", {"BackPause"}, {}, {}},
        {"victory", "../assets/gui/Victory.txt", {"Continue"}, {}, {"Player1won", "Player2won"}}};
    return list;
}

} // namespace content
