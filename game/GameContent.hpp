#pragma once

#include <string>
#include <utility>
#include <vector>

class AssetManager;
class PhysicsManager;
class SoundManager;

// Content and settings the arena game registers once at start-up. Shared by
// the game's `onInit` and by the tests that build players without the game.
// Missing files are reported by the stores (one line each) and skipped.

// The character atlas (idle, fall, run, jump_idle, jump_run, run_startup)
// that holds the layers of an animation ("run_start" is in "run_startup").
std::string characterAtlasOf(const std::string& animation);
// Reads one character atlas as pixels (`AssetManager::loadAtlasPixels`)
// unless it is read already (or was found broken: it is reported once,
// until it is released).
void loadCharacterAtlas(AssetManager& assets, const std::string& atlas);
// Whether `loadCharacterAtlas` would take the atlas without waiting: it is
// read (or found broken), or its reading is done. Otherwise its reading is
// started on a thread of its own, and false.
bool characterAtlasAtHand(AssetManager& assets, const std::string& atlas);
// Drops one character atlas (up to 21 MB of pixels). The atlases are only
// read while the players' animation frames are composed, which happens once
// per colour scheme (CharacterFrameStore), an atlas at a time.
void releaseCharacterAtlas(AssetManager& assets, const std::string& atlas);
// The particle texture, as "particle.png".
void loadEffectsArt(AssetManager& assets);
// Every character atlas, then the effects' art.
void loadCharacterArt(AssetManager& assets);
// Drops every character atlas (about 90 MB of pixels).
void releaseCharacterArt(AssetManager& assets);
// Forgets which character atlases were read, as at start-up; for when the
// asset manager has been reset under them (resetGame).
void forgetCharacterArtRead();

// Every sound and music name of the game with its file (relative to build/),
// in the game's order.
const std::vector<std::pair<std::string, std::string>>& gameSoundFiles();

// Enters `gameSoundFiles` into the sound table. Nothing is loaded until it is played.
void registerGameSounds(SoundManager& sounds);

// The layers "player1", "beard1", "player2", "beard2", in that order; a
// player's body never collides with its own beard.
void createPlayerCollisionLayers(PhysicsManager& physics);
