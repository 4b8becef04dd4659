#include "game/GameCreators.hpp"

#include "game/hud/HealthBarComponent.hpp"

std::shared_ptr<Component> createHealthBar(std::shared_ptr<GameObject> gameObject, PropertyMap) {
    // The HUD only shows.
    gameObject->simulated = false;
    return addComponent<HealthBarComponent>(gameObject);
}

void registerGameCreators(GameObjectManager& manager) {
    manager.registerCreator("healthbar", createHealthBar);
}
