#include "game/GameReset.hpp"

#include "app/Engine.hpp"
#include "game/GameContent.hpp"
#include "game/player/CharacterFrameStore.hpp"
#include "game/player/PadRumble.hpp"

void resetGame() {
    // The engine first: its objects' animators are the other holders of the frames.
    resetEngine();
    CharacterFrameStore::instance().reset();
    forgetCharacterArtRead();
    padRumble::setEnabled(true);
}
