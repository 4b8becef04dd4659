#pragma once

#include <memory>

#include "scene/GameObjectManager.hpp"

// Registers the arena game's map-object creators ("healthbar") with the
// component registry. Must run before any map is instantiated; registering
// twice is harmless (the first registration of a key wins).
void registerGameCreators(GameObjectManager& manager);

// A HealthBarComponent with its defaults; the creator reads no settings.
std::shared_ptr<Component> createHealthBar(std::shared_ptr<GameObject> gameObject, PropertyMap properties);
