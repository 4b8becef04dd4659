#pragma once

#include <memory>

#include <SFML/Audio/Sound.hpp>

#include "scene/Component.hpp"

// One reusable voice of a game object: holds one sound at a time with the
// volume and pitch it is to be played at, so a burst of identical events
// cannot pile up. The caller starts the held sound, then applies `pitch`
// and `volume`. Sounds from the SoundManager keep their buffer alive.
class AudioSourceComponent : public Component {
public:
    // Stops the held sound.
    ~AudioSourceComponent() override;

    // Stops the held sound, if any, and holds the new one instead.
    void setSound(const std::shared_ptr<sf::Sound>& newSound);
    // Stores the volume (SFML's 0..100) and applies it to the held sound at once.
    void setVolume(float newVolume);
    // The sound held, and where it plays: a sound started since is stopped.
    std::function<void()> keepShown() override;

    std::shared_ptr<sf::Sound> sound;
    float volume = 100.0f;
    float pitch = 1.0f;
};
