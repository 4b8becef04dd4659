#include "game/states/ButtonSounds.hpp"

#include "app/GuiManager.hpp"
#include "audio/SoundManager.hpp"
#include "core/Report.hpp"
#include "widgets/Button.hpp"

void playButtonSound(const std::string& sound, float effectsVolume) {
    SoundManager::instance().playSound(sound, false, effectsVolume * 50.0f, 1.0f);
}

void connectButton(const std::string& page, const std::string& button, const float& effectsVolume,
                   std::function<void()> onPress) {
    auto& gui = GuiManager::instance();
    const auto widget = gui.getWidget<widgets::Button>(page, button);
    if (!widget) {
        if (gui.groups.count(page)) {
            reportProblem("Page %s (%s) has no button %s; it does nothing", page.c_str(),
                          gui.formOf(page).c_str(), button.c_str());
        }
        return;
    }
    const float* volume = &effectsVolume;
    widget->onMouseEnter.connect([volume] { playButtonSound("hover", *volume); });
    widget->onPress.connect(std::move(onPress));
}
