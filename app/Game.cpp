#include "app/Game.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>

#include <SFML/OpenGL.hpp>
#include <SFML/System/Clock.hpp>
#include <SFML/System/Sleep.hpp>
#include <SFML/Window/Event.hpp>

#include "app/Desktop.hpp"
#include "app/Engine.hpp"
#include "app/GuiManager.hpp"
#include "app/LargeAllocations.hpp"
#include "app/ReplayKeyframes.hpp"
#include "app/ScoutQuiet.hpp"
#include "app/WindowFit.hpp"
#include "audio/SoundDevice.hpp"
#include "audio/SoundManager.hpp"
#include "core/Console.hpp"
#include "core/ContentRoot.hpp"
#include "core/RandomSource.hpp"
#include "core/Report.hpp"
#include "core/StateManager.hpp"
#include "core/input/InputManager.hpp"
#include "core/replay/ReplayInputBackend.hpp"
#include "core/replay/ReplayReader.hpp"
#include "core/replay/ReplayWriter.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"
#include "widgets/ResourceCache.hpp"

Game::Game() {
    connectEngine();
}
Game::~Game() = default;

bool Game::run() {
    return run(LaunchOptions()) == 0;
}

int Game::runFromCommandLine(int argc, const char* const* argv) {
    LaunchOptions parsed;
    if (!readCommandLine(argc, argv, parsed)) {
        return 2;
    }
    return run(parsed);
}

int Game::run(const LaunchOptions& launchOptions) {
    options = launchOptions;
    if (options.drawRate > 0) {
        frameInterval = 1.0f / static_cast<float>(options.drawRate);
    }
    // A bad replay is found before any window opens; its seed must be in
    // place before start-up, which may already draw random numbers.
    std::shared_ptr<ReplayReader> loaded;
    if (!options.replayPath.empty()) {
        loaded = std::make_shared<ReplayReader>();
        std::string problem;
        if (!loaded->load(options.replayPath, problem)) {
            reportProblem("%s", problem.c_str());
            return 2;
        }
    }
    // Every run starts the same sequence; a replay the one it was recorded with.
    RandomSource::instance().seed(loaded ? loaded->getHeader().seed : RandomSource::defaultSeed);
    if (!init()) {
        return 1;
    }
    // The input actions exist only once the game's start-up has registered them.
    // An online run records its matches, each from its own start.
    if ((loaded && !installReplay(loaded)) ||
        (!options.recordPath.empty() && !options.online() && !startRecording(options.recordPath))) {
        window.close();
        shutdown();
        stopReplay();
        return 2;
    }
    if (loaded && !loaded->getHeader().start.empty()) {
        onReplayStart(loaded->getHeader().start);
    }
    if (options.syncTestDepth > 0) {
        syncTest = std::make_unique<SyncTest>(options.syncTestDepth);
        // A frame played again must read the axes the first playing read,
        // not the devices as they are by then.
        InputManager::instance().sampleAxesPerFrame = true;
    }
    if (loaded && !options.fast && !options.noDraw && !options.demo && options.recordPath.empty() &&
        !syncTest) {
        openReplayViewer();
    }
    FrameTimes times;
    auto frameDelta = makeFrameDeltaSource();
    bool waits = waitsBetweenFrames();
    unsigned long framesRun = 0;
    while (window.isOpen()) {
        if (deltaSourceStale) {
            deltaSourceStale = false;
            frameDelta = makeFrameDeltaSource();
            waits = waitsBetweenFrames();
        }
        // A replay that has played its last frame ends the run, and so does
        // the frame limit of the command line.
        // One watched in the viewer stays open at its end.
        if ((replay && !replay->hasNextFrame() && !viewer) ||
            (options.frameLimit != 0 && framesRun == options.frameLimit)) {
            window.close();
            break;
        }
        runFrame(times, frameDelta);
        watchSoundDevice();
        // A frame with nothing due would only poll and update again: the
        // time slept is simply part of the next frame's delta, so the
        // steps and draws come out as they would without the wait.
        if (gate && window.isOpen()) {
            // A gate paces the frames (or waits for the network) itself;
            // drawing keeps its own interval meanwhile.
            const float untilDraw =
                options.noDraw ? gate->secondsUntilDue() : frameInterval - times.frameAccumulator;
            sleepUntilDue(std::max(0.0f, std::min(gate->secondsUntilDue(), untilDraw)));
        } else if (viewer && viewer->isPaused() && window.isOpen()) {
            sleepUntilDue(frameInterval);
        } else if (waits && window.isOpen()) {
            sleepUntilDue(secondsUntilDue(times));
        }
        ++framesRun;
    }
    shutdown();
    stopReplay();
    const bool recorded = finishRecording();
    if (syncTest) {
        Console::standardOutput().writeLines("sync test: " + std::to_string(syncTest->framesChecked()) +
                                             " frames, " + std::to_string(syncTest->framesReplayed()) +
                                             " re-simulated, " + std::to_string(syncTest->mismatches()) +
                                             " mismatches\n");
        if (syncTest->mismatches() != 0) {
            return 1;
        }
    }
    return recorded ? 0 : 2;
}

std::function<float()> Game::makeFrameDeltaSource() {
    if (replay && viewer) {
        // The viewer keeps the pace: it starts it anew after a pause or a seek.
        return [this] {
            const float delta = replay ? replay->getDelta() : 0.0f;
            const float ahead = viewer ? viewer->secondsAhead(delta) : 0.0f;
            if (ahead > 0.0f) {
                presentFrame();
                sf::sleep(sf::seconds(ahead));
            }
            return delta;
        };
    }
    if (replay) {
        if (options.fast) {
            return [this] { return replay ? replay->getDelta() : 0.0f; };
        }
        // Played at the speed it was recorded: wait until the wall clock has
        // caught up with the recorded time. The deltas themselves are always
        // the recorded ones.
        auto clock = std::make_shared<sf::Clock>();
        auto recordedTime = std::make_shared<double>(0.0);
        return [this, clock, recordedTime] {
            const float delta = replay ? replay->getDelta() : 0.0f;
            *recordedTime += delta;
            const double ahead = *recordedTime - clock->getElapsedTime().asSeconds();
            if (ahead > 0.0) {
                presentFrame();
                sf::sleep(sf::seconds(static_cast<float>(ahead)));
            }
            return delta;
        };
    }
    if (options.fast) {
        return [this] { return fixedDelta; };
    }
    // Each game measures from its own start: a clock shared by every game of
    // the process would hand a later game the time since the last one ran.
    return [clock = sf::Clock()]() mutable { return clock.restart().asSeconds(); };
}

void Game::sleepUntilDue(float seconds) {
    if (seconds <= 0.0f) {
        // Behind: the frame drawn last is shown at the next draw, after the
        // next steps ran beside the renderer's work on it.
        return;
    }
    // With time to spare the frame is shown now, as soon as it is ready.
    presentFrame();
    sf::sleep(sf::seconds(seconds));
}

float Game::secondsUntilDue(const FrameTimes& times) const {
    const float untilStep = fixedDelta - times.physicsAccumulator;
    // A draw needs strictly more than one interval; the sleep's own
    // lateness carries it past.
    const float untilDraw = frameInterval - times.frameAccumulator;
    return std::max(0.0f, std::min(untilStep, untilDraw));
}

bool Game::waitsBetweenFrames() const {
    return !options.fast && !replay;
}

bool Game::startRecording(const std::string& path, const std::string& start, bool newOnly) {
    auto writer = std::make_unique<ReplayWriter>();
    std::string problem;
    if (!writer->open(path, InputManager::instance(), RandomSource::instance().getSeed(), fixedDelta, start,
                      problem, newOnly ? ReplayWriter::Creation::newOnly : ReplayWriter::Creation::replace)) {
        reportProblem("%s", problem.c_str());
        return false;
    }
    recorder = std::move(writer);
    frameEvents.clear();
    stepClockRestartAsked = !start.empty();
    // What the game reads from an axis during a frame must be what is recorded for it.
    InputManager::instance().sampleAxesPerFrame = true;
    return true;
}

bool Game::finishRecording() {
    if (!recorder) {
        return true;
    }
    std::string problem;
    const bool written = recorder->finish(problem);
    recorder.reset();
    frameEvents.clear();
    if (!replay && !syncTest) {
        InputManager::instance().sampleAxesPerFrame = false;
    }
    if (!written) {
        reportProblem("%s", problem.c_str());
    }
    return written;
}

bool Game::startReplay(const std::string& path) {
    auto loaded = std::make_shared<ReplayReader>();
    std::string problem;
    if (!loaded->load(path, problem)) {
        reportProblem("%s", problem.c_str());
        return false;
    }
    if (!installReplay(loaded)) {
        return false;
    }
    RandomSource::instance().seed(loaded->getHeader().seed);
    return true;
}

bool Game::installReplay(const std::shared_ptr<ReplayReader>& loaded) {
    auto& input = InputManager::instance();
    std::string problem;
    if (!loaded->matches(input, fixedDelta, problem)) {
        reportProblem("%s", problem.c_str());
        return false;
    }
    replay = loaded;
    input.setBackend(std::make_shared<ReplayInputBackend>(replay));
    input.sampleAxesPerFrame = true;
    return true;
}

void Game::stopReplay() {
    if (!replay) {
        return;
    }
    viewer.reset();
    viewerKeys.reset();
    replay.reset();
    auto& input = InputManager::instance();
    input.setBackend(std::move(backendBeforeReplay));
    backendBeforeReplay.reset();
    // A sync test plays frames again from the axes they sampled.
    input.sampleAxesPerFrame = recorder != nullptr || syncTest != nullptr;
}

bool Game::watchRecording(const std::string& path) {
    if (replay || recorder) {
        reportProblem("Replay: %s cannot be watched while a %s", path.c_str(),
                      replay ? "replay plays" : "recording is made");
        return false;
    }
    auto loaded = std::make_shared<ReplayReader>();
    std::string problem;
    if (!loaded->load(path, problem)) {
        reportProblem("%s", problem.c_str());
        return false;
    }
    auto before = InputManager::instance().getBackend();
    if (!installReplay(loaded)) {
        return false;
    }
    backendBeforeReplay = std::move(before);
    openReplayViewer();
    watchedInRun = true;
    watchStartAsked = true;
    watchLeaveAsked = false;
    deltaSourceStale = true;
    return true;
}

void Game::leaveWatchedRecording() {
    watchedInRun = false;
    watchLeaveAsked = false;
    stopReplay();
    InputManager::instance().releaseAll();
    queuedEvents.clear();
    frameEvents.clear();
    deltaSourceStale = true;
    onReplayClosed();
}

void Game::giveViewerEvent(const sf::Event& event) {
    if (!viewer) {
        return;
    }
    viewer->handleEvent(event, {width, height});
    if (watchedInRun && event.type == sf::Event::KeyPressed && event.key.code == sf::Keyboard::Escape) {
        watchLeaveAsked = true;
    }
}

bool Game::hasReplayFrames() const {
    return replay && replay->hasNextFrame();
}

bool Game::openReplayViewer() {
    if (!replay) {
        return false;
    }
    viewer = std::make_unique<ReplayViewer>(replay->frameCount(), fixedDelta);
    return true;
}

size_t Game::replayFramesPlayed() const {
    return replay ? replay->framesPlayed() : 0;
}

namespace {
// A keyframe a second: a seek plays at most a second of the match undrawn.
constexpr size_t keyframeInterval = 60;
// Past this the keyframes thin out (a five-minute match keeps well under it).
constexpr size_t keyframeBytes = 96u << 20;
// A pass's look ahead plays frames for this long at most (plus one frame,
// and the save and restore of the frame shown around it).
constexpr auto scoutBudget = std::chrono::microseconds(3000);
} // namespace

struct Game::ViewerKeys {
    ReplayKeyframes kept{keyframeInterval, keyframeBytes};
    // The frame shown, while the look ahead plays.
    ReplayKeyframe shown;
    // Where the look ahead stopped, to go on from in the next pass.
    ReplayKeyframe cursor;
    bool cursorKept = false;
    unsigned long cursorStay = 0;

    // Lets go of the look ahead's states (and the objects they hold).
    void forgetLookAhead() {
        cursorKept = false;
        cursor.match = MatchSnapshot();
        shown.match = MatchSnapshot();
    }
};

Game::ViewerKeys& Game::keys() {
    if (!viewerKeys) {
        viewerKeys = std::make_unique<ViewerKeys>();
    }
    return *viewerKeys;
}

const ReplayKeyframes* Game::replayKeyframes() const {
    return viewerKeys ? &viewerKeys->kept : nullptr;
}

void Game::noteKeyframe(const FrameTimes& times) {
    auto& keys = this->keys();
    auto& kept = keys.kept;
    const unsigned long stay = StateManager::instance().entries;
    const size_t frame = replay->framesPlayed();
    if (kept.keepStay(stay)) {
        // Nor are the look ahead's states of the stay left kept.
        keys.forgetLookAhead();
    }
    // The GUI's pages are not in a match snapshot, and a page shown (a menu,
    // the pause page) takes the recorded clicks and keys: a keyframe is a
    // frame without one, put back without one.
    if (!kept.wanted(frame, stay) || GuiManager::instance().anyVisible()) {
        return;
    }
    ReplayKeyframe& key = kept.add(frame, stay);
    saveMatch(key.match);
    key.times = times;
    kept.added();
}

bool Game::restoreKeyframe(const ReplayKeyframe& key, FrameTimes& times) {
    GuiManager::instance().hideAll();
    if (!restoreMatch(key.match)) {
        return false;
    }
    times = key.times;
    replay->seek(key.frame);
    queuedEvents.clear();
    frameEvents.clear();
    return true;
}

class Game::ViewerTimeline : public ReplayTimeline {
public:
    ViewerTimeline(Game& game, FrameTimes& times) : game(game), times(times) {}

    size_t playedFrames() const override { return game.replay->framesPlayed(); }

    void jumpNear(size_t frame) override {
        const size_t played = playedFrames();
        const unsigned long stay = StateManager::instance().entries;
        auto& keys = game.keys();
        const ReplayKeyframe* key = keys.kept.latestAtOrBefore(frame, stay);
        // Where the look ahead stopped is a state of this stay as good as a keyframe.
        if (keys.cursorKept && keys.cursorStay == stay && keys.cursor.frame <= frame &&
            (!key || keys.cursor.frame > key->frame)) {
            key = &keys.cursor;
        }
        if (key && (frame < played || key->frame > played)) {
            if (game.restoreKeyframe(*key, times)) {
                return;
            }
            rewind();
            return;
        }
        if (frame < played) {
            rewind();
        }
    }

    bool playUndrawn() override {
        if (!game.replay->hasNextFrame()) {
            return false;
        }
        game.playRecordedFrame(times, nullptr);
        game.noteKeyframe(times);
        return true;
    }

    // Back before the recording's first frame: every keyframe kept lies in a
    // stay that ends here.
    void rewind() {
        auto& keys = game.keys();
        keys.kept.clear();
        keys.forgetLookAhead();
        game.replay->rewind();
        times = FrameTimes();
        game.queuedEvents.clear();
        game.frameEvents.clear();
        InputManager::instance().releaseAll();
        const auto& header = game.replay->getHeader();
        RandomSource::instance().seed(header.seed);
        game.onReplayRewind();
        if (!header.start.empty()) {
            game.onReplayStart(header.start);
        }
    }

private:
    Game& game;
    FrameTimes& times;
};

void Game::scoutAhead(const FrameTimes& times) {
    auto& states = StateManager::instance();
    const unsigned long stay = states.entries;
    auto& keys = this->keys();
    // A page shown could not be put back after the look ahead (see noteKeyframe).
    if (keys.kept.stayEnded(stay) || GuiManager::instance().anyVisible()) {
        return;
    }
    // From the furthest point this stay has reached: the look ahead's own
    // last stop, the furthest keyframe, or the frame shown.
    const size_t here = replay->framesPlayed();
    const ReplayKeyframe* from = keys.kept.furthest(stay);
    if (keys.cursorKept && keys.cursorStay == stay && (!from || keys.cursor.frame > from->frame)) {
        from = &keys.cursor;
    }
    if (from && from->frame <= here) {
        from = nullptr;
    }
    if ((from ? from->frame : here) >= replay->frameCount()) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + scoutBudget;
    // The pads' menu repeat and the debug view read the frame shown.
    const float deltaShown = lastDelta;
    const FrameCosts costsShown = lastFrameCosts;
    saveMatch(keys.shown.match);
    keys.shown.times = times;
    keys.shown.frame = here;
    ScoutQuiet quiet;
    FrameTimes scoutTimes = times;
    if (from && !restoreKeyframe(*from, scoutTimes)) {
        // Nothing is left to go on from: the stay is played as it comes.
        keys.kept.endStayAt(here, stay);
        FrameTimes back;
        restoreKeyframe(keys.shown, back);
        return;
    }
    states.switchesHeld = true;
    bool ended = false;
    while (replay->hasNextFrame()) {
        playRecordedFrame(scoutTimes, nullptr);
        if (!states.heldSwitch.empty()) {
            // The frame leaves the stay: the look ahead ends before it.
            keys.kept.endStayAt(replay->framesPlayed() - 1, stay);
            ended = true;
            break;
        }
        noteKeyframe(scoutTimes);
        if (std::chrono::steady_clock::now() >= deadline) {
            break;
        }
    }
    states.switchesHeld = false;
    states.heldSwitch.clear();
    if (!ended && !GuiManager::instance().anyVisible()) {
        saveMatch(keys.cursor.match);
        keys.cursor.times = scoutTimes;
        keys.cursor.frame = replay->framesPlayed();
        keys.cursorKept = true;
        keys.cursorStay = stay;
    }
    FrameTimes back;
    restoreKeyframe(keys.shown, back);
    lastDelta = deltaShown;
    lastFrameCosts = costsShown;
}

void Game::queueGuiEvent(const sf::Event& event) {
    queuedEvents.push_back(event);
}

bool Game::init() {
    returnLargeAllocationsWhenFreed();
    const sf::Vector2u size = windowSizeOn(readDesktop(0), {width, height});
    if (!openWindow(size, false)) {
        return false;
    }
    resizeWindow({width, height});
    auto& overlayTexture = RenderManager::instance().overlayTexture;
    if (!overlayTexture.create(width, height)) {
        reportProblem("Couldn't create the %ux%u overlay texture", width, height);
        window.close();
        return false;
    }
    overlayTexture.setSmooth(true);
    overlaySprite.setTexture(overlayTexture.getTexture(), true);

    // Asked once, before the game loads a sound: without a device every
    // sound call would fail, and be reported, on every frame.
    if (!soundDeviceOpens()) {
        SoundManager::instance().silent = true;
        reportProblem("no sound device: playing without sound");
    }

    // The widgets' font is content like any other.
    widgets::ResourceCache::setFontPath(contentPath("../assets/fonts/DejaVuSans.ttf"));

    // An empty world until a state makes its own.
    PhysicsManager::instance().createWorld(0.0f, 0.0f, 100.0f);

    InputManager::instance().window = &window;
    GuiManager::instance().setWindow(window, {width, height});
    fitPicture();

    shutdownListenerKey = EventManager::instance().addListener([this](std::shared_ptr<GameEvent> event) {
        if (std::dynamic_pointer_cast<ShutdownEvent>(event)) {
            window.close();
            shutdownListenerKey.reset();
        }
    });

    onInit();
    return true;
}

void Game::watchSoundDevice() {
    auto& sounds = SoundManager::instance();
    if (sounds.silent || ++framesSinceSoundCheck < soundCheckInterval) {
        return;
    }
    framesSinceSoundCheck = 0;
    if (!soundDeviceConnected()) {
        sounds.playSilent();
        reportProblem("sound device lost: playing without sound");
    }
}

void Game::pollWindowEvents() {
    sf::Event windowEvent;
    while (window.pollEvent(windowEvent)) {
        const sf::Event event = toPicture(windowEvent);
        if (event.type == sf::Event::KeyPressed) {
            const auto key = event.key.code;
            fullscreenAsked |= key == sf::Keyboard::F11 || (key == sf::Keyboard::Enter && event.key.alt);
            screenshotAsked |= key == sf::Keyboard::F12;
            if (key == sf::Keyboard::F3) {
                debugView.toggle();
            }
        }
        giveViewerEvent(event);
        // During a replay the GUI gets the recorded events instead: a person
        // moving the mouse over the window must not change what plays.
        if (!replay) {
            giveEvent(event, true);
        } else if (event.type == sf::Event::LostFocus || event.type == sf::Event::GainedFocus) {
            // The focus is the window's own, also while a replay plays (the
            // input manager hears it through the GUI's events otherwise): the
            // devices are read again when the replay is over.
            InputManager::instance().setWindowFocused(event.type == sf::Event::GainedFocus);
        }
        // Closing does not cut the frame short: the loop ends at its open test.
        if (event.type == sf::Event::Closed) {
            window.close();
        }
    }
    pollPads();
    // Queued events come after the window's, as the last ones of the frame.
    // While a replay plays they can only work the viewer.
    for (const auto& queued : queuedEvents) {
        if (!replay) {
            giveEvent(queued);
        } else {
            giveViewerEvent(queued);
        }
    }
    queuedEvents.clear();
    if (fullscreenAsked) {
        fullscreenAsked = false;
        toggleFullscreen();
    }
    if (window.getSize() != fittedSize) {
        fitPicture();
    }
    // An undrawn run still draws the one frame a screenshot was asked for.
    if (screenshotAsked && options.noDraw && window.isOpen()) {
        draw(0.0f, 0.0f);
    }
}

void Game::giveRecordedEvents() {
    if (!replay) {
        return;
    }
    for (const auto& recorded : replay->getEvents()) {
        auto& gui = GuiManager::instance();
        if (!gui.captures(recorded)) {
            gui.handleEvent(recorded);
        }
        notePadChange(recorded);
        if (recorder) {
            frameEvents.push_back(recorded);
        }
    }
}

void Game::giveEvent(const sf::Event& event, bool fromWindow) {
    if (recorder) {
        frameEvents.push_back(event);
    }
    auto& gui = GuiManager::instance();
    if (gui.captures(event)) {
        return;
    }
    // The GUI sees every event first; button handlers run here.
    gui.handleEvent(event);
    // Presses between two frames are latched for the next sampling. A press
    // the window reports while it has not got the focus (a system sending
    // the keys to the window under the pointer) was meant for another; the
    // pads' and the program's own events are no window's.
    auto& input = InputManager::instance();
    const bool press = event.type == sf::Event::KeyPressed || event.type == sf::Event::MouseButtonPressed;
    if (!fromWindow || !press || input.isWindowFocused()) {
        input.handleEvent(event);
    }
    notePadChange(event);
}

void Game::sampleInput(float delta) {
    auto& input = InputManager::instance();
    input.update();
    if (recorder) {
        recorder->writeFrame(delta, input, frameEvents);
    }
    frameEvents.clear();
}

void Game::runFrame(FrameTimes& times, const std::function<float()>& frameDelta) {
    if (viewer) {
        runViewerPass(times, frameDelta);
        return;
    }
    if (replay) {
        replay->advance();
    }
    pollWindowEvents();
    giveRecordedEvents();
    // A page has the keys from the frame it opens to the frame it closes:
    // told after the events (a button may have closed it) before anything
    // reads the frame's input (a gate reads this player's first), and after
    // the frame's update (Escape opens and closes pages there), so that a
    // key pressed after that belongs to what is shown.
    auto& input = InputManager::instance();
    input.setPageOpen(pageHasKeys());
    if (gate) {
        runGatedFrame(times, frameDelta);
        input.setPageOpen(pageHasKeys());
        return;
    }

    playFrame(times, frameDelta());
}

void Game::runViewerPass(FrameTimes& times, const std::function<float()>& frameDelta) {
    pollWindowEvents();
    if (watchLeaveAsked) {
        leaveWatchedRecording();
        return;
    }
    ViewerTimeline timeline(*this, times);
    // A recording watched inside the run starts where it was recorded, as a
    // seek back to its start puts it.
    if (watchStartAsked) {
        watchStartAsked = false;
        timeline.rewind();
    }
    if (viewer->beginPass(timeline)) {
        playRecordedFrame(times, &frameDelta);
        noteKeyframe(times);
    } else {
        // A still picture, drawn again for the bar; a notice's time (a
        // screenshot's) runs on meanwhile.
        noticeSeconds -= frameInterval;
        if (!options.noDraw && window.isOpen()) {
            draw(0.0f, times.drawTime);
        }
    }
    // The rest of the pass looks ahead, while the renderer works on the
    // frame handed over.
    scoutAhead(times);
}

void Game::playRecordedFrame(FrameTimes& times, const std::function<float()>* pacedDelta) {
    replay->advance();
    giveRecordedEvents();
    InputManager::instance().setPageOpen(pageHasKeys());
    seeking = pacedDelta == nullptr;
    playFrame(times, pacedDelta ? (*pacedDelta)() : replay->getDelta());
    seeking = false;
}

void Game::playFrame(FrameTimes& times, float delta) {
    auto& input = InputManager::instance();
    lastDelta = delta;
    // The GUI's clock (tool tips) runs on the frame delta, so replays show them alike.
    GuiManager::instance().update(delta);
    FrameCosts costs;
    times.physicsAccumulator += delta;
    simulate(times, delta, costs);
    if (syncTest) {
        syncTest->afterFrame(
            delta, frameInput, {times.elapsed, times.physicsAccumulator, times.fixedTime},
            [this](const SyncTest::Clock& clock, float again, const InputManager::SampledState& sampled) {
                return playAgain(clock, again, sampled);
            });
    }
    input.setPageOpen(pageHasKeys());
    drawWhenDue(times, delta, costs);
    lastFrameCosts = costs;
}

SyncTest::Clock Game::playAgain(const SyncTest::Clock& clock, float delta,
                                const InputManager::SampledState& input) {
    FrameTimes times;
    times.elapsed = clock.elapsed;
    times.physicsAccumulator = clock.physicsAccumulator + delta;
    times.fixedTime = clock.fixedTime;
    FrameCosts costs;
    replayedInput = &input;
    simulate(times, delta, costs);
    replayedInput = nullptr;
    return {times.elapsed, times.physicsAccumulator, times.fixedTime};
}

void Game::runGatedFrame(FrameTimes& times, const std::function<float()>& frameDelta) {
    // The loop's own clock is kept in step, so that the first pass after the
    // gate goes does not catch up with the whole time it was installed.
    frameDelta();
    const auto now = std::chrono::steady_clock::now();
    const float wall = std::min(0.25f, std::chrono::duration<float>(now - lastGatedPass).count());
    lastGatedPass = now;
    // The menus' repeat runs on real time: a pass may be a few milliseconds
    // (looking at the network) or step nothing at all.
    lastDelta = wall;
    GuiManager::instance().update(wall);
    FrameCosts costs;
    // The gate is asked before every pass; it may go during the frame it lets run.
    SimulationGate* const deciding = gate;
    if (deciding->beginFrame()) {
        // Exactly one step: whatever the accumulator kept from before the
        // gate is below one step, and stays there.
        times.physicsAccumulator += fixedDelta;
        simulate(times, fixedDelta, costs);
        // A gate taken away during the pass (a join cancelled from the menu) may be gone.
        if (gate == deciding) {
            deciding->endFrame();
        }
    }
    // Drawing follows the wall clock, whatever the simulation does meanwhile.
    drawWhenDue(times, wall, costs);
    lastFrameCosts = costs;
}

void Game::setSimulationGate(SimulationGate* newGate) {
    gate = newGate;
    lastGatedPass = std::chrono::steady_clock::now();
}

void Game::simulate(FrameTimes& times, float delta, FrameCosts& costs) {
    using Clock = std::chrono::steady_clock;
    const auto secondsSince = [](Clock::time_point from) {
        return std::chrono::duration<float>(Clock::now() - from).count();
    };
    const auto stepsStart = Clock::now();
    times.elapsed += delta;

    // Input is sampled before the fixed steps, so a press reaches the physics
    // in the frame that saw it rather than one frame later.
    if (replayedInput) {
        InputManager::instance().replaySampling(*replayedInput);
    } else {
        sampleInput(delta);
        if (syncTest) {
            InputManager::instance().saveSampled(frameInput);
        }
    }

    auto& physics = PhysicsManager::instance();
    // A state holding its world still (a pause) steps nothing, and nothing
    // gathers to be caught up with when it lets go.
    if (worldHeld()) {
        times.physicsAccumulator = 0.0f;
    }
    if (times.physicsAccumulator >= fixedDelta) {
        physics.flushPendingDestructions();
    }

    // Each fixed update is followed by its own world step, and the forces it
    // applied are cleared after that step: a slow frame that catches up with
    // several steps moves the world exactly as several quick frames would.
    // (Running all fixed updates before all steps made every force act once
    // per update and step, n x n times in a frame of n steps.)
    while (times.physicsAccumulator >= fixedDelta) {
        times.fixedTime += fixedDelta;
        fixedUpdate(fixedDelta, times.fixedTime);
        physics.stepWorld(fixedDelta);
        // What contact calls let go of inside the step goes now, so that
        // between two steps (and two frames) the world holds only what its
        // components own.
        physics.flushPendingDestructions();
        physics.clearForces();
        times.physicsAccumulator -= fixedDelta;
        ++costs.stepCount;
    }
    // Forces applied outside a fixed step never carry into the next frame.
    physics.clearForces();
    costs.fixedSteps = secondsSince(stepsStart);

    const auto updateStart = Clock::now();
    update(delta, times.elapsed);
    costs.update = secondsSince(updateStart);
    // A recording begun in this update starts the step clock with its first
    // frame: nothing reads the clock before the next frame's steps.
    if (stepClockRestartAsked) {
        stepClockRestartAsked = false;
        times.physicsAccumulator = 0.0f;
    }
}

void Game::drawWhenDue(FrameTimes& times, float delta, FrameCosts& costs) {
    times.frameAccumulator += delta;
    // Draw at most once per frame, and only when more than one interval has
    // gathered; the part below one interval carries over.
    if (times.frameAccumulator > frameInterval) {
        const float intervals = std::trunc(times.frameAccumulator / frameInterval);
        const float drawDelta = intervals * frameInterval;
        times.drawTime += drawDelta;
        // Without drawing the times still move on, so nothing that reads
        // them depends on whether frames are drawn.
        if (!options.noDraw && !seeking) {
            const auto drawStart = std::chrono::steady_clock::now();
            draw(drawDelta, times.drawTime);
            costs.draw = std::chrono::duration<float>(std::chrono::steady_clock::now() - drawStart).count();
            costs.drawn = true;
        }
        times.frameAccumulator -= drawDelta;
    }
}

void Game::fixedUpdate(float step, float time) {
    SoundManager::instance().removeStopped();
    onFixedUpdate(step, time);
    GameObjectManager::instance().fixedUpdate(step, time);
}

void Game::update(float delta, float time) {
    auto& states = StateManager::instance();
    if (states.currentState) {
        // Held: the state may switch states from inside its own update.
        auto state = states.currentState;
        state->update(delta, time);
    }
    if (!worldHeld()) {
        GameObjectManager::instance().update(delta, time);
    }
    if (!replayedInput) {
        onUpdate(delta, time);
    }
    EventManager::instance().processEvents();
}

bool Game::worldHeld() {
    const auto& state = StateManager::instance().currentState;
    return state && state->holdsWorld();
}

bool Game::pageHasKeys() {
    const auto& state = StateManager::instance().currentState;
    return state && state->pageHasKeys();
}

void Game::draw(float delta, float time) {
    // The world is drawn straight into the window. A world texture copied to
    // the window would give the same picture (the world's colours blend over
    // a transparent clear either way) for two more full-window passes, which
    // on a software renderer cost about as much as the whole floor.
    // The back buffer is drawn over: what it holds is shown first.
    presentFrame();
    window.clear(sf::Color::Transparent);
    if (auto state = StateManager::instance().currentState) {
        state->draw(delta, time, window);
    }
    auto& render = RenderManager::instance();
    render.drawAll(window, delta, time);
    onDraw(delta, time, window);
    debugView.drawOutlines(window);
    // The camera's view was the world's; the GUI and the overlay cover the picture.
    window.setView(pictureView());
    // An overlay that nothing was drawn into since its last clear is empty:
    // copying it would change no pixel, and clearing it again neither.
    auto& overlay = render.overlayTexture;
    const bool overlayUsed = overlay.wasDrawnInto();
    if (overlayUsed) {
        overlay.display();
    }
    // The GUI lies between the world and the overlay.
    GuiManager::instance().draw();
    if (overlayUsed) {
        window.draw(overlaySprite);
    }
    if (viewer && replay) {
        viewer->draw(window, {width, height}, replay->framesPlayed());
    }
    debugView.drawFigures(window, pictureView(), lastFrameCosts, delta);
    if (screenshotAsked) {
        screenshotAsked = false;
        takeScreenshot();
    }
    drawNotice(delta);
    // Starts the renderer on the frame; `presentFrame` waits for it.
    glFlush();
    framePending = true;
    if (overlayUsed) {
        // What was drawn into the overlay since the last drawn frame is shown once.
        overlay.clear(sf::Color::Transparent);
        overlay.forgetDrawing();
    }
    // Clearing the overlay binds its frame buffer, and a draw into it must
    // make it current again (that is how it knows it was drawn into); the
    // window gets its own back, also so that reading the window (screenshots)
    // sees the window.
    window.setActive(true);
}

void Game::presentFrame() {
    if (framePending) {
        framePending = false;
        window.display();
    }
}

void Game::shutdown() {
    onShutdown();
    StateManager::instance().exitCurrent();
    GameObjectManager::instance().clear(true);
}
