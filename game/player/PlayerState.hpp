#pragma once

#include <cstdint>

// Everything about one player that the match's simulation reads and writes
// from one fixed step to the next: lives, the death and respawn clock, magic,
// grappling and the attack window, facing, the beard's growth clock, and the
// collider's size and collision filter measured when the player is made.
// What only shows (sounds, particles, the animation picked, the beard's
// colour pulse and mesh) is not part of it.
//
// A plain value: copied mid-match and compared later, two copies are equal
// exactly when the player went through the same steps. The beard's segments
// are objects of the world (see Beard) and are not held here.
//
// Units: pixels and seconds.
struct PlayerState {
    int lives = 3;
    // Deaths cost no lives.
    bool unlimitedLives = false;
    // A GameOverEvent arrived: death handling does nothing any more.
    bool frozen = false;
    // The beard floats and is steered until it is flung.
    bool magicActive = false;
    // The ground probes count only while this is set.
    bool groundCheckEnabled = true;
    // -1 while alive; counts up from 0 after a death.
    float deathTimer = -1.0f;
    // The filter of the layer "player<n>", copied when the player is made;
    // `mask` filters the ground probes.
    uint16_t category = 1;
    uint16_t mask = 0xFFFF;
    int16_t group = 0;
    // Half the player's collider size, measured when the player is made.
    float halfWidth = 40.0f;
    float halfHeight = 40.0f;
    // Magic uses left before touching the ground again.
    int magicCharges = 2;
    // How long the tip has held on.
    float holdTimer = 0.0f;
    bool facingLeft = false;
    // The beard tip is welded to something (grappling).
    bool holding = false;
    // A grab was let go while an attack window runs: no grab until that
    // window ends. (Every window's end clears the "Attack" tags.)
    bool skipTagClear = false;
    // The tip holds a platform: free magic use and swinging.
    bool holdingPlatform = false;
    // Time since the last segment grew.
    float growTimer = 0.0f;
    // Remaining attack window; not running when <= 0.
    float attackTimer = -1.0f;

    // Between a fall out of the arena and the respawn (for good after the last life).
    bool isDead() const { return deathTimer >= 0.0f; }
};

// Field by field; floats compare exactly, as a replay reproduces them.
bool operator==(const PlayerState& a, const PlayerState& b);
inline bool operator!=(const PlayerState& a, const PlayerState& b) {
    return !(a == b);
}
