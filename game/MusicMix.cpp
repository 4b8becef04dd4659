#include "game/MusicMix.hpp"

#include <algorithm>

#include "audio/SoundManager.hpp"

bool MusicMix::step(float delta, const std::string& matchMusic, sf::Music* title) {
    auto& sounds = SoundManager::instance();
    if (!matchMusic.empty() && matchMusic != matchTrackName) {
        // A new match's track (another arena's, or the first): from the top.
        if (matchTrack) {
            matchTrack->stop();
        }
        matchTrack = sounds.playMusic(matchMusic, true, 1.0f, 0.0f);
        matchTrackName = matchMusic;
    }
    const float wanted = matchMusic.empty() ? 0.0f : 1.0f;
    if (mix == wanted) {
        return false;
    }
    if (title && wanted == 0.0f && title->getStatus() == sf::SoundSource::Paused) {
        title->play();
    }
    const float change = crossfadeTime > 0.0f ? delta / crossfadeTime : 1.0f;
    mix = wanted > mix ? std::min(wanted, mix + change) : std::max(wanted, mix - change);
    if (mix == 1.0f && title && title->getStatus() == sf::SoundSource::Playing) {
        title->pause();
    }
    if (mix == 0.0f && matchTrack) {
        matchTrack->stop();
        matchTrack.reset();
        matchTrackName.clear();
    }
    return true;
}
