#pragma once

// Returns the engine (resetEngine, with its order) and then the arena game's
// own process-wide stores to their state at start-up: the composed character
// frames and the record of which character atlases were read (the atlases
// themselves went with the asset manager). The same conditions as resetEngine.
void resetGame();
