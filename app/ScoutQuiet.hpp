#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <SFML/Audio/SoundSource.hpp>

// While it lives, a look ahead plays the match unheard: the listener is
// silent. Made before the look ahead leaves the frame shown and ended after
// that frame is put back, it puts back what only shows on the objects of
// that frame (Component::keepShown) and stops every sound started meanwhile,
// so nothing of the frames played ahead is seen or heard.
class ScoutQuiet {
public:
    ScoutQuiet();
    ~ScoutQuiet();
    ScoutQuiet(const ScoutQuiet&) = delete;
    ScoutQuiet& operator=(const ScoutQuiet&) = delete;

private:
    float volume;
    std::vector<std::function<void()>> putBack;
    // The sounds the SoundManager played when it began.
    std::vector<std::shared_ptr<sf::SoundSource>> playing;
};
