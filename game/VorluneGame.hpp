#pragma once

#include <cstdint>
#include <memory>
#include <set>

#include <SFML/Audio/Music.hpp>

#include "app/Game.hpp"
#include "core/EventManager.hpp"
#include "game/FrameRateLine.hpp"
#include "game/MatchRecordings.hpp"
#include "game/MusicMix.hpp"
#include "game/PlayerSetup.hpp"
#include "game/ReplayedMatch.hpp"
#include "game/demo/DemoRun.hpp"
#include "game/demo/SoakRun.hpp"
#include "game/online/OnlineMatch.hpp"
#include "game/settings/GameSettings.hpp"
#include "game/states/OnlineMenuActions.hpp"

// The arena brawler: two players on one map, flinging their beards.
//
// `onInit` loads and registers all content and settings by name (maps,
// character atlases, the particle texture, sounds, input bindings, the
// players' collision layers), creates the "Arena", "Menu" and "Victory"
// states, starts the music silent and enters "Menu". `onUpdate` writes the
// frame-rate line, restarts the current state on R, fades the music in over
// the first seconds and follows the music slider while the audio page is open.
// Content that is missing or damaged is reported in one line each; the game
// starts with what it has.
//
// Settings (volumes, player 2, lives, player 2's keyboard layout, bindings,
// rumble) are read at start from the settings folder (--config DIR, else the
// user's configuration folder) and written when they change and at exit; the
// pads' mapping file "gamecontrollerdb.txt" is read from there too.
//
// The launch options choose the players (--player2 computer) and start the
// demo (--demo), in which the computer plays both players through one match,
// or a soak (--soak FRAMES), in which it plays them match after match.
class VictoryState;

class VorluneGame : public Game {
public:
    VorluneGame() { iconPath = "../assets/gui/icon.png"; }
    void onInit() override;
    void onUpdate(float delta, float time) override;
    // The online status over the picture.
    void onDraw(float delta, float time, sf::RenderTarget& target) override;
    // A recording of an online match ("online lives=N"): the match starts
    // at once with those rules, and its checksums are followed as online.
    // A local match's ("local lives=N arena=KEY players=XY") starts the same
    // way; its players play as recorded, the computer's keys included.
    void onReplayStart(const std::string& start) override;
    // Back to the title menu as start-up left it, with the players as they
    // were then, and the replayed match not yet begun.
    void onReplayRewind() override;
    // The match watched from the victory screen was left: its victory
    // screen again, with the players, rules and random numbers as before.
    void onReplayClosed() override;
    // Writes the settings file if a setting changed.
    void onShutdown() override;

    // Full volumes of the music and the ambience (SFML's 0..100), before the
    // SoundManager's musicVolume factor is applied.
    float musicVolume = 30.0f;
    float ambientVolume = 30.0f;
    // Both tracks rise linearly from silence over this many seconds of frame
    // time after start-up.
    float fadeInTime = 2.0f;
    // The user's pad mappings (SDL's mapping lines), in the settings folder.
    static constexpr const char* padMappingFile = "gamecontrollerdb.txt";
    float fadeElapsed = 0.0f;
    // Empty when the track's file could not be opened. `musicTrack` is the
    // title's ("bg music"); a match plays its arena's, crossfaded by `music`.
    std::shared_ptr<sf::Music> musicTrack;
    std::shared_ptr<sf::Music> ambientTrack;
    MusicMix music;
    // Keeps the game-over listener registered for the program's lifetime.
    std::shared_ptr<EventManager::EventKey> gameOverListenerKey;
    // The winners named by this frame's game-over events, until the match's
    // end is decided after all of them were delivered.
    std::set<int32_t> namedWinners;

    FrameRateLine frameRateLine;
    // Who plays each player; shared with the menu and the arena.
    std::shared_ptr<PlayerSetup> playerSetup = std::make_shared<PlayerSetup>();
    // The settings kept between runs. Runs that must play the same on every
    // machine (demo, soak, recording, replay) neither read nor write them.
    GameSettings settings;
    // The running demo (--demo), else empty.
    std::unique_ptr<DemoRun> demo;

    // The running soak (--soak), else empty.
    std::unique_ptr<SoakRun> soak;

    // Online play (--host, --join or the menu's "Online" page), else empty.
    std::unique_ptr<OnlineMatch> online;
    // Starts online play; false with one line printed when the port cannot be
    // opened. Any session before is closed.
    bool startOnline(bool hosting, const std::string& address, uint16_t port);

    // Whether a demo ran and failed to finish its match, a soak found a
    // problem, the online demo's match was cut short, or a replay ended
    // before the frame --until asked for.
    bool demoFailed() const {
        return (demo && demo->failed()) || (soak && soak->failed()) || (online && online->demoFailed()) ||
               onlineStartFailed || onlineDemoFailed || untilMissed;
    }

    // Every local match of a run played by people (not a demo, a soak, a
    // replay or a run recorded with --record) is recorded from its start, so
    // that its victory screen can show it again ("Watch the replay").
    MatchRecordings matchRecordings;

private:
    // Player 2's layout goes to the controls page.
    void createStates(Player2Keys player2Keys);
    // Composes players' animation frames for about `menuPreparationTime`
    // while the title menu shows (none while the next atlas is still being
    // read on its own thread).
    void prepareAnimationFrames();
    static constexpr float menuPreparationTime = 0.006f;
    // The menu's and the victory screen's way to online play.
    std::shared_ptr<const OnlineMenuActions> makeOnlineActions();
    // Playing back a recording: its match followed frame by frame; with
    // --until the run ends at that frame. The end of an online match's
    // recording (`replayingMatch`) is printed when the run ends.
    void followReplayedMatch();
    ReplayedMatch replayedMatch;
    // Who played what when start-up ended, for a replay played again.
    PlayerSetup setupAtStart;
    bool replayingMatch = false;
    // The frame --until asked for was not reached: reported at the end.
    bool untilMissed = false;
    bool onlineStartFailed = false;
    std::string onlineProblem;
    // Kept from the online demo once the session is gone at shutdown.
    bool onlineDemoFailed = false;
    // After this frame's game-over events: one winner ends the match on the
    // victory screen; both players out at once is a draw, played off as
    // sudden death (one life each, the match goes on).
    void endMatch(VictoryState& victory);
    // At every entry into the arena: a local match gets its own seed (drawn
    // from the run's numbers) and a recording that starts with it.
    void beginMatchRecording();
    // Closes the match's recording; `complete`: its match ended with a winner.
    void endMatchRecording(bool complete);
    bool recordsMatches() const;
    bool matchRecordingOn = false;
    // Plays the last match's recording under the viewer.
    void watchLastMatch();
    // What the victory screen was when its match's replay was opened.
    struct BeforeWatching {
        PlayerSetup setup;
        int32_t winner = 1;
        uint32_t seed = 0;
    };
    BeforeWatching beforeWatching;
    std::shared_ptr<VictoryState> victoryState;
    void updateMusicVolume(float delta);
    void setTrackVolumes(float factor);
};
