#pragma once

class GameObjectManager;

// Registers the engine's own component creators, in the order the map
// format documents them. The first registration of a key wins, so calling it
// again changes nothing; connectEngine calls it.
void registerBuiltinCreators(GameObjectManager& manager);
