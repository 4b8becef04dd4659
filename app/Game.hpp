#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Window/Event.hpp>

#include "app/DebugView.hpp"
#include "app/LaunchOptions.hpp"
#include "app/ReplayViewer.hpp"
#include "app/SimulationGate.hpp"
#include "app/SyncTest.hpp"
#include "core/EventManager.hpp"

class InputBackend;
class ReplayKeyframes;
class ReplayReader;
class ReplayWriter;
struct ReplayKeyframe;

// The times the frame loop carries from one frame to the next (seconds).
// `run` keeps one of these as its local loop state.
struct FrameTimes {
    float elapsed = 0.0f;
    float physicsAccumulator = 0.0f;
    float frameAccumulator = 0.0f;
    float fixedTime = 0.0f;
    float drawTime = 0.0f;
};

// Where the last frame of `runFrame` spent its wall time (seconds): its fixed
// steps with their world steps, its update, and its drawing (0 when it drew
// nothing). Only measured, never fed back into the loop.
struct FrameCosts {
    float fixedSteps = 0.0f;
    float update = 0.0f;
    float draw = 0.0f;
    int stepCount = 0;
    bool drawn = false;
};

// The engine's application object: owns the window (the world, the GUI and
// the overlay are drawn into it in that order), runs the frame loop (fixed 1/60 s physics steps, capped
// drawing) and calls the engine's singletons in a fixed order each frame. A game derives from it and fills in
// the hooks.
class Game {
public:
    Game();
    virtual ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Start-up, the frame loop until the window closes, shutdown. False (at
    // once) when the window or its textures could not be created.
    bool run();
    // The same with the command line's options (see LaunchOptions), returning
    // the process's exit code. Every run starts the RandomSource from its
    // default seed (a replay: from the recorded one), so the same input gives
    // the same run; a replay ends the run after its last frame. Recording and
    // replaying cover the input actions registered by the end of `onInit`.
    // Exit codes: 0 after a normal run; 1 when the window could
    // not be created; 2 for a replay or recording file that cannot be used
    // (one line naming the file and the problem is printed, and a bad replay
    // is found before any window opens).
    int run(const LaunchOptions& launchOptions);
    // Reads the command line, then runs as above. A bad command line prints
    // one line (the problem and the usage) and gives 2 without starting anything.
    int runFromCommandLine(int argc, const char* const* argv);

    // Creates the window and textures, binds the managers, calls `onInit`.
    // False when the graphics context could not be set up.
    bool init();
    // One pass of the loop body. `frameDelta` is asked once per frame for the
    // seconds since the previous frame; `run` passes makeFrameDeltaSource().
    // While a replay plays, each frame first moves it to its next frame.
    void runFrame(FrameTimes& times, const std::function<float()>& frameDelta);
    // Where `run` takes its frame deltas, following `options`: the replay's
    // recorded deltas (paced to their real time unless fast), exactly one
    // fixed step per frame (fast), or the wall clock.
    std::function<float()> makeFrameDeltaSource();
    // Seconds until the loop has something to do: the next fixed step or
    // the next draw, whichever falls due first (0 when one is due already).
    // Read from the same accumulators that decide them in `runFrame`.
    float secondsUntilDue(const FrameTimes& times) const;
    // Whether `run` sleeps between frames until `secondsUntilDue`: only when
    // its deltas come from the wall clock (not in fast mode, not in a replay,
    // whose deltas pace themselves).
    bool waitsBetweenFrames() const;
    // The frame's first step after its window events: samples the input
    // actions (and records them), so that the fixed steps and the update of
    // the frame read the same input.
    void sampleInput(float delta);
    void update(float delta, float time);
    void fixedUpdate(float step, float time);
    // Whether the current state holds its world still (GameState::holdsWorld):
    // no fixed steps and no object updates then.
    static bool worldHeld();
    // Whether the current state's page has the keys (GameState::pageHasKeys).
    static bool pageHasKeys();
    // Draws the frame and hands it to the renderer without waiting for it:
    // the window shows it at the next `presentFrame` (the next `draw` calls
    // it first). A software renderer fills the frame on its own threads
    // meanwhile, so the next frame's steps run beside that work instead of
    // after it.
    void draw(float delta, float time);
    // Shows the frame handed over last, once the renderer has finished it;
    // nothing when it is shown already. `run` calls it before it sleeps, so
    // a frame waits only while the loop has work due at once.
    void presentFrame();
    void shutdown();

    // From the next frame on, writes every frame's delta, sampled input and
    // GUI events to the file, starting it with the RandomSource's seed (and
    // `start`, the game's word for where the run begins, when not empty). The
    // InputManager then samples axes once per frame. With a `start`, the fixed
    // steps start afresh with the recording's first frame (nothing of a step
    // begun before carries over), as they do in its replay. False, with one
    // line printed, when the file cannot be written (or, with `newOnly`, is
    // there already).
    bool startRecording(const std::string& path, const std::string& start = "", bool newOnly = false);
    // Whether a recording is being made.
    bool recording() const { return recorder != nullptr; }
    // Ends the recording with its end line. False, with one line printed, when
    // a write failed. Does nothing when not recording.
    bool finishRecording();
    // Plays the file in place of the devices from the next frame on: reseeds
    // the RandomSource with the recorded seed, puts a ReplayInputBackend on
    // the InputManager and takes the frame deltas from the file. False, with
    // one line printed, for a damaged file or one that does not fit this game
    // (another fixed step, other input actions); nothing is changed then.
    bool startReplay(const std::string& path);
    // Whether a replay is playing and has frames left.
    bool hasReplayFrames() const;
    // Watches the replay playing (see ReplayViewer): from the next pass on,
    // `runFrame` plays its frames at their pace as the viewer lets it, and
    // the run stays open at its end. `run` opens it for a replay shown at its
    // own speed (drawn, not fast, not a demo). False without a replay.
    bool openReplayViewer();
    // The viewer over the replay, else null.
    ReplayViewer* replayViewer() const { return viewer.get(); }
    // Watches a recording inside the running game (a match just played): the
    // next pass puts the game where the recording starts and plays it under
    // the viewer, with the recorded deltas. Escape leaves it at the start of
    // a pass: the replay goes, the input's backend is the one from before,
    // and `onReplayClosed` lets the game put itself back. False, with one
    // line printed, while a replay plays or a recording is made, and for a
    // file that cannot be played; nothing is changed then.
    bool watchRecording(const std::string& path);
    // Whether a replay is playing (also at its end, under the viewer).
    bool replaying() const { return replay != nullptr; }
    // Frames of the replay played so far (0 without one).
    size_t replayFramesPlayed() const;
    // The viewer's keyframes (null before its first frame or without a viewer).
    const ReplayKeyframes* replayKeyframes() const;
    // Hands the GUI an event at the start of the next frame, as if the window
    // had delivered it (a program pressing buttons, such as the demo): it is
    // recorded with that frame. While a replay plays, which brings the
    // recorded events instead, it reaches only the viewer (as a window's key
    // would).
    void queueGuiEvent(const sf::Event& event);
    // From the next pass on, the gate decides when the simulation advances
    // (see SimulationGate); empty gives the loop back its own clock. Observed:
    // the owner removes it before it goes.
    void setSimulationGate(SimulationGate* gate);
    SimulationGate* simulationGate() const { return gate; }

    virtual void onInit() {}
    virtual void onUpdate(float, float) {}
    virtual void onFixedUpdate(float, float) {}
    virtual void onDraw(float, float, sf::RenderTarget&) {}
    virtual void onShutdown() {}
    // A replay whose recording began somewhere else than at start-up (its
    // `start` line, not empty) is about to play its first frame: the game
    // puts itself where the recording began.
    virtual void onReplayStart(const std::string&) {}
    // The replay is played again from its start (a seek back): the game
    // puts itself as it was when start-up ended, before the replay's first
    // frame (the engine has reseeded the RandomSource and cleared the input's
    // states; `onReplayStart` follows for a recording that starts elsewhere).
    virtual void onReplayRewind() {}
    // A recording watched with `watchRecording` was left: the game puts
    // itself back where it was before (the engine has given the input its
    // devices again and released every action).
    virtual void onReplayClosed() {}

    sf::Sprite overlaySprite;
    // Keeps the shutdown listener registered; dropped when the window closes.
    std::shared_ptr<EventManager::EventKey> shutdownListenerKey;
    sf::RenderWindow window;
    uint32_t width = 1920;
    uint32_t height = 1080;
    std::string title = "Vorlune";
    // The window's icon, a content path (empty: the system's default).
    std::string iconPath;
    // Length of one physics step (seconds).
    float fixedDelta = 1.0f / 60.0f;
    // Shortest time between two drawn frames (seconds).
    float frameInterval = 1.0f / 60.0f;
    // The costs of the last frame that `runFrame` finished (during a frame,
    // its hooks see the previous frame's).
    FrameCosts lastFrameCosts;
    // What this run was asked on the command line; `run` sets it before
    // start-up, so `onInit` may read it. `noDraw` is read every frame.
    LaunchOptions options;

    // Where the picture (`width` x `height`) lies in the window now, as
    // fractions of it: the whole picture, scaled uniformly, with bars.
    const sf::FloatRect& pictureViewport() const { return pictureArea; }
    // A view of the whole picture in its own pixels, placed in that area.
    sf::View pictureView() const;
    // The event with its mouse position in the picture's pixels.
    sf::Event toPicture(const sf::Event& event) const;
    // Between fullscreen (the desktop's mode) and the window as it was.
    // False, with one line, when the new window could not be made (the old
    // one is made again then).
    bool toggleFullscreen();
    bool isFullscreen() const { return fullscreen; }
    // The window's size out of fullscreen: now, or as it was before it.
    sf::Vector2u windowedWindowSize() const { return fullscreen ? windowedSize : window.getSize(); }
    // Gives the windowed window this size, or the largest of its shape that
    // fits the desktop's work area with the window's frame, centred there.
    void resizeWindow(sf::Vector2u size);
    // What the window shows now, at its own size (the frame last drawn into
    // it). False when no texture of that size could be made.
    bool captureWindow(sf::Image& picture) const;
    // Shows one line at the foot of the picture for a few seconds.
    void showNotice(const std::string& text);
    // The line shown now ("" when none).
    std::string shownNotice() const { return noticeSeconds > 0.0f ? notice : std::string(); }

    // F3: collider outlines and a line of frame figures over the game.
    DebugView debugView;

private:
    // Makes the window, windowed at `size` or fullscreen, and gives it back
    // what SFML does not keep across a re-creation: icon, key repeat, cursor,
    // frame-rate limit, and the picture's place in it.
    bool openWindow(sf::Vector2u size, bool fullscreen);
    // F12: what the window shows now (the frame being drawn, before it is
    // displayed) into the pictures folder, said on screen and on the output.
    void takeScreenshot();
    void drawNotice(float delta);
    // A frame handed to the renderer and not yet shown (see `draw`).
    bool framePending = false;
    // The loop's wait between frames: shows the pending frame first, unless
    // there is no time to wait (then the next frame's work goes first).
    void sleepUntilDue(float seconds);
    // Puts the picture's area for the window's size. The loop compares the
    // size each frame rather than waiting for Resized: a resize made by the
    // program itself (setSize) brings no event on every system.
    void fitPicture();
    void pollWindowEvents();
    // The due fixed steps (the caller has added the frame's time to the
    // accumulator) and the frame's update for `delta`, with their costs.
    void simulate(FrameTimes& times, float delta, FrameCosts& costs);
    // Draws when more than one draw interval has gathered.
    void drawWhenDue(FrameTimes& times, float delta, FrameCosts& costs);
    // One pass while a gate decides (see SimulationGate).
    void runGatedFrame(FrameTimes& times, const std::function<float()>& frameDelta);
    // What the pads did since the last frame: presses to the input latch, a
    // pad taking a player to a note on screen, a player's pad going and
    // coming back to the game (as events, recorded), and while a page is
    // shown, a pad's d-pad and buttons to the GUI as the keys that work the
    // menus (arrows, Enter, Escape). During a replay only those keys, to
    // the viewer.
    void pollPads();
    // One live or queued window event: to the GUI, to the input latch, and
    // into the recording. `fromWindow`: the window delivered it (not a pad,
    // not the program itself).
    void giveEvent(const sf::Event& event, bool fromWindow = false);
    // A player's pad lost or back (see ReplayFormat.hpp) to the game, as a PadChangeEvent.
    static void notePadChange(const sf::Event& event);
    // Every `soundCheckInterval` frames: a sound device lost since start
    // makes the rest of the run silent, with one line.
    void watchSoundDevice();
    // Plays the loaded replay from the next frame on, after checking that it fits this game.
    bool installReplay(const std::shared_ptr<ReplayReader>& loaded);
    void stopReplay();
    // The recorded window events of the replay's current frame, to the GUI.
    void giveRecordedEvents();
    // The replay's next frame with its recorded events: undrawn at its
    // recorded delta for a seek or the look ahead (`pacedDelta` null), or
    // drawn at the delta the loop's clock gives, read after the advance.
    void playRecordedFrame(FrameTimes& times, const std::function<float()>* pacedDelta);
    // A frame's simulation and drawing for `delta`, after its events.
    void playFrame(FrameTimes& times, float delta);
    // One pass while the viewer is open: its keys, its seeks, then one
    // frame played or the still picture drawn again.
    void runViewerPass(FrameTimes& times, const std::function<float()>& frameDelta);
    // The recording as the viewer moves through it (see ReplayTimeline).
    class ViewerTimeline;
    std::unique_ptr<ReplayViewer> viewer;
    // The viewer's keyframes of the stay it plays in, and where its look
    // ahead stopped (see ReplayKeyframes); made with the first frame played.
    struct ViewerKeys;
    std::unique_ptr<ViewerKeys> viewerKeys;
    ViewerKeys& keys();
    // After a frame of the viewer's: its keyframe, when one is wanted.
    void noteKeyframe(const FrameTimes& times);
    // Puts the match, the loop's clock and the reader back as the keyframe
    // has them. False when the match could not be put back.
    bool restoreKeyframe(const ReplayKeyframe& key, FrameTimes& times);
    // A pass's look ahead: for a few milliseconds, plays on undrawn and
    // silent from the furthest point reached in this stay, keeping
    // keyframes, then puts back the frame shown (see ReplayKeyframes).
    void scoutAhead(const FrameTimes& times);
    // Frames played undrawn for a seek.
    bool seeking = false;
    // With --sync-test: the check after every frame, the input the frame
    // sampled, and while a frame is played again, the input it plays
    // instead of sampling (the game's own per-frame hook does not run then:
    // it follows the run, not the match).
    std::unique_ptr<SyncTest> syncTest;
    InputManager::SampledState frameInput;
    const InputManager::SampledState* replayedInput = nullptr;
    // Plays one frame again for the sync test.
    SyncTest::Clock playAgain(const SyncTest::Clock& clock, float delta,
                              const InputManager::SampledState& input);

    sf::FloatRect pictureArea{0.0f, 0.0f, 1.0f, 1.0f};
    // Read from `iconPath` by the first window.
    sf::Image icon;
    // The window size `pictureArea` was fitted to.
    sf::Vector2u fittedSize;
    bool fullscreen = false;
    bool fullscreenAsked = false;
    bool screenshotAsked = false;
    std::string notice;
    float noticeSeconds = 0.0f;
    // The window as it was before fullscreen.
    sf::Vector2u windowedSize;
    sf::Vector2i windowedPosition;
    static constexpr unsigned soundCheckInterval = 15;
    unsigned framesSinceSoundCheck = 0;
    std::shared_ptr<ReplayReader> replay;
    std::unique_ptr<ReplayWriter> recorder;
    // The events given to the GUI since the last recorded frame, kept for
    // the recording: a gated pass that steps nothing records no frame, and
    // its events (a pad lost meanwhile) go with the next frame that does.
    std::vector<sf::Event> frameEvents;
    // Events from queueGuiEvent, for the next frame.
    std::vector<sf::Event> queuedEvents;
    SimulationGate* gate = nullptr;
    // Wall time between gated passes, for drawing only.
    std::chrono::steady_clock::time_point lastGatedPass;
    // The last pass's delta (real time while a gate decides), for the pads' menu repeat.
    float lastDelta = 0.0f;
    // A recording watched inside the run (`watchRecording`): its first pass
    // starts it from its beginning, Escape asks to leave it, and the input's
    // backend from before comes back when it goes.
    bool watchedInRun = false;
    bool watchStartAsked = false;
    bool watchLeaveAsked = false;
    std::shared_ptr<InputBackend> backendBeforeReplay;
    void leaveWatchedRecording();
    // The viewer's keys from a window or queued event; Escape leaves a
    // recording watched inside the run.
    void giveViewerEvent(const sf::Event& event);
    // The frame deltas' source no longer fits (a replay came or went): `run`
    // makes a new one before the next pass.
    bool deltaSourceStale = false;
    // A recording that starts elsewhere than at start-up starts the fixed
    // steps afresh with its first frame, as its replay does.
    bool stepClockRestartAsked = false;
};
