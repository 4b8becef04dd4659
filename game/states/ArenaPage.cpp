#include "game/states/ArenaPage.hpp"

#include <string>

#include "app/GuiManager.hpp"
#include "core/EventManager.hpp"
#include "core/RandomSource.hpp"
#include "core/StateManager.hpp"
#include "game/Arenas.hpp"
#include "game/states/ButtonSounds.hpp"
#include "widgets/Button.hpp"

namespace {
const char* const page = "mArena";

std::string arenaButton(size_t index) {
    return "Arena" + std::to_string(index + 1);
}
} // namespace

std::string arenaButtonName(const std::string& choice) {
    const auto& list = arenas();
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].key == choice) {
            return arenaButton(i);
        }
    }
    return "RandomArena";
}

std::string resolveArenaChoice(const std::string& choice) {
    if (choice != randomArenaKey()) {
        return arenaByKey(choice).key;
    }
    const auto& list = arenas();
    return list[RandomSource::instance().next() % list.size()].key;
}

ArenaPage::ArenaPage(std::shared_ptr<PlayerSetup> setup, const float& effectsVolume)
    : players(std::move(setup)), volume(effectsVolume) {
    auto& gui = GuiManager::instance();
    gui.loadGroup(page, "..\\assets\\gui\\Menu_Arena.txt");
    const auto& list = arenas();
    for (size_t i = 0; i < list.size(); ++i) {
        connectButton(page, arenaButton(i), volume, [this, key = list[i].key] { choose(key); });
    }
    connectButton(page, "RandomArena", volume, [this] { choose(randomArenaKey()); });
    connectButton(page, "BackMenu", volume, [this] {
        playButtonSound("click", volume);
        GuiManager::instance().hideAll();
        GuiManager::instance().setVisible("menu", true);
    });
}

void ArenaPage::open() {
    auto& gui = GuiManager::instance();
    if (!gui.groups.count(page)) {
        // The page's form was reported at start-up; Play still plays, on the last choice.
        choose(players->arenaChoice);
        return;
    }
    gui.hideAll();
    gui.setVisible(page, true);
    if (auto button = gui.getWidget<widgets::Button>(page, arenaButtonName(players->arenaChoice))) {
        gui.gui.setFocused(button);
    }
}

bool ArenaPage::handleEscape() {
    auto& gui = GuiManager::instance();
    if (!gui.isVisible(page)) {
        return false;
    }
    gui.setVisible(page, false);
    gui.setVisible("menu", true);
    return true;
}

void ArenaPage::choose(const std::string& choice) {
    // Like the title's start button used to, the match is built at the end
    // of the frame, never from inside the GUI's event handling.
    EventManager::instance().invokeLater([this, choice] {
        playButtonSound("click", volume);
        players->arenaChoice = choice;
        players->matchArena = resolveArenaChoice(choice);
        GuiManager::instance().hideAll();
        StateManager::instance().setState("Arena");
    });
}
