#include "app/Game.hpp"

#include "app/GuiManager.hpp"
#include "core/EventManager.hpp"
#include "core/input/GamepadHub.hpp"
#include "core/input/InputManager.hpp"
#include "core/input/PadChangeEvent.hpp"

// The frame loop's part in the game pads: what the GamepadHub says each frame
// goes on to the input latch, the GUI, the game and the recording.

void Game::notePadChange(const sf::Event& event) {
    if (event.type != sf::Event::JoystickConnected && event.type != sf::Event::JoystickDisconnected) {
        return;
    }
    auto change = std::make_shared<PadChangeEvent>();
    change->slot = static_cast<int>(event.joystickConnect.joystickId);
    change->connected = event.type == sf::Event::JoystickConnected;
    EventManager::instance().queueEvent(change);
}

void Game::pollPads() {
    auto& hub = GamepadHub::instance();
    if (!hub.isStarted()) {
        return;
    }
    const auto happenings = hub.poll(lastDelta);
    // A replay brings the recorded input; the pads' presses must not add to
    // it. Their menu keys work the viewer, as the keyboard's do.
    if (replay) {
        for (const auto& happening : happenings) {
            if (happening.kind == PadHappening::Kind::menuKey) {
                sf::Event key;
                key.type = sf::Event::KeyPressed;
                key.key = sf::Event::KeyEvent{happening.key, false, false, false, false};
                giveViewerEvent(key);
            }
        }
        return;
    }
    const auto slotEvent = [](sf::Event::EventType type, int slot) {
        sf::Event event;
        event.type = type;
        event.joystickConnect.joystickId = static_cast<unsigned int>(slot);
        return event;
    };
    // A press a page waited for (a control being rebound) is that page's
    // alone: not the players', and not the menus' Enter after it.
    bool captured = false;
    for (const auto& happening : happenings) {
        switch (happening.kind) {
        case PadHappening::Kind::pressed:
            if (captured || GuiManager::instance().capturesPad(happening.code)) {
                captured = true;
                break;
            }
            InputManager::instance().latchPress(happening.code);
            break;
        case PadHappening::Kind::claimed:
        case PadHappening::Kind::returned:
            showNotice("Player " + std::to_string(happening.slot + 1) + ": " + happening.name);
            if (happening.kind == PadHappening::Kind::returned) {
                giveEvent(slotEvent(sf::Event::JoystickConnected, happening.slot));
            }
            break;
        case PadHappening::Kind::lost:
            giveEvent(slotEvent(sf::Event::JoystickDisconnected, happening.slot));
            break;
        case PadHappening::Kind::menuKey:
            // In a match without a page, the pad's buttons are the players' own.
            // Nor while a page waits for a key: the pad's Enter is no key of the keyboard's.
            if (!captured && !GuiManager::instance().padCapture && GuiManager::instance().anyVisible()) {
                sf::Event key;
                key.type = sf::Event::KeyPressed;
                key.key = sf::Event::KeyEvent{happening.key, false, false, false, false};
                giveEvent(key);
                key.type = sf::Event::KeyReleased;
                giveEvent(key);
            }
            break;
        }
    }
}
