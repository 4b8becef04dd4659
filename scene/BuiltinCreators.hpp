#pragma once

class GameObjectManager;

// Registers the engine's own component creators, in the order the map
// format documents them. Called once by the GameObjectManager's construction.
void registerBuiltinCreators(GameObjectManager& manager);
