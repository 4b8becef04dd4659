#include "game/states/PadRows.hpp"

#include "app/GuiManager.hpp"
#include "core/input/GamepadHub.hpp"
#include "game/states/ButtonSounds.hpp"
#include "widgets/Label.hpp"

namespace {
std::string padLine(int slot) {
    const auto& hub = GamepadHub::instance();
    const std::string player = "Player " + std::to_string(slot + 1) + ": ";
    if (hub.getOwnership().isFree(slot)) {
        return player + "no pad yet";
    }
    return player + hub.padName(slot) + (hub.isLost(slot) ? " (unplugged)" : "");
}
} // namespace

void connectPadRows(const std::string& page, const float& effectsVolume) {
    connectButton(page, "SwapPads", effectsVolume, [volume = &effectsVolume] {
        playButtonSound("click", *volume);
        GamepadHub::instance().swap(0, 1);
    });
}

void showPadRows(const std::string& page) {
    auto& gui = GuiManager::instance();
    if (!gui.isVisible(page)) {
        return;
    }
    for (int slot = 0; slot < GamepadHub::slotCount; ++slot) {
        if (auto label = gui.getWidget<widgets::Label>(page, "Pad" + std::to_string(slot + 1))) {
            label->setText(padLine(slot));
        }
    }
}
