#include "game/controls/BindingSlots.hpp"

#include <algorithm>
#include <iterator>

#include "core/input/InputCodes.hpp"
#include "core/input/InputManager.hpp"
#include "game/PlayerNames.hpp"

namespace {
bool isPadButton(int32_t code) {
    return code >= InputManager::firstJoystickCode && code <= inputCodes::lastCode;
}

bool isKey(int32_t code) {
    return code >= 0 && code < sf::Keyboard::KeyCount;
}

// A pad's standard button and a raw button (of a pad without a mapping) are
// kinds of their own: a slot keeps one of each, and rebinding one leaves the other.
enum class CodeKind { key, mouse, rawButton, padButton, none };

CodeKind kindOf(int32_t code) {
    if (isKey(code)) {
        return CodeKind::key;
    }
    if (code >= inputCodes::firstPad && code <= inputCodes::lastCode) {
        return CodeKind::padButton;
    }
    if (isPadButton(code)) {
        return CodeKind::rawButton;
    }
    return code >= InputManager::firstMouseCode && code < InputManager::firstJoystickCode ? CodeKind::mouse
                                                                                          : CodeKind::none;
}

bool sameKind(int32_t code, int32_t like) {
    return kindOf(code) == kindOf(like);
}

// The slot's codes of every kind, in the action's order.
std::vector<int32_t> slotCodes(const InputManager& input, const BindingSlot& slot) {
    std::vector<int32_t> codes;
    if (slot.axisValue == 0.0f) {
        if (const auto action = input.actions.find(slot.action); action != input.actions.end()) {
            codes = action->second->codes;
        }
    } else if (const auto axis = input.axes.find(slot.action); axis != input.axes.end()) {
        for (const auto& [code, value] : axis->second->keyValues) {
            if (value == slot.axisValue) {
                codes.push_back(code);
            }
        }
    }
    return codes;
}

int32_t firstOfKind(const InputManager& input, const BindingSlot& slot, int32_t like) {
    for (const int32_t code : slotCodes(input, slot)) {
        if (sameKind(code, like)) {
            return code;
        }
    }
    return -1;
}

bool holds(const InputManager& input, const BindingSlot& slot, int32_t code) {
    const auto codes = slotCodes(input, slot);
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

void removeCode(InputManager& input, const BindingSlot& slot, int32_t code) {
    if (slot.axisValue == 0.0f) {
        if (const auto action = input.actions.find(slot.action); action != input.actions.end()) {
            auto& codes = action->second->codes;
            codes.erase(std::remove(codes.begin(), codes.end(), code), codes.end());
        }
    } else if (const auto axis = input.axes.find(slot.action); axis != input.axes.end()) {
        axis->second->keyValues.erase(code);
    }
}

void addCode(InputManager& input, const BindingSlot& slot, int32_t code) {
    if (slot.axisValue == 0.0f) {
        input.addKey(slot.action, code);
    } else if (const auto axis = input.axes.find(slot.action); axis != input.axes.end()) {
        axis->second->keyValues[code] = slot.axisValue;
    }
}

std::vector<BindingSlot> makeSlots() {
    std::vector<BindingSlot> slots;
    for (int player : {1, 2}) {
        const std::string prefix = "Player" + std::to_string(player);
        const auto add = [&](const char* widget, const char* action, float value, const char* label,
                             sf::Keyboard::Key DefaultKeys::*key) {
            slots.push_back({prefix + widget, playerActionName(player, action), value, player, label, key});
        };
        add("Left", "Horizontal", -1.0f, "Run left", &DefaultKeys::left);
        add("Right", "Horizontal", 1.0f, "Run right", &DefaultKeys::right);
        add("Up", "Vertical", -1.0f, "Aim up", &DefaultKeys::up);
        add("Down", "Vertical", 1.0f, "Aim down", &DefaultKeys::down);
        add("Jump", "Jump", 0.0f, "Jump", &DefaultKeys::jump);
        add("Magic", "Magic", 0.0f, "Magic", &DefaultKeys::magic);
    }
    slots.push_back({"Pause", "ESC", 0.0f, 0, "Pause and back", nullptr});
    slots.push_back({"Restart", "Restart", 0.0f, 0, "Restart the match", nullptr});
    return slots;
}

const char* const keyNames[sf::Keyboard::KeyCount] = {
    "A",           "B",          "C",           "D",          "E",
    "F",           "G",          "H",           "I",          "J",
    "K",           "L",          "M",           "N",          "O",
    "P",           "Q",          "R",           "S",          "T",
    "U",           "V",          "W",           "X",          "Y",
    "Z",           "0",          "1",           "2",          "3",
    "4",           "5",          "6",           "7",          "8",
    "9",           "Escape",     "Left Ctrl",   "Left Shift", "Left Alt",
    "Left System", "Right Ctrl", "Right Shift", "Right Alt",  "Right System",
    "Menu",        "[",          "]",           ";",          ",",
    ".",           "'",          "/",           "\\",         "`",
    "=",           "-",          "Space",       "Enter",      "Backspace",
    "Tab",         "Page Up",    "Page Down",   "End",        "Home",
    "Insert",      "Delete",     "Numpad +",    "Numpad -",   "Numpad *",
    "Numpad /",    "Left",       "Right",       "Up",         "Down",
    "Numpad 0",    "Numpad 1",   "Numpad 2",    "Numpad 3",   "Numpad 4",
    "Numpad 5",    "Numpad 6",   "Numpad 7",    "Numpad 8",   "Numpad 9",
    "F1",          "F2",         "F3",          "F4",         "F5",
    "F6",          "F7",         "F8",          "F9",         "F10",
    "F11",         "F12",        "F13",         "F14",        "F15",
    "Pause"};
// A pad's standard buttons by where they sit, in PadButton's order.
const char* const padButtonNames[static_cast<int>(PadButton::count)] = {
    "bottom button", "right button", "left button", "top button",    "back",           "guide",
    "start",         "left stick",   "right stick", "left shoulder", "right shoulder", "d-pad up",
    "d-pad down",    "d-pad left",   "d-pad right", "left trigger",  "right trigger"};
} // namespace

const std::vector<BindingSlot>& bindingSlots() {
    static const std::vector<BindingSlot> slots = makeSlots();
    return slots;
}

int32_t slotKey(const InputManager& input, const BindingSlot& slot) {
    return firstOfKind(input, slot, sf::Keyboard::A);
}

int32_t slotPadButton(const InputManager& input, const BindingSlot& slot) {
    const int32_t standard = firstOfKind(input, slot, inputCodes::firstPad);
    return standard >= 0 ? standard : firstOfKind(input, slot, InputManager::firstJoystickCode);
}

std::vector<std::string> bindSlot(InputManager& input, const BindingSlot& slot, int32_t code) {
    if (!isKey(code) && !isPadButton(code)) {
        return {};
    }
    const int32_t old = firstOfKind(input, slot, code);
    if (old == code) {
        return {};
    }
    std::vector<std::string> changed{slot.action};
    // Taken from everywhere first, then given: two directions of one axis
    // swap their keys inside one map of key to value.
    std::vector<const BindingSlot*> holders;
    for (const auto& other : bindingSlots()) {
        if (&other != &slot && holds(input, other, code)) {
            holders.push_back(&other);
            removeCode(input, other, code);
            changed.push_back(other.action);
        }
    }
    if (old >= 0) {
        removeCode(input, slot, old);
    }
    addCode(input, slot, code);
    // A damaged settings file may have bound the code twice; one slot gets the old one.
    if (old >= 0 && !holders.empty()) {
        addCode(input, *holders.front(), old);
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    return changed;
}

std::vector<std::string> bindPlayer2Layout(InputManager& input, Player2Keys layout) {
    const DefaultKeys keys = defaultPlayerKeys(2, layout);
    std::vector<std::string> changed;
    for (const auto& slot : bindingSlots()) {
        if (slot.player == 2 && slot.defaultKey) {
            const auto names = bindSlot(input, slot, keys.*slot.defaultKey);
            changed.insert(changed.end(), names.begin(), names.end());
        }
    }
    // The beard button has no row; it follows the layout.
    const std::string beard = playerActionName(2, "Beard");
    if (const auto action = input.actions.find(beard); action != input.actions.end()) {
        auto& codes = action->second->codes;
        codes.erase(std::remove_if(codes.begin(), codes.end(), isKey), codes.end());
        codes.insert(codes.begin(), keys.beard);
        changed.push_back(beard);
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    return changed;
}

std::string inputCodeName(int32_t code) {
    if (isKey(code)) {
        return keyNames[code];
    }
    if (code >= inputCodes::firstPad && code <= inputCodes::lastCode) {
        const int32_t index = code - inputCodes::firstPad;
        const auto button = static_cast<PadButton>(index % 100);
        const std::string name = button < PadButton::count ? padButtonNames[index % 100] : "?";
        return "pad " + std::to_string(index / 100 + 1) + " " + name;
    }
    if (isPadButton(code)) {
        const int32_t index = code - InputManager::firstJoystickCode;
        return "pad " + std::to_string(index / 100 + 1) + " button " + std::to_string(index % 100);
    }
    return "none";
}
