#include "game/player/PlayerSounds.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "audio/AudioSourceComponent.hpp"

std::shared_ptr<sf::Sound> soundAt(const std::vector<std::shared_ptr<sf::Sound>>& list, long long raw) {
    if (list.empty()) {
        return nullptr;
    }
    const auto count = static_cast<unsigned long long>(list.size());
    return list[static_cast<std::size_t>(static_cast<unsigned long long>(std::llabs(raw)) % count)];
}

std::shared_ptr<sf::Sound> soundByTime(const std::vector<std::shared_ptr<sf::Sound>>& list, float time,
                                       int spread) {
    // The remainder keeps the sign of the dividend, as the sound tables were tuned with.
    const long long millis = static_cast<long long>(time * 1000.0f);
    return soundAt(list, millis % spread);
}

std::shared_ptr<sf::Sound> soundByStrength(const std::vector<std::shared_ptr<sf::Sound>>& list, float d) {
    if (list.empty()) {
        return nullptr;
    }
    // A float goes to an unsigned type only when it is in range; negative
    // strengths (slow hits) go through a signed integer first, whose
    // conversion to unsigned is defined (it wraps).
    const float scaled = std::clamp(d * 100.0f, -2.0e9f, 2.0e9f);
    const auto wrapped = static_cast<uint32_t>(static_cast<int32_t>(scaled));
    return list[wrapped % list.size()];
}

void playOn(const std::shared_ptr<AudioSourceComponent>& source, const std::shared_ptr<sf::Sound>& sound) {
    if (!source || !sound) {
        return;
    }
    source->setSound(sound);
    sound->play();
    sound->setPitch(source->pitch);
    sound->setVolume(source->volume);
}

bool isPlaying(const std::shared_ptr<AudioSourceComponent>& source) {
    return source && source->sound && source->sound->getStatus() == sf::Sound::Playing;
}
