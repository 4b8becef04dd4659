#include "audio/AudioSourceComponent.hpp"

AudioSourceComponent::~AudioSourceComponent() {
    if (sound) {
        sound->stop();
    }
}

void AudioSourceComponent::setSound(const std::shared_ptr<sf::Sound>& newSound) {
    if (sound) {
        sound->stop();
    }
    sound = newSound;
}

void AudioSourceComponent::setVolume(float newVolume) {
    volume = newVolume;
    if (sound) {
        sound->setVolume(volume);
    }
}
