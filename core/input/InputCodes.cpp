#include "core/input/InputCodes.hpp"

#include <cctype>

namespace inputCodes {

namespace {
const std::string padPrefix = "pad";

// "pad<slot from 1>.<name>" into the slot (from 0) and the name.
bool splitPadText(const std::string& text, unsigned int& slot, std::string& name) {
    const auto dot = text.find('.');
    if (text.compare(0, padPrefix.size(), padPrefix) != 0 || dot != padPrefix.size() + 1 ||
        !std::isdigit(static_cast<unsigned char>(text[padPrefix.size()]))) {
        return false;
    }
    const int number = text[padPrefix.size()] - '0';
    if (number < 1 || number > padSlots) {
        return false;
    }
    slot = static_cast<unsigned int>(number - 1);
    name = text.substr(dot + 1);
    return true;
}
} // namespace

std::string toText(int32_t code) {
    if (code >= firstPad && code <= lastCode) {
        const int32_t button = (code - firstPad) % 100;
        if (button < static_cast<int32_t>(PadButton::count)) {
            return padPrefix + std::to_string((code - firstPad) / 100 + 1) + "." +
                   padButtonName(static_cast<PadButton>(button));
        }
    }
    return std::to_string(code);
}

bool fromText(const std::string& text, int32_t& code) {
    unsigned int slot = 0;
    std::string name;
    PadButton button = PadButton::south;
    if (splitPadText(text, slot, name)) {
        if (!padButtonFromName(name, button)) {
            return false;
        }
        code = padButton(slot, button);
        return true;
    }
    if (text.empty() || text.size() > 9) {
        return false;
    }
    long value = 0;
    for (const char digit : text) {
        if (!std::isdigit(static_cast<unsigned char>(digit))) {
            return false;
        }
        value = value * 10 + (digit - '0');
    }
    if (value > lastCode) {
        return false;
    }
    code = static_cast<int32_t>(value);
    return true;
}

std::string padAxisText(unsigned int slot, PadAxis axis) {
    return padPrefix + std::to_string(slot + 1) + "." + padAxisName(axis);
}

bool padAxisFromText(const std::string& text, unsigned int& slot, PadAxis& axis) {
    std::string name;
    return splitPadText(text, slot, name) && padAxisFromName(name, axis);
}

} // namespace inputCodes
