#include "game/states/PadLostPause.hpp"

#include <string>
#include <vector>

#include "app/GuiManager.hpp"
#include "core/StateIo.hpp"
#include "core/StateManager.hpp"
#include "core/input/GamepadHub.hpp"
#include "core/input/PadChangeEvent.hpp"
#include "game/states/ButtonSounds.hpp"
#include "widgets/Label.hpp"

namespace {
const char* const padLostPage = "padLost";

bool inMatch() {
    const auto& state = StateManager::instance().currentState;
    return state && state->name == "Arena";
}
} // namespace

PadLostPause::PadLostPause(const float& effectsVolume) {
    auto& gui = GuiManager::instance();
    gui.loadGroup(padLostPage, "..\\assets\\gui\\PadLost.txt");
    connectButton(padLostPage, "Keyboard", effectsVolume, [this, volume = &effectsVolume] {
        playButtonSound("click", *volume);
        GamepadHub::instance().releaseLost();
        lostSlots.clear();
        show();
    });
    listenerKey = EventManager::instance().addListener([this](std::shared_ptr<GameEvent> event) {
        if (const auto change = std::dynamic_pointer_cast<PadChangeEvent>(event)) {
            onPadChange(change->slot, change->connected);
        }
    });
}

void PadLostPause::onPadChange(int slot, bool connected) {
    if (connected) {
        lostSlots.erase(slot);
    } else {
        lostSlots.insert(slot);
    }
    show();
}

void PadLostPause::show() {
    auto& gui = GuiManager::instance();
    const bool shown = isWaiting() && inMatch();
    if (shown) {
        std::string text;
        for (const int slot : lostSlots) {
            text += (text.empty() ? "" : "\n") +
                    (online ? std::string("Your pad") : "Player " + std::to_string(slot + 1) + "'s pad") +
                    " is disconnected";
            if (online) {
                break;
            }
        }
        if (auto message = gui.getWidget<widgets::Label>(padLostPage, "Message")) {
            message->setText(text);
        }
    }
    // The pause pages give way to it, and come back by Escape as ever.
    if (shown && !gui.isVisible(padLostPage)) {
        gui.setVisible("pause", false);
        gui.setVisible("pauseControls", false);
    }
    gui.setVisible(padLostPage, shown);
}

void PadLostPause::snapshotState(StateIo& io) {
    std::vector<int> slots(lostSlots.begin(), lostSlots.end());
    io.values(slots);
    if (!io.saving()) {
        lostSlots = std::set<int>(slots.begin(), slots.end());
        show();
    }
}
