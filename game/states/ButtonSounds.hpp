#pragma once

#include <functional>
#include <string>

// The menus' buttons all sound alike: "hover" when the mouse enters them,
// "click" when they are pressed, both at the owning state's effects volume
// x 50 (effects volume is a 0..1 factor; SFML volumes run 0..100).

// Plays one of the button sounds ("hover", "click") once.
void playButtonSound(const std::string& sound, float effectsVolume);

// Connects the button `button` of the page `page`: the hover sound when the
// mouse enters it and `onPress` when it is pressed (`onPress` plays "click"
// itself, so that a press can defer its click). `effectsVolume` is observed
// and read at each hover: it must outlive the page (the states own it and
// live until the program ends). A page that was loaded but has no such button
// is reported in one line; a page that failed to load was reported already.
void connectButton(const std::string& page, const std::string& button, const float& effectsVolume,
                   std::function<void()> onPress);
