#include "core/input/GamepadHub.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>

#include <SDL2/SDL.h>

#include "core/Report.hpp"
#include "core/input/InputCodes.hpp"

namespace {
// SDL's buttons in PadButton order (the triggers are axes in SDL).
const SDL_GameControllerButton sdlButtons[] = {
    SDL_CONTROLLER_BUTTON_A,
    SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_BACK,
    SDL_CONTROLLER_BUTTON_GUIDE,
    SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,
    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,
    SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
};
constexpr size_t sdlButtonCount = sizeof(sdlButtons) / sizeof(sdlButtons[0]);

const SDL_GameControllerAxis sdlAxes[] = {
    SDL_CONTROLLER_AXIS_LEFTX,  SDL_CONTROLLER_AXIS_LEFTY,       SDL_CONTROLLER_AXIS_RIGHTX,
    SDL_CONTROLLER_AXIS_RIGHTY, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
};

bool buttonFromSdl(Uint8 sdlButton, PadButton& button) {
    for (size_t i = 0; i < sdlButtonCount; ++i) {
        if (sdlButtons[i] == sdlButton) {
            button = static_cast<PadButton>(i);
            return true;
        }
    }
    return false;
}

float fromSdlAxis(Sint16 value) {
    return std::clamp(static_cast<float>(value) / 32767.0f, -1.0f, 1.0f);
}

PadIdentity identityOf(SDL_Joystick* joystick) {
    PadIdentity identity;
    char guid[33] = {};
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick), guid, sizeof(guid));
    identity.guid = guid;
    if (const char* serial = SDL_JoystickGetSerial(joystick)) {
        identity.serial = serial;
    }
    if (const char* name = SDL_JoystickName(joystick)) {
        identity.name = name;
    }
    return identity;
}

// The menu's keys for the d-pad, in PadButton order from dpadUp.
const sf::Keyboard::Key dpadKeys[] = {sf::Keyboard::Up, sf::Keyboard::Down, sf::Keyboard::Left,
                                      sf::Keyboard::Right};
} // namespace

GamepadHub& GamepadHub::instance() {
    static GamepadHub hub;
    return hub;
}

GamepadHub::~GamepadHub() {
    reset();
}

void GamepadHub::reset() {
    for (auto& entry : pads) {
        if (entry.second.controller) {
            SDL_GameControllerClose(entry.second.controller);
        } else if (entry.second.joystick) {
            SDL_JoystickClose(entry.second.joystick);
        }
    }
    pads.clear();
    ownership = PadOwnership(slotCount);
    if (started) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        started = false;
    }
}

bool GamepadHub::start(const std::filesystem::path& mappingFile) {
    if (started) {
        return true;
    }
    // SDL must leave the process's signals alone, and hear the pads although
    // the focused window is not one of its own.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        reportProblem("Game pads: SDL could not start (%s); playing without pads", SDL_GetError());
        return false;
    }
    started = true;
    readMappings(mappingFile);
    return true;
}

void GamepadHub::readMappings(const std::filesystem::path& file) {
    std::error_code error;
    if (file.empty() || !std::filesystem::exists(file, error)) {
        return;
    }
    std::ifstream stream(file);
    if (!std::filesystem::is_regular_file(file, error) || !stream) {
        reportProblem("Pad mappings %s: cannot be read", file.string().c_str());
        return;
    }
    // SDL's own reader skips lines without a platform; a person's line for
    // their one pad often has none, and means this machine.
    const std::string platform = std::string("platform:") + SDL_GetPlatform();
    int lineNumber = 0;
    for (std::string line; std::getline(stream, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto platformAt = line.find("platform:");
        if (platformAt != std::string::npos && line.compare(platformAt, platform.size(), platform) != 0) {
            continue;
        }
        if (SDL_GameControllerAddMapping(line.c_str()) < 0) {
            reportProblem("Pad mappings %s line %d: %s", file.string().c_str(), lineNumber, SDL_GetError());
        }
    }
}

std::vector<PadHappening> GamepadHub::poll(float delta) {
    std::vector<PadHappening> said;
    if (!started) {
        return said;
    }
    SDL_Event event;
    SDL_PumpEvents();
    // Only pad events are read; anything else SDL queues (little, without its
    // video) is dropped rather than left to pile up.
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_JOYAXISMOTION - 1);
    SDL_FlushEvents(SDL_CONTROLLERSENSORUPDATE + 1, SDL_LASTEVENT);
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_JOYAXISMOTION, SDL_CONTROLLERSENSORUPDATE) > 0) {
        switch (event.type) {
        case SDL_JOYDEVICEADDED:
            open(event.jdevice.which, said);
            break;
        case SDL_JOYDEVICEREMOVED:
            close(event.jdevice.which, said);
            break;
        case SDL_CONTROLLERBUTTONDOWN: {
            const auto found = pads.find(event.cbutton.which);
            PadButton button = PadButton::south;
            if (found != pads.end() && buttonFromSdl(event.cbutton.button, button)) {
                press(found->first, found->second, button, 0, said);
                // Menus hear every pad, owned or not.
                if (button >= PadButton::dpadUp && button <= PadButton::dpadRight) {
                    found->second.dpadHeld[static_cast<int>(button) - static_cast<int>(PadButton::dpadUp)] =
                        true;
                } else if (button == PadButton::south || button == PadButton::east) {
                    PadHappening key;
                    key.kind = PadHappening::Kind::menuKey;
                    key.key = button == PadButton::south ? sf::Keyboard::Enter : sf::Keyboard::Escape;
                    said.push_back(key);
                }
            }
            break;
        }
        case SDL_CONTROLLERBUTTONUP: {
            const auto found = pads.find(event.cbutton.which);
            PadButton button = PadButton::south;
            if (found != pads.end() && buttonFromSdl(event.cbutton.button, button) &&
                button >= PadButton::dpadUp && button <= PadButton::dpadRight) {
                found->second.dpadHeld[static_cast<int>(button) - static_cast<int>(PadButton::dpadUp)] =
                    false;
            }
            break;
        }
        case SDL_CONTROLLERAXISMOTION: {
            const auto found = pads.find(event.caxis.which);
            const bool left = event.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT;
            if (found == pads.end() || (!left && event.caxis.axis != SDL_CONTROLLER_AXIS_TRIGGERRIGHT)) {
                break;
            }
            bool& wasDown = found->second.triggerDown[left ? 0 : 1];
            const bool down = fromSdlAxis(event.caxis.value) > triggerPressPoint;
            if (down && !wasDown) {
                press(found->first, found->second, left ? PadButton::leftTrigger : PadButton::rightTrigger, 0,
                      said);
            }
            wasDown = down;
            break;
        }
        case SDL_JOYBUTTONDOWN: {
            // A mapped pad's raw buttons are its standard ones, said above.
            const auto found = pads.find(event.jbutton.which);
            if (found != pads.end() && !found->second.controller) {
                press(found->first, found->second, PadButton::count, event.jbutton.button, said);
            }
            break;
        }
        default:
            break;
        }
    }
    for (auto& entry : pads) {
        if (entry.second.controller) {
            followMenuDirection(entry.second, delta, said);
        }
    }
    return said;
}

void GamepadHub::open(int deviceIndex, std::vector<PadHappening>& said) {
    Pad pad;
    if (SDL_IsGameController(deviceIndex)) {
        pad.controller = SDL_GameControllerOpen(deviceIndex);
        pad.joystick = pad.controller ? SDL_GameControllerGetJoystick(pad.controller) : nullptr;
    } else {
        pad.joystick = SDL_JoystickOpen(deviceIndex);
    }
    if (!pad.joystick) {
        reportProblem("Game pads: a pad could not be opened (%s)", SDL_GetError());
        return;
    }
    const int instance = SDL_JoystickInstanceID(pad.joystick);
    pad.identity = identityOf(pad.joystick);
    // Opened twice (an added event for a pad already open): the first stays.
    if (pads.count(instance)) {
        if (pad.controller) {
            SDL_GameControllerClose(pad.controller);
        } else {
            SDL_JoystickClose(pad.joystick);
        }
        return;
    }
    const PadIdentity identity = pad.identity;
    pads.emplace(instance, pad);
    const int slot = ownership.attach(instance, identity);
    if (slot >= 0) {
        PadHappening back;
        back.kind = PadHappening::Kind::returned;
        back.slot = slot;
        back.name = identity.name;
        said.push_back(back);
    }
}

void GamepadHub::close(int instance, std::vector<PadHappening>& said) {
    const auto found = pads.find(instance);
    if (found == pads.end()) {
        return;
    }
    if (found->second.controller) {
        SDL_GameControllerClose(found->second.controller);
    } else {
        SDL_JoystickClose(found->second.joystick);
    }
    pads.erase(found);
    const int slot = ownership.detach(instance);
    if (slot >= 0) {
        PadHappening lost;
        lost.kind = PadHappening::Kind::lost;
        lost.slot = slot;
        said.push_back(lost);
    }
}

void GamepadHub::press(int instance, Pad& pad, PadButton button, unsigned int rawButton,
                       std::vector<PadHappening>& said) {
    if (button == PadButton::count && rawButton >= inputCodes::rawButtonsPerPad) {
        return;
    }
    const bool wasFree = ownership.slotOf(instance) < 0;
    const int slot = ownership.claim(instance, pad.identity);
    if (slot < 0) {
        return;
    }
    if (wasFree) {
        PadHappening claimed;
        claimed.kind = PadHappening::Kind::claimed;
        claimed.slot = slot;
        claimed.name = pad.identity.name;
        said.push_back(claimed);
    }
    PadHappening pressed;
    pressed.kind = PadHappening::Kind::pressed;
    pressed.slot = slot;
    pressed.code = button == PadButton::count
                       ? inputCodes::joystickButton(static_cast<unsigned int>(slot), rawButton)
                       : inputCodes::padButton(static_cast<unsigned int>(slot), button);
    said.push_back(pressed);
}

void GamepadHub::followMenuDirection(Pad& pad, float delta, std::vector<PadHappening>& said) {
    // The d-pad first; else the left stick's stronger axis past its point.
    sf::Keyboard::Key direction = sf::Keyboard::Unknown;
    for (int i = 0; i < 4; ++i) {
        if (pad.dpadHeld[i]) {
            direction = dpadKeys[i];
            break;
        }
    }
    if (direction == sf::Keyboard::Unknown) {
        const float x = fromSdlAxis(SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTX));
        const float y = fromSdlAxis(SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTY));
        if (std::max(std::abs(x), std::abs(y)) > menuStickPoint) {
            direction = std::abs(x) > std::abs(y) ? (x < 0 ? sf::Keyboard::Left : sf::Keyboard::Right)
                                                  : (y < 0 ? sf::Keyboard::Up : sf::Keyboard::Down);
        }
    }
    const bool fresh = direction != pad.menuDirection;
    pad.menuDirection = direction;
    if (direction == sf::Keyboard::Unknown) {
        return;
    }
    if (fresh) {
        pad.menuRepeatIn = menuRepeatDelay;
    } else {
        pad.menuRepeatIn -= delta;
        if (pad.menuRepeatIn > 0.0f) {
            return;
        }
        pad.menuRepeatIn += menuRepeatInterval;
    }
    PadHappening key;
    key.kind = PadHappening::Kind::menuKey;
    key.key = direction;
    said.push_back(key);
}

const GamepadHub::Pad* GamepadHub::padOf(int slot) const {
    const auto found = pads.find(ownership.padIn(slot));
    return found == pads.end() ? nullptr : &found->second;
}

bool GamepadHub::isConnected(int slot) const {
    return padOf(slot) != nullptr;
}

bool GamepadHub::isMapped(int slot) const {
    const Pad* pad = padOf(slot);
    return pad && pad->controller;
}

bool GamepadHub::isButtonDown(int slot, PadButton button) const {
    const Pad* pad = padOf(slot);
    if (!pad || !pad->controller) {
        return false;
    }
    if (button == PadButton::leftTrigger || button == PadButton::rightTrigger) {
        return axisPosition(slot,
                            button == PadButton::leftTrigger ? PadAxis::leftTrigger : PadAxis::rightTrigger) >
               triggerPressPoint;
    }
    const auto index = static_cast<size_t>(button);
    return index < sdlButtonCount && SDL_GameControllerGetButton(pad->controller, sdlButtons[index]) != 0;
}

float GamepadHub::axisPosition(int slot, PadAxis axis) const {
    const Pad* pad = padOf(slot);
    const auto index = static_cast<size_t>(axis);
    if (!pad || !pad->controller || index >= static_cast<size_t>(PadAxis::count)) {
        return 0.0f;
    }
    return fromSdlAxis(SDL_GameControllerGetAxis(pad->controller, sdlAxes[index]));
}

bool GamepadHub::isRawButtonDown(int slot, unsigned int button) const {
    const Pad* pad = padOf(slot);
    return pad && !pad->controller && static_cast<int>(button) < SDL_JoystickNumButtons(pad->joystick) &&
           SDL_JoystickGetButton(pad->joystick, static_cast<int>(button)) != 0;
}

bool GamepadHub::hasRawAxis(int slot, sf::Joystick::Axis axis) const {
    const Pad* pad = padOf(slot);
    if (!pad || pad->controller) {
        return false;
    }
    // SFML's numbering: six axes, then the first hat as PovX and PovY.
    if (axis == sf::Joystick::PovX || axis == sf::Joystick::PovY) {
        return SDL_JoystickNumHats(pad->joystick) > 0;
    }
    return static_cast<int>(axis) < SDL_JoystickNumAxes(pad->joystick);
}

float GamepadHub::rawAxisPosition(int slot, sf::Joystick::Axis axis) const {
    if (!hasRawAxis(slot, axis)) {
        return 0.0f;
    }
    SDL_Joystick* joystick = padOf(slot)->joystick;
    if (axis == sf::Joystick::PovX || axis == sf::Joystick::PovY) {
        const Uint8 hat = SDL_JoystickGetHat(joystick, 0);
        if (axis == sf::Joystick::PovX) {
            return (hat & SDL_HAT_LEFT) ? -100.0f : (hat & SDL_HAT_RIGHT) ? 100.0f : 0.0f;
        }
        return (hat & SDL_HAT_UP) ? -100.0f : (hat & SDL_HAT_DOWN) ? 100.0f : 0.0f;
    }
    return 100.0f * fromSdlAxis(SDL_JoystickGetAxis(joystick, static_cast<int>(axis)));
}

std::string GamepadHub::padName(int slot) const {
    return ownership.identityOf(slot).name;
}

bool GamepadHub::rumble(int slot, float strength, float seconds) {
    const Pad* pad = padOf(slot);
    if (!pad || !pad->joystick) {
        return false;
    }
    const auto level = static_cast<Uint16>(std::lround(std::clamp(strength, 0.0f, 1.0f) * 0xFFFF));
    const auto milliseconds = static_cast<Uint32>(std::lround(std::max(0.0f, seconds) * 1000.0f));
    return SDL_JoystickRumble(pad->joystick, level, level, milliseconds) == 0;
}
