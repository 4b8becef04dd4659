#pragma once

#include <memory>
#include <string>

#include <SFML/Audio/Music.hpp>

// Crossfades the music between the title's track and a match's: when a match
// starts its arena's track starts from the beginning, silent, and rises while
// the title's falls, over `crossfadeTime`; when the match ends the title's
// comes back the same way and the match's track, once silent, is let go. The
// title's track is paused while it cannot be heard (and resumes where it
// was), so only one track is decoded at a time outside a crossfade.
//
// Tracks are SoundManager music names; without a sound device or with a
// file that does not open there is no track to fade, and nothing else
// changes. `mix` is what the volumes are set from.
class MusicMix {
public:
    // One frame: moves the mix toward `matchMusic` (empty: toward the title,
    // `title`, which may be empty). True while the mix moves, so the volumes
    // must follow this frame.
    bool step(float delta, const std::string& matchMusic, sf::Music* title);
    // The share of full volume for the title's track and for the match's.
    float titleShare() const { return 1.0f - mix; }
    float matchShare() const { return mix; }

    // Seconds the music takes to go over from one track to the other.
    float crossfadeTime = 2.0f;
    // 0: the title's track alone; 1: the match's alone.
    float mix = 0.0f;
    // The match's track while it plays or fades out, and its name.
    std::shared_ptr<sf::Music> matchTrack;
    std::string matchTrackName;
};
