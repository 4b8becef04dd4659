#include "game/states/VictoryState.hpp"

#include "app/GuiManager.hpp"
#include "audio/SoundManager.hpp"
#include "core/EventManager.hpp"
#include "core/StateManager.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "game/states/ButtonSounds.hpp"
#include "level/MapStore.hpp"
#include "physics/PhysicsManager.hpp"
#include "scene/GameObjectManager.hpp"
#include "widgets/Picture.hpp"

VictoryState::VictoryState(std::shared_ptr<const OnlineMenuActions> actions)
    : ButtonPagesState("Victory"), online(std::move(actions)) {
    GuiManager::instance().loadGroup("victory", "..\\assets\\gui\\Victory.txt");
    connectButton("victory", "Continue", effectsVolume, [this] {
        playButtonSound("click", effectsVolume);
        if (online && online->leave) {
            online->leave();
        }
        GuiManager::instance().hideAll();
        StateManager::instance().setState("Menu");
    });
    // The arena reads the shared player setup at every entry, so the new
    // match has the rules and players of the last one. Like the menu's start
    // button, the match is built at the end of the frame, not inside the GUI's
    // event handling.
    connectButton("victory", "Rematch", effectsVolume, [this] {
        // Online, the new match starts for both players together, when both asked.
        if (online && online->rematch && online->rematch()) {
            playButtonSound("click", effectsVolume);
            return;
        }
        EventManager::instance().invokeLater([this] {
            playButtonSound("click", effectsVolume);
            GuiManager::instance().hideAll();
            StateManager::instance().setState("Arena");
        });
    });
    // The match is played again in this world's place: not from inside the
    // GUI's event handling.
    connectButton("victory", "Watch", effectsVolume, [this] {
        EventManager::instance().invokeLater([this] {
            playButtonSound("click", effectsVolume);
            if (watchReplay) {
                watchReplay();
            }
        });
    });
}

void VictoryState::enter() {
    PhysicsManager::instance().createWorld(0.0f, 10.0f, 100.0f);
    MapStore::instance().instantiate("victorymap", true, true);
    auto& gui = GuiManager::instance();
    gui.setVisible("victory", true);
    effectsVolume = SoundManager::instance().soundVolume;
    if (auto player = GameObjectManager::instance().findGameObject("Player1")) {
        addComponent<PlayerControllerComponent>(player, winner, true);
    }
    const auto player1won = gui.getWidget<widgets::Picture>("victory", "Player1won");
    const auto player2won = gui.getWidget<widgets::Picture>("victory", "Player2won");
    if (player1won) {
        player1won->setVisible(winner == 1);
    }
    if (player2won) {
        player2won->setVisible(winner != 1);
    }
    if (const auto watch = gui.getWidget<widgets::Widget>("victory", "Watch")) {
        watch->setVisible(replayAvailable && replayAvailable());
    }
}
