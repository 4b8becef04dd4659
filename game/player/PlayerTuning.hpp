#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

// The numbers that decide how a player plays: speeds, forces, timings, the
// beard's size and the arena's limits. Every controller carries its own copy
// (`PlayerControllerComponent::tuning`), read on every step, so a test or a
// tool may change one player's numbers between two steps.
//
// Units: velocities in metres per second, forces in newtons, as the rigid
// body takes them (100 pixels per metre); lengths and positions in pixels
// (y down); times in seconds. "Per second of step" means the number is
// multiplied by the fixed step, so its effect over a second does not depend on
// the step length.
struct PlayerTuning {
    // Running and jumping.
    // Horizontal velocity on the ground per unit of the horizontal axis (m/s);
    // letting go of the axis stops the player at once.
    float groundSpeed = 5.0f;
    // Horizontal force in the air per unit of the axis (N per second of step).
    float airForce = 30000.0f;
    // Upward velocity a jump sets (m/s), whatever the velocity was.
    float jumpSpeed = 7.0f;
    // The player's body never moves faster than this (m/s), per axis.
    float maxSpeedX = 5.0f;
    float maxSpeedY = 7.0f;
    // Faster than this horizontally (m/s) counts as running: footsteps, dust
    // and the run animation.
    float runningSpeed = 2.0f;
    // Faster than this vertically (m/s) shows the jump (upward) or the fall
    // (downward) animation.
    float airborneSpeed = 1.0f;
    // Faster than this horizontally (m/s) the player turns to face its motion.
    float facingSpeed = 0.5f;
    // Shortest time between two footstep sounds (s).
    float stepInterval = 0.3f;

    // Magic: the beard floats, is steered, then flung or used as a hook.
    // Magic uses between two touches of the ground.
    int maxMagicCharges = 2;
    // Upward force on every segment while magic is held (N per second of
    // step): it cancels the segments' weight.
    float floatForce = 600.0f;
    // Velocity added to the beard tip per unit of axis (m/s per second of step).
    float tipSteerSpeed = 300.0f;
    // Fling on release: force per unit of axis (N), and force added per beard
    // segment (N), shared out along the beard.
    float flingForce = 2000.0f;
    float flingForcePerSegment = 10.0f;
    // Velocity added to a player swinging from a held platform, per unit of
    // axis (m/s per second of step).
    float swingSpeed = 300.0f;
    // How long after a fling the beard strikes (s).
    float attackDuration = 0.3f;
    // The beard tip lets go of what it holds after this time (s).
    float maxHoldTime = 5.0f;
    // Slowest beard (m/s) that knocks a player back, grabs or cuts.
    float hitSpeed = 3.0f;
    // Upward impulse of a knock-back (N s); the sideways part grows with the
    // striking beard's squared speed.
    float knockBackLift = 30.0f;
    // The colour band that runs along the beard in magic mode: its colour,
    // a factor on it, and how long it pulses after magic starts or ends (s).
    sf::Color magicColor = sf::Color::Cyan;
    float magicColorAmount = 1.0f;
    float magicPulseTime = 0.3f;

    // The beard.
    // Longest beard, in segments.
    int maxSegments = 80;
    // Time between two new segments at the chin (s).
    float growInterval = 1.0f;
    // Texture length of one segment and texture height of the beard strip (pixels).
    float beardTextureSize = 128.0f;
    // Where the top edge of the beard mesh starts, from the player's position
    // when it faces right (pixels); the running and airborne poses move it.
    sf::Vector2f chinOffset{20.0f, -20.0f};

    // Lives.
    // A player whose world y exceeds this (pixels) has fallen out of the arena.
    int killY = 1500;
    // Time from a death to the respawn (s).
    float respawnDelay = 1.0f;
    // Where a player comes back (world pixels).
    sf::Vector2f respawnPoint{0.0f, -300.0f};
};
