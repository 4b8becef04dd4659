#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <SFML/Window/Event.hpp>

#include "game/InputBindings.hpp"
#include "game/controls/BindingSlots.hpp"

// The title menu's controls page ("mControls"): a button per binding slot
// (see bindingSlots), named after the slot and showing its key and pad
// button. Choosing one (click, Enter or Space) shows "press a key"; the next
// key or pad button binds it, swapping with a slot that held it. Escape, a
// mouse click or `waitLimit` seconds without a press cancel. "Player2Keys"
// switches player 2 between the number-pad and the laptop layout, and
// "ResetBindings" gives every action the chosen layout's defaults back.
class ControlsPage {
public:
    static constexpr const char* page = "mControls";
    static constexpr float waitLimit = 5.0f;
    // Told the names of the actions and axes whose bindings changed, and the
    // layout player 2 has now.
    using Changed = std::function<void(const std::vector<std::string>& names, Player2Keys layout)>;

    // Wires the page's buttons (the page must be loaded); `effectsVolume` is
    // observed, as by connectButton.
    explicit ControlsPage(const float& effectsVolume);
    ~ControlsPage();
    ControlsPage(const ControlsPage&) = delete;
    ControlsPage& operator=(const ControlsPage&) = delete;

    // Player 2's layout as the game started with it, shown on its button.
    void setLayout(Player2Keys layout);
    void onChange(Changed changed) { this->changed = std::move(changed); }

    // Counts down a wait for a key; a wait also ends when the page is hidden.
    void update(float delta);
    // Whether the Escape key belongs to the page now: it is waiting for a
    // key, or the Escape that cancelled a wait is still held. The menu does
    // not go back then.
    bool holdsEscape() const;
    // Writes every slot's keys on its button.
    void show();
    bool isWaiting() const { return waiting != nullptr; }

private:
    void startWaiting(const BindingSlot& slot);
    void stopWaiting();
    // Takes the window's events while waiting (see GuiManager::eventCapture).
    bool capture(const sf::Event& event);
    void bind(int32_t code);
    void report(const std::vector<std::string>& names);

    const float& effectsVolume;
    const BindingSlot* waiting = nullptr;
    float waited = 0.0f;
    bool escapeHeld = false;
    Player2Keys layout = Player2Keys::numberPad;
    Changed changed;
};

// Writes the keys and pad buttons of every binding slot on the page's
// widget of the slot's name (a button or a label); a page without them
// shows what its form says.
void showBindings(const std::string& page);
// "Space  ·  pad 1 button 0": the slot's key and pad button as a page shows them.
std::string bindingText(const BindingSlot& slot);
