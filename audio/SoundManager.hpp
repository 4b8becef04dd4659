#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <SFML/Audio/Music.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>

#include "core/FreshState.hpp"

// Loads sound buffers (cached by name) and music streams (not cached),
// starts them, and keeps every started sound or music alive until it stops,
// so that fire-and-forget sounds need no owner of their own.
//
// Every sound made here shares ownership of its buffer, so no sound can
// outlive the samples it plays, whatever order things are torn down in at
// program exit. Files that cannot be loaded give an empty pointer; SFML
// reports the file error itself.
class SoundManager {
public:
    struct PlayingEntry {
        std::shared_ptr<sf::SoundSource> source;
        std::string name;
    };

    static SoundManager& instance();
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;
    // Back to the just-constructed manager: everything playing is stopped and
    // released, the buffer cache and the sound table are emptied, volumes are 0.
    void reset();

    // A new sound on the buffer of `name` (loaded from soundPaths[name], or
    // from `name` itself as a path, on first use). Owned by the caller.
    std::shared_ptr<sf::Sound> createSound(const std::string& name);
    // A new music stream opened from the file of `name`; empty when it cannot be opened.
    std::shared_ptr<sf::Music> createMusic(const std::string& name);
    // Starts a new sound and keeps it until it stops. Volume is SFML's
    // 0..100, with `soundVolume` already applied by the caller.
    std::shared_ptr<sf::Sound> playSound(const std::string& name, bool loop, float volume, float pitch);
    std::shared_ptr<sf::Music> playMusic(const std::string& name, bool loop, float pitch, float volume);
    // Drops every entry of `playing` that has stopped. Once per fixed step.
    void removeStopped();
    // Stops every entry started under `name`, then drops stopped entries.
    // An empty name stops everything and empties `playing`.
    void stop(const std::string& name);
    // The device was lost while the game runs: everything playing stops and
    // the manager is `silent` from now on. A music stream left running on a
    // lost device would spin its thread refilling buffers nobody plays.
    void playSilent();

    std::vector<PlayingEntry> playing;
    std::map<std::string, std::shared_ptr<sf::SoundBuffer>> buffers;
    // Sound name -> file path, registered by game setup.
    std::map<std::string, std::string> soundPaths;
    // No sound device could be opened (`Game::init` asks soundDeviceOpens),
    // or it was lost (playSilent):
    // nothing is loaded or played, and createSound and createMusic give empty
    // pointers, as for a file that cannot be read. Volumes are kept as ever.
    bool silent = false;
    // Factors callers multiply into the volumes of effects and of music.
    float soundVolume = 0.0f;
    float musicVolume = 0.0f;

private:
    SoundManager() = default;
    // For `reset` only: the singleton is never copied or moved otherwise.
    SoundManager(SoundManager&&) = default;
    SoundManager& operator=(SoundManager&&) = default;
    friend void replaceWithFresh<>(SoundManager&, SoundManager);
    std::string pathOf(const std::string& name) const;
    // Sets looping, pitch and volume, starts the source and keeps it in `playing`.
    template <class Source>
    std::shared_ptr<Source> start(std::shared_ptr<Source> source, const std::string& name, bool loop,
                                  float pitch, float volume);
};
