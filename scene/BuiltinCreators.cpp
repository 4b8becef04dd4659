#include "scene/BuiltinCreators.hpp"

#include "scene/GameObjectManager.hpp"

void registerBuiltinCreators(GameObjectManager&) {
    // The render and physics creators join here as those components land.
}
