#include "game/states/ControlsPage.hpp"

#include "app/GuiManager.hpp"
#include "core/input/InputManager.hpp"
#include "game/states/ButtonSounds.hpp"
#include "widgets/Button.hpp"
#include "widgets/Label.hpp"

namespace {
const char* const waitingText = "press a key";

// The keys the window itself answers (debug view, fullscreen, screenshot)
// are not bound: they would do both.
bool isWindowKey(sf::Keyboard::Key key) {
    return key == sf::Keyboard::F3 || key == sf::Keyboard::F11 || key == sf::Keyboard::F12;
}

std::string layoutText(Player2Keys layout) {
    return layout == Player2Keys::laptop ? "Player 2 keys: laptop" : "Player 2 keys: number pad";
}

// Every registered action and axis: what a reset changes.
std::vector<std::string> everyBinding(const InputManager& input) {
    std::vector<std::string> names;
    for (const auto& entry : input.actions) {
        names.push_back(entry.first);
    }
    for (const auto& entry : input.axes) {
        names.push_back(entry.first);
    }
    return names;
}
} // namespace

std::string bindingText(const BindingSlot& slot) {
    const auto& input = InputManager::instance();
    const int32_t key = slotKey(input, slot);
    const int32_t pad = slotPadButton(input, slot);
    if (pad < 0) {
        return inputCodeName(key);
    }
    return (key < 0 ? "" : inputCodeName(key) + "  \xC2\xB7  ") + inputCodeName(pad);
}

void showBindings(const std::string& page) {
    auto& gui = GuiManager::instance();
    for (const auto& slot : bindingSlots()) {
        if (const auto button = gui.getWidget<widgets::Button>(page, slot.widget)) {
            button->setText(bindingText(slot));
        } else if (const auto label = gui.getWidget<widgets::Label>(page, slot.widget)) {
            label->setText(bindingText(slot));
        }
    }
}

ControlsPage::ControlsPage(const float& effectsVolume) : effectsVolume(effectsVolume) {
    for (const auto& slot : bindingSlots()) {
        connectButton(page, slot.widget, effectsVolume, [this, &slot] {
            playButtonSound("click", this->effectsVolume);
            startWaiting(slot);
        });
    }
    connectButton(page, "Player2Keys", effectsVolume, [this] {
        playButtonSound("click", this->effectsVolume);
        stopWaiting();
        layout = layout == Player2Keys::laptop ? Player2Keys::numberPad : Player2Keys::laptop;
        report(bindPlayer2Layout(InputManager::instance(), layout));
    });
    connectButton(page, "ResetBindings", effectsVolume, [this] {
        playButtonSound("click", this->effectsVolume);
        stopWaiting();
        auto& input = InputManager::instance();
        restoreDefaultBindings(input, layout);
        report(everyBinding(input));
    });
    show();
}

ControlsPage::~ControlsPage() {
    stopWaiting();
}

void ControlsPage::setLayout(Player2Keys chosen) {
    layout = chosen;
    show();
}

void ControlsPage::show() {
    showBindings(page);
    auto& gui = GuiManager::instance();
    if (const auto button = gui.getWidget<widgets::Button>(page, "Player2Keys")) {
        button->setText(layoutText(layout));
    }
    if (waiting) {
        if (const auto button = gui.getWidget<widgets::Button>(page, waiting->widget)) {
            button->setText(waitingText);
        }
    }
}

void ControlsPage::startWaiting(const BindingSlot& slot) {
    waiting = &slot;
    waited = 0.0f;
    GuiManager::instance().eventCapture = [this](const sf::Event& event) { return capture(event); };
    GuiManager::instance().padCapture = [this](int32_t code) {
        bind(code);
        return true;
    };
    show();
}

void ControlsPage::stopWaiting() {
    if (!waiting) {
        return;
    }
    waiting = nullptr;
    GuiManager::instance().eventCapture = nullptr;
    GuiManager::instance().padCapture = nullptr;
    show();
}

void ControlsPage::update(float delta) {
    if (escapeHeld && !InputManager::instance().isCodeDown(sf::Keyboard::Escape)) {
        escapeHeld = false;
    }
    if (!waiting) {
        return;
    }
    waited += delta;
    if (waited >= waitLimit || !GuiManager::instance().isVisible(page)) {
        stopWaiting();
    }
}

bool ControlsPage::holdsEscape() const {
    return waiting || escapeHeld;
}

bool ControlsPage::capture(const sf::Event& event) {
    switch (event.type) {
    case sf::Event::KeyPressed:
        if (event.key.code == sf::Keyboard::Escape) {
            escapeHeld = true;
            stopWaiting();
        } else if (event.key.code != sf::Keyboard::Unknown && !isWindowKey(event.key.code)) {
            bind(event.key.code);
        }
        return true;
    case sf::Event::MouseButtonPressed:
        // A click elsewhere is a change of mind, not a press of what it hits.
        stopWaiting();
        return true;
    default:
        // Releases, moves, focus: the widgets and the input still follow them.
        return false;
    }
}

void ControlsPage::bind(int32_t code) {
    const BindingSlot& slot = *waiting;
    stopWaiting();
    report(bindSlot(InputManager::instance(), slot, code));
}

void ControlsPage::report(const std::vector<std::string>& names) {
    show();
    if (changed && !names.empty()) {
        changed(names, layout);
    }
}
