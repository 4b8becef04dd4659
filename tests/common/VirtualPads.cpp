#include "common/VirtualPads.hpp"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "core/input/SfmlInputBackend.hpp"

namespace {
// Every standard button up to the d-pad, and the six axes.
constexpr int standardButtons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
// A pad SDL does not know may have many raw buttons (a cockpit's panel).
constexpr int rawButtons = 128;
constexpr int standardAxes = SDL_CONTROLLER_AXIS_MAX;

int rumbleCounter(void* userdata, Uint16 low, Uint16 high) {
    if (low > 0 || high > 0) {
        ++*static_cast<int*>(userdata);
    }
    return 0;
}

int deviceIndexOf(SDL_Joystick* joystick) {
    const SDL_JoystickID instance = SDL_JoystickInstanceID(joystick);
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == instance) {
            return index;
        }
    }
    return -1;
}
} // namespace

VirtualPad::VirtualPad(std::string name, uint16_t vendor, uint16_t product, bool mapped)
    : name(std::move(name)), vendor(vendor), product(product), mapped(mapped) {}

VirtualPad::~VirtualPad() {
    unplug();
}

void VirtualPad::plugIn() {
    if (joystick) {
        return;
    }
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = mapped ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
    desc.naxes = standardAxes;
    desc.nbuttons = mapped ? standardButtons : rawButtons;
    desc.vendor_id = vendor;
    desc.product_id = product;
    desc.button_mask = mapped ? (1u << standardButtons) - 1u : 0u;
    desc.axis_mask = mapped ? (1u << standardAxes) - 1u : 0u;
    desc.name = name.c_str();
    desc.userdata = rumbleCount.get();
    desc.Rumble = rumbleCounter;
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    joystick = SDL_JoystickOpen(index);
    ASSERT_TRUE(joystick) << SDL_GetError();
    // A trigger at rest is the raw axis at its lowest, not at its middle.
    if (mapped) {
        setAxis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 0.0f);
        setAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.0f);
    }
}

void VirtualPad::unplug() {
    if (!joystick) {
        return;
    }
    const int index = deviceIndexOf(joystick);
    if (index >= 0) {
        SDL_JoystickDetachVirtual(index);
    }
    SDL_JoystickClose(joystick);
    joystick = nullptr;
}

void VirtualPad::setButton(int button, bool down) {
    ASSERT_TRUE(joystick);
    ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick, button, down ? SDL_PRESSED : SDL_RELEASED), 0);
}

void VirtualPad::setAxis(int axis, float position) {
    ASSERT_TRUE(joystick);
    const bool trigger =
        mapped && (axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    // A mapped trigger's 0 .. 1 is SDL's full range of the raw axis.
    const float raw = trigger ? position * 2.0f - 1.0f : position;
    const auto value = static_cast<Sint16>(std::lround(std::clamp(raw, -1.0f, 1.0f) * 32767.0f));
    ASSERT_EQ(SDL_JoystickSetVirtualAxis(joystick, axis, value), 0);
}

bool ScriptedKeysRealPads::isJoystickConnected(unsigned int joystick) {
    return SfmlInputBackend().isJoystickConnected(joystick);
}
bool ScriptedKeysRealPads::isJoystickButtonPressed(unsigned int joystick, unsigned int button) {
    return SfmlInputBackend().isJoystickButtonPressed(joystick, button);
}
bool ScriptedKeysRealPads::hasJoystickAxis(unsigned int joystick, sf::Joystick::Axis axis) {
    return SfmlInputBackend().hasJoystickAxis(joystick, axis);
}
float ScriptedKeysRealPads::getJoystickAxisPosition(unsigned int joystick, sf::Joystick::Axis axis) {
    return SfmlInputBackend().getJoystickAxisPosition(joystick, axis);
}
bool ScriptedKeysRealPads::isPadButtonPressed(unsigned int pad, PadButton button) {
    return SfmlInputBackend().isPadButtonPressed(pad, button);
}
float ScriptedKeysRealPads::getPadAxisPosition(unsigned int pad, PadAxis axis) {
    return SfmlInputBackend().getPadAxisPosition(pad, axis);
}
