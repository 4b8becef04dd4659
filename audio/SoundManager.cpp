#include "audio/SoundManager.hpp"

#include "core/ContentRoot.hpp"

namespace {
// A sound together with the buffer it plays; the sound is declared last so
// it is destroyed (and detached from OpenAL) before its buffer is released.
struct BufferedSound {
    explicit BufferedSound(std::shared_ptr<sf::SoundBuffer> samples)
        : buffer(std::move(samples)), sound(*buffer) {}
    std::shared_ptr<sf::SoundBuffer> buffer;
    sf::Sound sound;
};
} // namespace

SoundManager& SoundManager::instance() {
    static SoundManager manager;
    return manager;
}

SoundManager::~SoundManager() {
    stop("");
}

void SoundManager::reset() {
    replaceWithFresh(*this, SoundManager());
}

std::string SoundManager::pathOf(const std::string& name) const {
    auto found = soundPaths.find(name);
    return contentPath(found != soundPaths.end() ? found->second : name);
}

void SoundManager::playSilent() {
    stop("");
    silent = true;
}

std::shared_ptr<sf::Sound> SoundManager::createSound(const std::string& name) {
    if (silent) {
        return nullptr;
    }
    std::shared_ptr<sf::SoundBuffer> buffer;
    auto found = buffers.find(name);
    if (found != buffers.end()) {
        buffer = found->second;
    } else {
        buffer = std::make_shared<sf::SoundBuffer>();
        // Not cached on failure, so a later request tries the file again.
        if (!buffer->loadFromFile(pathOf(name))) {
            return nullptr;
        }
        buffers.emplace(name, buffer);
    }
    auto holder = std::make_shared<BufferedSound>(std::move(buffer));
    return std::shared_ptr<sf::Sound>(holder, &holder->sound);
}

std::shared_ptr<sf::Music> SoundManager::createMusic(const std::string& name) {
    if (silent) {
        return nullptr;
    }
    auto music = std::make_shared<sf::Music>();
    if (!music->openFromFile(pathOf(name))) {
        return nullptr;
    }
    return music;
}

template <class Source>
std::shared_ptr<Source> SoundManager::start(std::shared_ptr<Source> source, const std::string& name,
                                            bool loop, float pitch, float volume) {
    if (!source) {
        return nullptr;
    }
    source->setLoop(loop);
    source->setPitch(pitch);
    source->setVolume(volume);
    source->play();
    playing.push_back({source, name});
    return source;
}

std::shared_ptr<sf::Sound> SoundManager::playSound(const std::string& name, bool loop, float volume,
                                                   float pitch) {
    return start(createSound(name), name, loop, pitch, volume);
}

std::shared_ptr<sf::Music> SoundManager::playMusic(const std::string& name, bool loop, float pitch,
                                                   float volume) {
    return start(createMusic(name), name, loop, pitch, volume);
}

void SoundManager::removeStopped() {
    for (size_t i = 0; i < playing.size();) {
        if (playing[i].source->getStatus() == sf::SoundSource::Stopped) {
            playing.erase(playing.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

void SoundManager::stop(const std::string& name) {
    if (name.empty()) {
        for (auto& entry : playing) {
            entry.source->stop();
        }
        playing.clear();
        return;
    }
    for (auto& entry : playing) {
        if (entry.name == name) {
            entry.source->stop();
        }
    }
    removeStopped();
}
