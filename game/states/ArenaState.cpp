#include "game/states/ArenaState.hpp"

#include <memory>
#include <string>

#include "app/GuiManager.hpp"
#include "audio/SoundManager.hpp"
#include "core/EventManager.hpp"
#include "core/StateIo.hpp"
#include "core/StateManager.hpp"
#include "core/input/InputManager.hpp"
#include "core/input/VirtualKeysInputBackend.hpp"
#include "game/Arenas.hpp"
#include "game/PlayerNames.hpp"
#include "game/bot/BotComponent.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "game/states/ButtonSounds.hpp"
#include "game/states/ControlsPage.hpp"
#include "game/states/PadRows.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "render/RenderManager.hpp"
#include "scene/GameObjectManager.hpp"
#include "widgets/Widget.hpp"

ArenaState::ArenaState(std::shared_ptr<const PlayerSetup> setup)
    : ButtonPagesState("Arena"), players(std::move(setup)) {
    auto& gui = GuiManager::instance();
    gui.loadGroup("pause", "..\\assets\\gui\\PauseMenu.txt");
    gui.loadGroup("pauseControls", "..\\assets\\gui\\PauseMenu_Controls.txt");
    connectButtons();
}

void ArenaState::connectButtons() {
    connectButton("pause", "Continue", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        GuiManager::instance().setVisible("pause", false);
    });
    connectButton("pause", "Controls", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        GuiManager::instance().setVisible("pause", false);
        showBindings("pauseControls");
        GuiManager::instance().setVisible("pauseControls", true);
    });
    connectButton("pause", "Quit", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        GuiManager::instance().hideAll();
        EventManager::instance().queueEvent(std::make_shared<ShutdownEvent>());
    });
    // Leaving the match from inside the GUI's event handling would tear the
    // scene down in the middle of the frame; the switch waits for its end.
    connectButton("pause", "Menu", effectsVolume, [this] {
        EventManager::instance().invokeLater([this] {
            playButtonSound("click", effectsVolume);
            GuiManager::instance().hideAll();
            StateManager::instance().setState("Menu");
        });
    });
    connectPadRows("pauseControls", effectsVolume);
    connectButton("pauseControls", "BackPause", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        GuiManager::instance().setVisible("pauseControls", false);
        GuiManager::instance().setVisible("pause", true);
    });
}

void ArenaState::enter() {
    if (beforeMatch) {
        beforeMatch();
    }
    auto& objects = GameObjectManager::instance();
    RenderManager::instance();
    // Every match starts in a new world.
    PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
    effectsVolume = SoundManager::instance().soundVolume;
    MapStore::instance().instantiate(arenaByKey(players ? players->matchArena : "").mapName, true, true);
    for (int number = 1; number <= 2; ++number) {
        auto player = objects.findGameObject(playerObjectName(number));
        if (!player) {
            continue;
        }
        const int lives = players ? players->livesPerMatch : PlayerSetup::defaultLives;
        const bool unlimited = lives == PlayerSetup::unlimitedLives;
        addComponent<PlayerControllerComponent>(player, number, unlimited,
                                                unlimited ? PlayerSetup::defaultLives : lives);
    }
    // After both controllers, so that each computer player finds its rival's.
    for (int number = 1; number <= 2; ++number) {
        auto player = objects.findGameObject(playerObjectName(number));
        if (player && players && players->isComputer(number)) {
            addComponent<BotComponent>(player, number,
                                       VirtualKeysInputBackend::installOn(InputManager::instance()));
        }
    }
    // A pad lost before the match is waited for from its start.
    padLost.setOnline(online());
    padLost.show();
    if (auto note = GuiManager::instance().getWidget<widgets::Widget>("pause", "Online")) {
        note->setVisible(online());
    }
}

bool ArenaState::pageHasKeys() const {
    auto& gui = GuiManager::instance();
    return padLost.isWaiting() || gui.isVisible("pause") || gui.isVisible("pauseControls");
}

bool ArenaState::holdsWorld() const {
    return !online() && pageHasKeys();
}

void ArenaState::update(float, float) {
    showPadRows("pauseControls");
    if (holdsWorld()) {
        for (int number = 1; number <= 2; ++number) {
            auto player = GameObjectManager::instance().findGameObject(playerObjectName(number));
            if (auto controller = player ? player->getComponent<PlayerControllerComponent>() : nullptr) {
                controller->pauseLoopingSounds();
            }
        }
    }
    // While a pad is awaited, its page is the only way on.
    if (!InputManager::instance().wasPressed("ESC") || padLost.isWaiting()) {
        return;
    }
    auto& gui = GuiManager::instance();
    // Escape on the controls page goes back to the pause page; otherwise it
    // opens or closes the pause page.
    if (gui.isVisible("pauseControls")) {
        gui.toggleVisible("pauseControls");
    }
    gui.toggleVisible("pause");
}

void ArenaState::snapshotState(StateIo& io) {
    auto& gui = GuiManager::instance();
    bool paused = gui.isVisible("pause");
    bool controls = gui.isVisible("pauseControls");
    io.value(paused);
    io.value(controls);
    if (!io.saving()) {
        gui.setVisible("pause", paused);
        gui.setVisible("pauseControls", controls);
    }
    padLost.snapshotState(io);
}
