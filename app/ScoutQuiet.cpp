#include "app/ScoutQuiet.hpp"

#include <algorithm>

#include <SFML/Audio/Listener.hpp>

#include "audio/SoundManager.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

ScoutQuiet::ScoutQuiet() : volume(sf::Listener::getGlobalVolume()) {
    sf::Listener::setGlobalVolume(0.0f);
    GameObjectManager::instance().forEachObject([this](const std::shared_ptr<GameObject>& object) {
        for (const auto& component : object->components) {
            if (auto back = component->keepShown()) {
                putBack.push_back(std::move(back));
            }
        }
    });
    for (const auto& entry : SoundManager::instance().playing) {
        playing.push_back(entry.source);
    }
}

ScoutQuiet::~ScoutQuiet() {
    for (const auto& back : putBack) {
        back();
    }
    for (const auto& entry : SoundManager::instance().playing) {
        if (std::find(playing.begin(), playing.end(), entry.source) == playing.end()) {
            entry.source->stop();
        }
    }
    SoundManager::instance().removeStopped();
    sf::Listener::setGlobalVolume(volume);
}
