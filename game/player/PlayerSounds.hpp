#pragma once

#include <memory>
#include <vector>

#include <SFML/Audio/Sound.hpp>

class AudioSourceComponent;

// Choosing and starting the player's sounds. A list entry is empty when its
// file failed to load; such an entry, or an empty list, plays nothing.

// The entry at abs(raw) mod the list length; empty for an empty list.
std::shared_ptr<sf::Sound> soundAt(const std::vector<std::shared_ptr<sf::Sound>>& list, long long raw);

// The sound picked from the elapsed time: (milliseconds mod `spread`), then
// as `soundAt`. The fling and jump sounds spread over 4, the cut sounds over 7.
std::shared_ptr<sf::Sound> soundByTime(const std::vector<std::shared_ptr<sf::Sound>>& list, float time,
                                       int spread);

// The impact sound of strength d: (d x 100) as an integer, taken as an
// unsigned 32-bit number (so slow hits, with negative d, wrap around), mod
// the list length.
std::shared_ptr<sf::Sound> soundByStrength(const std::vector<std::shared_ptr<sf::Sound>>& list, float d);

// Puts `sound` on the source and starts it with the source's pitch and
// volume. Nothing when either is empty.
void playOn(const std::shared_ptr<AudioSourceComponent>& source, const std::shared_ptr<sf::Sound>& sound);

// Whether the source holds a sound that is playing now.
bool isPlaying(const std::shared_ptr<AudioSourceComponent>& source);
