#include "game/VorluneGame.hpp"

#include <cstdlib>
#include <set>
#include <string>

#include "app/GuiManager.hpp"
#include "audio/SoundFileCheck.hpp"
#include "audio/SoundManager.hpp"
#include "core/StateManager.hpp"
#include "core/input/GamepadHub.hpp"
#include "core/input/InputManager.hpp"
#include "core/settings/SettingsFolder.hpp"
#include "game/GameContent.hpp"
#include "game/GameCreators.hpp"
#include "game/InputBindings.hpp"
#include "game/PlayerNames.hpp"
#include "game/player/PadRumble.hpp"
#include "game/player/PlayerControllerComponent.hpp"
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
    maps.loadMap("../assets/tilemap/zefMap.tmx", "magicmap");
    maps.loadMap("../assets/tilemap/victoryMap.tmx", "victorymap");
    loadCharacterArt(AssetManager::instance());

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

    registerInputBindings(InputManager::instance(), settings.player2Keys());
    settings.applyBindings(InputManager::instance());
    createPlayerCollisionLayers(PhysicsManager::instance());

    settings.applyTo(*playerSetup);
    // The command line only adds computer players to the setup.
    const bool computerOnly = options.demo || options.soakFrames > 0;
    if (options.player2Computer || computerOnly) {
        playerSetup->setComputer(2, true);
    }
    if (computerOnly) {
        playerSetup->setComputer(1, true);
    }
    if (options.demo) {
        demo = std::make_unique<DemoRun>(*this, options.shotsPath);
    }
    if (options.soakFrames > 0) {
        soak = std::make_unique<SoakRun>(*this, options.soakFrames);
    }

    createStates();
    // The audio page's sliders exist now.
    settings.applyVolumes();
    StateManager::instance().setState("Menu");
}

void VorluneGame::onShutdown() {
    settings.saveAtExit(*playerSetup);
}

void VorluneGame::createStates() {
    // The constructors load the states' pages, in this order.
    auto arena = std::make_shared<ArenaState>(playerSetup);
    auto menu = std::make_shared<MainMenuState>(playerSetup);
    auto victory = std::make_shared<VictoryState>();
    auto& states = StateManager::instance();
    states.registerState(arena);
    states.registerState(menu);
    states.registerState(victory);

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
    victory.winner = *winners.begin();
    // A match may end under the open pause menu; like every other switch
    // of state, this one starts from a clean screen.
    GuiManager::instance().hideAll();
    states.setState("Victory");
}

void VorluneGame::onUpdate(float delta, float) {
    frameRateLine.frame(delta);

    auto& states = StateManager::instance();
    if (InputManager::instance().wasPressed("Restart") && states.currentState) {
        // The state is exited on the way: keep its name apart from it.
        const std::string current = states.currentState->name;
        states.setState(current);
    }

    updateMusicVolume(delta);
    // A pad takes only a player a person plays.
    for (int slot = 0; slot < GamepadHub::slotCount; ++slot) {
        GamepadHub::instance().setClaimable(slot, !playerSetup->isComputer(slot + 1));
    }
    settings.follow(*playerSetup);
    settings.saveWhenDue(delta);
    // The title menu has time to spare: the players' animation frames are
    // made there, one per frame, instead of all at once when a match starts.
    if (states.currentState && states.currentState->name == "Menu" &&
        !PlayerControllerComponent::prepareAnimationFrame(1)) {
        PlayerControllerComponent::prepareAnimationFrame(2);
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
}

void VorluneGame::updateMusicVolume(float delta) {
    const float factor = SoundManager::instance().musicVolume;
    if (fadeElapsed < fadeInTime) {
        fadeElapsed += delta;
        const float progress = fadeElapsed / fadeInTime;
        setTrackVolumes(progress >= 1.0f ? factor : progress * factor);
    } else if (GuiManager::instance().isVisible("sound")) {
        // The music slider is heard while it moves.
        setTrackVolumes(factor);
    }
}

void VorluneGame::setTrackVolumes(float factor) {
    if (musicTrack) {
        musicTrack->setVolume(musicVolume * factor);
    }
    if (ambientTrack) {
        ambientTrack->setVolume(ambientVolume * factor);
    }
}
