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

std::function<void()> AudioSourceComponent::keepShown() {
    const auto status = sound ? sound->getStatus() : sf::SoundSource::Stopped;
    const auto offset = sound ? sound->getPlayingOffset() : sf::Time::Zero;
    return [this, held = sound, status, offset] {
        if (sound && sound != held) {
            sound->stop();
        }
        sound = held;
        if (!sound) {
            return;
        }
        const auto now = sound->getStatus();
        if (status == sf::SoundSource::Stopped) {
            if (now != sf::SoundSource::Stopped) {
                sound->stop();
            }
            return;
        }
        // Went on as it was (started again, it would be back near its start).
        if (now == status && sound->getPlayingOffset() >= offset) {
            return;
        }
        sound->play();
        sound->setPlayingOffset(offset);
        if (status == sf::SoundSource::Paused) {
            sound->pause();
        }
    };
}
