#include "core/input/InputManager.hpp"

#include <algorithm>
#include <iterator>

#include "core/FreshState.hpp"
#include "core/input/SfmlInputBackend.hpp"
#include "core/input/StickDeadZone.hpp"
#include "core/input/VirtualKeysInputBackend.hpp"

namespace {
// The raw axis read with this one for a stick's round dead zone.
sf::Joystick::Axis rawStickPartner(sf::Joystick::Axis axis) {
    switch (axis) {
    case sf::Joystick::X:
        return sf::Joystick::Y;
    case sf::Joystick::Y:
        return sf::Joystick::X;
    case sf::Joystick::Z:
        return sf::Joystick::R;
    case sf::Joystick::R:
        return sf::Joystick::Z;
    case sf::Joystick::U:
        return sf::Joystick::V;
    case sf::Joystick::V:
        return sf::Joystick::U;
    case sf::Joystick::PovX:
        return sf::Joystick::PovY;
    default:
        return sf::Joystick::PovX;
    }
}
constexpr float rawAxisRange = 100.0f;
} // namespace

InputManager& InputManager::instance() {
    static InputManager manager;
    return manager;
}

void InputManager::reset() {
    replaceWithFresh(*this, InputManager());
}

InputManager::InputManager() : backend(std::make_shared<SfmlInputBackend>()) {}

void InputManager::setBackend(std::shared_ptr<InputBackend> replacement) {
    backend = replacement ? std::move(replacement) : std::make_shared<SfmlInputBackend>();
    backend->setWindowFocused(windowFocused);
}

void InputManager::setWindowFocused(bool focused) {
    windowFocused = focused;
    backend->setWindowFocused(focused);
    if (!focused) {
        // Keys let go while another window has the focus send no release here.
        heldByEvents.clear();
    }
}

void InputManager::saveSampled(SampledState& into) const {
    into.actions.clear();
    for (const auto& [name, action] : actions) {
        into.actions.push_back({action->fired, action->down, action->tapped});
    }
    into.axes.clear();
    for (const auto& [name, axis] : axes) {
        into.axes.push_back(axis->sampledValue);
    }
    into.latchedPresses = latchedPresses;
    into.heldSincePageOpened = heldSincePageOpened;
    into.pagePresses = pagePresses;
    into.takenByPage = takenByPage;
    into.pageOpen = pageOpen;
    into.virtualKeys.clear();
    if (auto keyboard = std::dynamic_pointer_cast<VirtualKeysInputBackend>(backend)) {
        into.virtualKeys = keyboard->heldKeys();
    }
}

void InputManager::restoreSampled(const SampledState& saved) {
    replaySampling(saved);
    latchedPresses = saved.latchedPresses;
    heldSincePageOpened = saved.heldSincePageOpened;
    pagePresses = saved.pagePresses;
    takenByPage = saved.takenByPage;
    pageOpen = saved.pageOpen;
    if (auto keyboard = std::dynamic_pointer_cast<VirtualKeysInputBackend>(backend)) {
        keyboard->holdOnly(saved.virtualKeys);
    }
}

void InputManager::replaySampling(const SampledState& sampled) {
    size_t index = 0;
    for (auto& [name, action] : actions) {
        if (index < sampled.actions.size()) {
            const auto& state = sampled.actions[index++];
            action->fired = state.fired;
            action->down = state.down;
            action->tapped = state.tapped;
        }
    }
    index = 0;
    for (auto& [name, axis] : axes) {
        if (index < sampled.axes.size()) {
            axis->sampledValue = sampled.axes[index++];
        }
    }
    latchedPresses.clear();
    pagePresses.clear();
}

void InputManager::releaseAll() {
    for (auto& [name, action] : actions) {
        action->fired = action->down = action->tapped = false;
    }
    for (auto& [name, axis] : axes) {
        axis->sampledValue = 0.0f;
    }
}

void InputManager::setPageOpen(bool open) {
    if (open == pageOpen) {
        return;
    }
    pageOpen = open;
    if (open) {
        // Presses since the last sampling came after the page opened.
        heldSincePageOpened.clear();
        for (const int32_t code : boundCodes()) {
            if (!latchedPresses.count(code) && isCodeDown(code)) {
                heldSincePageOpened.insert(code);
            }
        }
        return;
    }
    for (const int32_t code : boundCodes()) {
        if (!heldSincePageOpened.count(code) && isDeviceDown(code)) {
            takenByPage.insert(code);
        }
    }
    heldSincePageOpened.clear();
    // The presses that worked the page (the one that closed it too) were its own.
    for (const int32_t code : pagePresses) {
        latchedPresses.erase(code);
    }
    pagePresses.clear();
}

std::set<int32_t> InputManager::boundCodes() const {
    std::set<int32_t> codes;
    for (const auto& [name, action] : actions) {
        codes.insert(action->codes.begin(), action->codes.end());
    }
    for (const auto& [name, axis] : axes) {
        for (const auto& [code, value] : axis->keyValues) {
            codes.insert(code);
        }
    }
    return codes;
}

void InputManager::forgetReleased(std::set<int32_t>& codes) const {
    for (auto code = codes.begin(); code != codes.end();) {
        code = isDeviceDown(*code) ? std::next(code) : codes.erase(code);
    }
}

void InputManager::latchPress(int32_t code) {
    latchedPresses.insert(code);
    if (pageOpen) {
        pagePresses.insert(code);
    }
}

void InputManager::addAction(const std::string& name, bool continuous) {
    actions.emplace(name, std::make_shared<InputEventConfig>(name, continuous));
}

void InputManager::addKey(const std::string& name, int32_t code) {
    const auto found = actions.find(name);
    if (found != actions.end()) {
        found->second->codes.push_back(code);
    }
}

void InputManager::addJoystickButton(const std::string& name, unsigned int button, unsigned int joystick) {
    addKey(name, inputCodes::joystickButton(joystick, button));
}

void InputManager::addPadButton(const std::string& name, PadButton button, unsigned int slot) {
    addKey(name, inputCodes::padButton(slot, button));
}

void InputManager::addPadAxis(const std::string& name, PadAxis axis, unsigned int slot) {
    const auto found = axes.find(name);
    if (found != axes.end()) {
        found->second->padAxes.emplace_back(axis, slot);
    }
}

void InputManager::addAxis(const std::string& name) {
    axes.emplace(name, std::make_shared<AxisInputConfig>(name));
}

void InputManager::addAxisKey(const std::string& name, int32_t code, float value) {
    const auto found = axes.find(name);
    if (found != axes.end()) {
        found->second->keyValues.emplace(code, value);
    }
}

void InputManager::addJoystickAxis(const std::string& name, sf::Joystick::Axis axis, unsigned int joystick) {
    const auto found = axes.find(name);
    if (found != axes.end()) {
        found->second->joystickAxes.emplace_back(axis, joystick);
    }
}

bool InputManager::isCodeDown(int32_t code) const {
    return !takenByPage.count(code) && isDeviceDown(code);
}

bool InputManager::isDeviceDown(int32_t code) const {
    // The range checks keep SFML from indexing past its device tables.
    if (code < 0) {
        return false;
    }
    if (code < firstMouseCode) {
        return code < sf::Keyboard::KeyCount && backend->isKeyPressed(static_cast<sf::Keyboard::Key>(code));
    }
    if (code < firstJoystickCode) {
        const int32_t button = code - firstMouseCode;
        return button < sf::Mouse::ButtonCount &&
               backend->isMouseButtonPressed(static_cast<sf::Mouse::Button>(button));
    }
    if (code < inputCodes::firstPad) {
        const auto joystick = static_cast<unsigned int>((code - firstJoystickCode) / 100);
        const auto button = static_cast<unsigned int>((code - firstJoystickCode) % 100);
        return joystick < sf::Joystick::Count && button < sf::Joystick::ButtonCount &&
               backend->isJoystickButtonPressed(joystick, button);
    }
    const auto slot = static_cast<unsigned int>((code - inputCodes::firstPad) / 100);
    const auto index = (code - inputCodes::firstPad) % 100;
    if (slot >= static_cast<unsigned int>(inputCodes::padSlots) ||
        index >= static_cast<int32_t>(PadButton::count)) {
        return false;
    }
    // A trigger is a button once pressed past its press point.
    const auto button = static_cast<PadButton>(index);
    if (button == PadButton::leftTrigger || button == PadButton::rightTrigger) {
        const PadAxis trigger =
            button == PadButton::leftTrigger ? PadAxis::leftTrigger : PadAxis::rightTrigger;
        return backend->getPadAxisPosition(slot, trigger) > triggerPressPoint;
    }
    return backend->isPadButtonPressed(slot, button);
}

void InputManager::handleEvent(const sf::Event& event) {
    int32_t code = -1;
    bool pressed = false;
    switch (event.type) {
    case sf::Event::KeyPressed:
    case sf::Event::KeyReleased:
        code = event.key.code;
        pressed = event.type == sf::Event::KeyPressed;
        break;
    case sf::Event::MouseButtonPressed:
    case sf::Event::MouseButtonReleased:
        code = firstMouseCode + static_cast<int32_t>(event.mouseButton.button);
        pressed = event.type == sf::Event::MouseButtonPressed;
        break;
    case sf::Event::LostFocus:
    case sf::Event::GainedFocus:
        setWindowFocused(event.type == sf::Event::GainedFocus);
        return;
    default:
        return;
    }
    // An unknown key (-1) names no button.
    if (code < 0) {
        return;
    }
    if (!pressed) {
        heldByEvents.erase(code);
        heldSincePageOpened.erase(code);
        takenByPage.erase(code);
    } else if (heldByEvents.insert(code).second) {
        latchPress(code);
    }
}

void InputManager::update() {
    forgetReleased(heldSincePageOpened);
    forgetReleased(takenByPage);
    const bool playsActions = backend->playsActions();
    for (auto& entry : actions) {
        // Held: a callback may add actions, which must not pull this one away.
        const std::shared_ptr<InputEventConfig> action = entry.second;
        action->fired = false;
        const bool down = playsActions ? backend->isActionDown(action->name) : isDown(*action);
        // A replay brings its recorded presses; live input those the window reported.
        action->tapped = playsActions ? backend->wasActionTapped(action->name) : wasTapped(*action);
        if ((down && (action->continuous || !action->down)) || action->tapped) {
            for (const auto callback : action->callbacks) {
                callback();
            }
            action->fired = true;
        }
        action->down = down;
    }
    latchedPresses.clear();
    pagePresses.clear();
    if (sampleAxesPerFrame) {
        for (auto& entry : axes) {
            entry.second->sampledValue = readAxis(*entry.second);
        }
    }
}

bool InputManager::wasPressed(const std::string& name) const {
    const auto found = actions.find(name);
    return found != actions.end() && found->second->fired;
}

float InputManager::getAxis(const std::string& name) const {
    const auto found = axes.find(name);
    if (found == axes.end()) {
        return 0.0f;
    }
    return sampleAxesPerFrame ? found->second->sampledValue : readAxis(*found->second);
}

bool InputManager::isActionDownOnDevices(const std::string& name) const {
    const auto found = actions.find(name);
    return found != actions.end() && isDown(*found->second);
}

bool InputManager::wasActionTappedOnDevices(const std::string& name) const {
    const auto found = actions.find(name);
    return found != actions.end() && wasTapped(*found->second);
}

float InputManager::readAxisOnDevices(const std::string& name) const {
    const auto found = axes.find(name);
    return found != axes.end() ? readDeviceAxis(*found->second) : 0.0f;
}

bool InputManager::isDown(const InputEventConfig& action) const {
    return std::any_of(action.codes.begin(), action.codes.end(),
                       [this](int32_t code) { return isCodeDown(code); });
}

bool InputManager::wasTapped(const InputEventConfig& action) const {
    return std::any_of(action.codes.begin(), action.codes.end(),
                       [this](int32_t code) { return latchedPresses.count(code) != 0; });
}

float InputManager::readAxis(const AxisInputConfig& axis) const {
    if (backend->playsActions()) {
        return std::clamp(backend->getAxisValue(axis.name), -1.0f, 1.0f);
    }
    return readDeviceAxis(axis);
}

float InputManager::readDeviceAxis(const AxisInputConfig& axis) const {
    float sum = 0.0f;
    for (const auto& [code, value] : axis.keyValues) {
        if (isCodeDown(code)) {
            sum += value;
        }
    }
    for (const auto& [stick, joystick] : axis.joystickAxes) {
        if (joystick < sf::Joystick::Count && static_cast<unsigned int>(stick) < sf::Joystick::AxisCount &&
            backend->isJoystickConnected(joystick) && backend->hasJoystickAxis(joystick, stick)) {
            const sf::Joystick::Axis partner = rawStickPartner(stick);
            const float across = backend->hasJoystickAxis(joystick, partner)
                                     ? backend->getJoystickAxisPosition(joystick, partner) / rawAxisRange
                                     : 0.0f;
            sum +=
                applyStickDeadZone(backend->getJoystickAxisPosition(joystick, stick) / rawAxisRange, across);
        }
    }
    for (const auto& [padAxis, slot] : axis.padAxes) {
        if (slot >= static_cast<unsigned int>(inputCodes::padSlots) || padAxis >= PadAxis::count) {
            continue;
        }
        const PadAxis partner = stickPartner(padAxis);
        // A trigger is a stick of one axis: the same dead zone keeps a resting one quiet.
        const float across = partner == padAxis ? 0.0f : backend->getPadAxisPosition(slot, partner);
        sum += applyStickDeadZone(backend->getPadAxisPosition(slot, padAxis), across);
    }
    return std::clamp(sum, -1.0f, 1.0f);
}
