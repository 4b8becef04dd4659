#pragma once

// The arena's two players' controllers, those there are (benchmarks only).

#include <memory>
#include <vector>

#include "game/player/PlayerControllerComponent.hpp"
#include "scene/GameObjectManager.hpp"

inline std::vector<std::shared_ptr<PlayerControllerComponent>> arenaPlayers() {
    std::vector<std::shared_ptr<PlayerControllerComponent>> found;
    for (const char* name : {"Player1", "Player2"}) {
        if (auto object = GameObjectManager::instance().findGameObject(name)) {
            if (auto controller = object->getComponent<PlayerControllerComponent>()) {
                found.push_back(controller);
            }
        }
    }
    return found;
}
