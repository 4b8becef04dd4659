#include "game/VorluneGame.hpp"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include <SFML/System/Clock.hpp>

#include "app/GuiManager.hpp"
#include "audio/SoundFileCheck.hpp"
#include "audio/SoundManager.hpp"
#include "core/Console.hpp"
#include "core/RandomSource.hpp"
#include "core/Report.hpp"
#include "core/StateManager.hpp"
#include "core/input/GamepadHub.hpp"
#include "core/input/InputManager.hpp"
#include "core/settings/SettingsFolder.hpp"
#include "game/Arenas.hpp"
#include "game/GameContent.hpp"
#include "game/GameCreators.hpp"
#include "game/GameOverEvent.hpp"
#include "game/InputBindings.hpp"
#include "game/PlayerNames.hpp"
#include "game/player/CharacterFrameStore.hpp"
#include "game/player/PadRumble.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "game/states/ArenaPage.hpp"
#include "game/states/ArenaState.hpp"
#include "game/states/MainMenuState.hpp"
#include "game/states/VictoryState.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/AssetManager.hpp"
#include "scene/GameObjectManager.hpp"

void VorluneGame::onInit() {
    // A replay must meet the rules it was recorded with, whoever plays it back.
    const bool reproducible =
        options.demo || options.soakFrames > 0 || !options.recordPath.empty() || !options.replayPath.empty();
    // The online demo's computer plays only this machine's player, from the match's start.
    const bool onlineDemo = options.demo && options.online();
    const std::filesystem::path folder =
        settingsFolder(options.configPath, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    settings.load(reproducible ? std::filesystem::path() : folder);
    // The pads' mappings are how the devices read, not rules of play: a
    // recording made with pads reads them too (it records what they did).
    GamepadHub::instance().start(folder.empty() ? folder : folder / padMappingFile);
    padRumble::setEnabled(settings.rumble());

    // The game's own map-object components must be known before any map is built.
    registerGameCreators(GameObjectManager::instance());

    auto& maps = MapStore::instance();
    for (const auto& arena : arenas()) {
        maps.loadMap(arena.mapFile, arena.mapName);
    }
    maps.loadMap("../assets/tilemap/victoryMap.tmx", "victorymap");
    loadEffectsArt(AssetManager::instance());
    CharacterFrameStore::warmUpRenderer();

    auto& sounds = SoundManager::instance();
    sounds.soundVolume = 0.5f;
    sounds.musicVolume = 0.5f;
    registerGameSounds(sounds);
    const std::set<std::string> unplayable = checkSoundFiles(sounds);
    // A sound reported above plays silence from now on, rather than failing
    // (and being reported again) at every footstep.
    for (const auto& name : unplayable) {
        sounds.buffers.emplace(name, std::make_shared<sf::SoundBuffer>());
    }
    // Both tracks start silent; `onUpdate` fades them in. A track whose file
    // was reported above is left out rather than tried again.
    if (!unplayable.count("bg music")) {
        musicTrack = sounds.playMusic("bg music", true, 1.0f, 0.0f);
    }
    if (!unplayable.count("ambient")) {
        ambientTrack = sounds.playMusic("ambient", true, 1.0f, 0.0f);
    }

    const Player2Keys player2Keys = settings.player2Keys();
    registerInputBindings(InputManager::instance(), player2Keys);
    settings.applyBindings(InputManager::instance());
    createPlayerCollisionLayers(PhysicsManager::instance());

    settings.applyTo(*playerSetup);
    // The command line only adds computer players to the setup.
    const bool computerOnly = (options.demo && !onlineDemo) || options.soakFrames > 0;
    if (options.player2Computer || computerOnly) {
        playerSetup->setComputer(2, true);
    }
    if (computerOnly) {
        playerSetup->setComputer(1, true);
    }
    if (!options.arena.empty()) {
        if (isArenaChoice(options.arena)) {
            playerSetup->arenaChoice = options.arena;
            playerSetup->matchArena = arenaByKey(options.arena).key;
        } else {
            reportProblem("--arena: no arena '%s' (%s); playing on %s", options.arena.c_str(),
                          arenaChoicesText().c_str(), playerSetup->arenaChoice.c_str());
        }
    }
    if (options.demo && !onlineDemo) {
        demo = std::make_unique<DemoRun>(*this, options.shotsPath, arenaButtonName(playerSetup->arenaChoice));
    }
    if (options.soakFrames > 0) {
        soak = std::make_unique<SoakRun>(*this, options.soakFrames);
    }
    if (options.until) {
        replayedMatch = ReplayedMatch(static_cast<uint32_t>(options.untilFrame));
    }

    createStates(player2Keys);
    // The audio page's sliders exist now.
    settings.applyVolumes();
    settings.applyWindow(*this);
    setupAtStart = *playerSetup;
    StateManager::instance().setState("Menu");
    if (options.online() &&
        !startOnline(options.hosting, options.hosting ? options.hostAddress : options.joinAddress,
                     options.hosting ? options.hostPort : options.joinPort)) {
        onlineStartFailed = true;
        EventManager::instance().queueEvent(std::make_shared<ShutdownEvent>());
    }
}

bool VorluneGame::startOnline(bool hosting, const std::string& address, uint16_t port) {
    OnlineMatch::Settings chosen;
    chosen.demo = options.demo;
    chosen.fastPacing = options.fast;
    chosen.recordPath = options.recordPath;
    chosen.nudgeFrame = options.nudgeFrame;
    chosen.lives = options.lives;
    chosen.seed = static_cast<uint32_t>(options.matchSeed);
    std::string problem;
    // The command line's settings were checked before the game started.
    if (!options.netSim.empty() && !net::parseLinkShape(options.netSim, chosen.link, problem)) {
        reportProblem("online: --net-sim: %s", problem.c_str());
        onlineProblem = "--net-sim: " + problem;
        return false;
    }
    online.reset();
    onlineProblem.clear();
    online = std::make_unique<OnlineMatch>(*this, playerSetup, chosen);
    const bool opened = hosting ? online->host(address, port) : online->join(address, port);
    if (!opened) {
        // The online page says why until the next try.
        onlineProblem = online->startProblem();
        online.reset();
    }
    return opened;
}

std::shared_ptr<const OnlineMenuActions> VorluneGame::makeOnlineActions() {
    auto actions = std::make_shared<OnlineMenuActions>();
    // On every interface, unless the command line named one (--host ADDRESS:PORT).
    actions->host = [this](uint16_t port) { return startOnline(true, options.hostAddress, port); };
    actions->join = [this](const std::string& address, uint16_t port) {
        return startOnline(false, address, port);
    };
    actions->cancel = [this] {
        if (online && !online->inMatch()) {
            online.reset();
        }
    };
    actions->status = [this] { return online ? online->statusLine() : onlineProblem; };
    actions->joining = [this] { return online && online->joining(); };
    actions->rematch = [this] { return online && online->askRematch(); };
    actions->leave = [this] { return online && online->leave(); };
    return actions;
}

void VorluneGame::onReplayStart(const std::string& start) {
    PlayerSetup local = *playerSetup;
    if (readLocalMatchStart(start, local)) {
        // The computer's keys are in the recording: both players play as recorded.
        local.setComputer(1, false);
        local.setComputer(2, false);
        local.online = false;
        *playerSetup = local;
        // As the match did: the recorded seed from its start, then the arena.
        RandomSource::instance().seed(RandomSource::instance().getSeed());
        replayingMatch = !options.replayPath.empty();
        // The pages of where the replay stood (the title menu) are not the match's.
        GuiManager::instance().hideAll();
        StateManager::instance().setState("Arena");
        return;
    }
    int lives = 0;
    char arena[32] = "";
    int used = 0;
    // "online lives=N arena=KEY"; recordings made before the arenas have no arena.
    const int read =
        std::sscanf(start.c_str(), "online lives=%d%n arena=%31[a-z]%n", &lives, &used, arena, &used);
    if (read < 1 || start[static_cast<size_t>(used)] != '\0' || lives < 0 || lives > PlayerSetup::mostLives ||
        (read == 2 && !isArenaChoice(arena))) {
        reportProblem("Replay: it starts at '%s', which this game does not know; it plays from the menu",
                      start.c_str());
        return;
    }
    playerSetup->livesPerMatch = lives;
    playerSetup->matchArena = arenaByKey(arena).key;
    playerSetup->setComputer(1, false);
    playerSetup->setComputer(2, false);
    playerSetup->online = true;
    // As the online match did: the recorded seed from its start, then the arena.
    RandomSource::instance().seed(RandomSource::instance().getSeed());
    replayingMatch = true;
    StateManager::instance().setState("Arena");
}

void VorluneGame::onReplayRewind() {
    replayedMatch =
        options.until ? ReplayedMatch(static_cast<uint32_t>(options.untilFrame)) : ReplayedMatch();
    replayingMatch = false;
    namedWinners.clear();
    *playerSetup = setupAtStart;
    GuiManager::instance().hideAll();
    StateManager::instance().setState("Menu");
}

void VorluneGame::onReplayClosed() {
    *playerSetup = beforeWatching.setup;
    // The victory screen's numbers do not depend on how far the replay went.
    RandomSource::instance().seed(beforeWatching.seed);
    namedWinners.clear();
    if (victoryState) {
        victoryState->winner = beforeWatching.winner;
    }
    GuiManager::instance().hideAll();
    StateManager::instance().setState("Victory");
}

bool VorluneGame::recordsMatches() const {
    return !options.demo && options.soakFrames == 0 && options.recordPath.empty() &&
           options.replayPath.empty();
}

void VorluneGame::beginMatchRecording() {
    // A match replayed is not recorded again.
    if (replaying()) {
        return;
    }
    endMatchRecording(false);
    matchRecordings.forget();
    // An online match records itself, and shows no replay here; a run
    // recorded whole keeps its one recording.
    if (!recordsMatches() || playerSetup->online || recording()) {
        return;
    }
    // Each match starts the run's sequence of numbers again, as its replay
    // does from the recorded seed.
    RandomSource::instance().seed(RandomSource::instance().getSeed());
    const std::string path = matchRecordings.next();
    if (!path.empty()) {
        matchRecordingOn = startRecording(path, localMatchStart(*playerSetup), true);
    }
}

void VorluneGame::endMatchRecording(bool complete) {
    if (!matchRecordingOn) {
        return;
    }
    matchRecordingOn = false;
    if (finishRecording() && complete) {
        matchRecordings.finished();
    } else {
        matchRecordings.forget();
    }
}

void VorluneGame::watchLastMatch() {
    const std::string recording = matchRecordings.watchable();
    if (recording.empty() || replaying() || !victoryState) {
        return;
    }
    const BeforeWatching before{*playerSetup, victoryState->winner, RandomSource::instance().getSeed()};
    if (!watchRecording(recording)) {
        showNotice("The replay cannot be played");
        return;
    }
    beforeWatching = before;
    GuiManager::instance().hideAll();
    showNotice("Escape: back to the victory screen");
}

void VorluneGame::followReplayedMatch() {
    if (options.replayPath.empty()) {
        return;
    }
    if (replayedMatch.frame(StateManager::instance().currentName() == "Arena")) {
        EventManager::instance().queueEvent(std::make_shared<ShutdownEvent>());
    }
}

void VorluneGame::onShutdown() {
    endMatchRecording(false);
    const std::string missed = replayedMatch.missed();
    if (!missed.empty()) {
        reportProblem("%s", missed.c_str());
        untilMissed = true;
    }
    // A run asked for one frame's state prints that alone.
    if (replayingMatch && !options.until) {
        const auto victory =
            std::dynamic_pointer_cast<VictoryState>(StateManager::instance().states.at("Victory"));
        const bool won = StateManager::instance().currentName() == "Victory" && victory;
        char line[96];
        std::snprintf(line, sizeof line, "replayed match over: winner %d, frame %u, state %08X",
                      won ? victory->winner : 0, replayedMatch.frames(), replayedMatch.lastChecksum());
        Console::standardOutput().writeLines(line);
    }
    // A match still on tells the other side that this one is going.
    onlineDemoFailed = online && online->demoFailed();
    online.reset();
    settings.saveAtExit(*playerSetup, *this);
}

void VorluneGame::onDraw(float, float, sf::RenderTarget& target) {
    if (online) {
        online->draw(target, pictureView());
    }
}

void VorluneGame::createStates(Player2Keys player2Keys) {
    // The constructors load the states' pages, in this order.
    auto arena = std::make_shared<ArenaState>(playerSetup);
    auto onlineActions = makeOnlineActions();
    auto menu = std::make_shared<MainMenuState>(playerSetup, onlineActions);
    auto victory = std::make_shared<VictoryState>(onlineActions);
    auto& states = StateManager::instance();
    states.registerState(arena);
    states.registerState(menu);
    states.registerState(victory);
    arena->beforeMatch = [this] { beginMatchRecording(); };
    victory->replayAvailable = [this] { return !replaying() && !matchRecordings.watchable().empty(); };
    victory->watchReplay = [this] { watchLastMatch(); };
    victoryState = victory;
    if (const auto controls = menu->getControls()) {
        controls->setLayout(player2Keys);
        controls->onChange([this](const std::vector<std::string>& names, Player2Keys layout) {
            for (const auto& name : names) {
                settings.storeBinding(InputManager::instance(), name);
            }
            settings.setPlayer2Keys(layout);
        });
    }

    // Only a match can be lost, and only once. The events of one frame are
    // all heard before the match's end is decided: a switch made at the
    // first would hand the second to the victory screen's wizard.
    gameOverListenerKey =
        EventManager::instance().addListener([this, victory](std::shared_ptr<GameEvent> event) {
            const auto gameOver = std::dynamic_pointer_cast<GameOverEvent>(event);
            auto& states = StateManager::instance();
            if (!gameOver || !states.currentState || states.currentState->name != "Arena") {
                return;
            }
            if (namedWinners.empty()) {
                EventManager::instance().invokeLater([this, victory] { endMatch(*victory); });
            }
            namedWinners.insert(gameOver->winner);
        });
}

void VorluneGame::endMatch(VictoryState& victory) {
    const std::set<int32_t> winners = std::move(namedWinners);
    namedWinners.clear();
    auto& states = StateManager::instance();
    if (winners.empty() || !states.currentState || states.currentState->name != "Arena") {
        return;
    }
    if (winners.size() > 1) {
        for (int number : {1, 2}) {
            const auto player = GameObjectManager::instance().findGameObject(playerObjectName(number));
            if (auto controller = player ? player->getComponent<PlayerControllerComponent>() : nullptr) {
                controller->suddenDeath();
            }
        }
        return;
    }
    endMatchRecording(true);
    victory.winner = *winners.begin();
    // A match may end under the open pause menu; like every other switch
    // of state, this one starts from a clean screen.
    GuiManager::instance().hideAll();
    states.setState("Victory");
}

void VorluneGame::onUpdate(float delta, float) {
    // A run asked for one frame's state prints that alone on standard output.
    if (!options.until) {
        frameRateLine.frame(delta);
    }

    auto& states = StateManager::instance();
    // A match left before its end (for the menu) has nothing to watch.
    if (matchRecordingOn && states.currentName() != "Arena") {
        endMatchRecording(false);
    }
    // An online match cannot start over on one side alone.
    const bool onlineMatch = online && online->inMatch();
    if (InputManager::instance().wasPressed("Restart") && states.currentState && !onlineMatch) {
        // The state is exited on the way: keep its name apart from it.
        const std::string current = states.currentState->name;
        if (current == "Arena") {
            replayedMatch.restarted();
        }
        states.setState(current);
    }

    updateMusicVolume(delta);
    // A pad takes only a player a person plays; none while a replay plays,
    // whose players (a computer's too) play as recorded.
    for (int slot = 0; slot < GamepadHub::slotCount; ++slot) {
        GamepadHub::instance().setClaimable(slot, !replaying() && !playerSetup->isComputer(slot + 1));
    }
    // An online match plays by the host's rules, which are not this player's settings.
    // Nor do a replay's players (all played as recorded) belong to the settings.
    if (!onlineMatch && !replaying()) {
        settings.follow(*playerSetup);
    }
    settings.followWindow(*this);
    settings.saveWhenDue(delta);
    // The title menu has time to spare: the players' animation frames are
    // made there, one per frame, instead of all at once when a match starts.
    if (states.currentState && states.currentState->name == "Menu") {
        prepareAnimationFrames();
    }
    // Once they are all made (here or by a match that began before), the
    // atlases they come from are let go.
    PlayerControllerComponent::releaseCharacterArtWhenComposed();
    if (demo) {
        demo->frame(delta);
    }
    if (soak) {
        soak->frame();
    }
    if (online) {
        online->update();
    }
    followReplayedMatch();
}

void VorluneGame::prepareAnimationFrames() {
    // As many as fit a part of the frame, so that a player who starts a match
    // at once finds most of them made. Only when frames are made depends on
    // the clock; what they look like, and the match, do not.
    if (PlayerControllerComponent::animationFramesMade(1) &&
        PlayerControllerComponent::animationFramesMade(2)) {
        return;
    }
    // Composing is the processor's work alone: beside a software renderer
    // still filling the last frame on its threads it would get half as far.
    // That frame is shown first, so the renderer is idle meanwhile.
    presentFrame();
    const sf::Clock spent;
    while (PlayerControllerComponent::prepareAnimationFrame() ==
               PlayerControllerComponent::Preparation::made &&
           spent.getElapsedTime() < sf::seconds(menuPreparationTime)) {
    }
}

void VorluneGame::updateMusicVolume(float delta) {
    const auto& states = StateManager::instance();
    const bool inMatch = states.currentState && states.currentState->name == "Arena";
    const bool mixing =
        music.step(delta, inMatch ? arenaByKey(playerSetup->matchArena).music : "", musicTrack.get());
    const float factor = SoundManager::instance().musicVolume;
    if (fadeElapsed < fadeInTime) {
        fadeElapsed += delta;
        const float progress = fadeElapsed / fadeInTime;
        setTrackVolumes(progress >= 1.0f ? factor : progress * factor);
    } else if (mixing || GuiManager::instance().isVisible("sound")) {
        // The music slider is heard while it moves.
        setTrackVolumes(factor);
    }
}

void VorluneGame::setTrackVolumes(float factor) {
    if (musicTrack) {
        musicTrack->setVolume(musicVolume * factor * music.titleShare());
    }
    if (music.matchTrack) {
        music.matchTrack->setVolume(musicVolume * factor * music.matchShare());
    }
    if (ambientTrack) {
        ambientTrack->setVolume(ambientVolume * factor);
    }
}
