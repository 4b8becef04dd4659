#pragma once

#include <cstdint>
#include <memory>

#include <SFML/System/Vector2.hpp>

#include "game/bot/ArenaGround.hpp"
#include "game/bot/PlayerKeys.hpp"
#include "game/player/PlayerView.hpp"
#include "scene/Component.hpp"

class GameObject;
class PlayerControllerComponent;
class RigidBodyComponent;
class VirtualKeysInputBackend;

// A computer player. Lives on a player object beside (after) its
// PlayerControllerComponent and plays it through the player's own keys on a
// virtual keyboard, exactly as a person at the keyboard would: it only reads
// the scene (both players' positions and velocities, the platforms) and the
// two players through PlayerView, and never writes to a controller.
//
// Each fixed step it decides anew: walk toward the other player without
// walking off an edge, jump onto higher platforms and across gaps, float
// the beard and fling it at the other player when in reach, steer back
// toward the nearest platform when falling and, if that is not enough,
// fling the beard at a platform to grab it and swing back up.
//
// Decisions are made in `fixedUpdate`, after the controller's own step, so
// the keys pressed are the ones the controller reads in the next step
// whether axes are read live or sampled once per frame. Randomness (reaction
// times, aim) comes from its own generator seeded from the RandomSource's
// seed and the player number: the same run plays the same way.
class BotComponent : public Component {
public:
    // `keys` is shared with the InputManager, which reads it; never empty.
    BotComponent(int playerNumber, std::shared_ptr<VirtualKeysInputBackend> keys);
    // Lets go of every key it holds, so nothing stays pressed after the match.
    ~BotComponent() override;

    void init() override;
    void fixedUpdate(float step, float time) override;

    int getPlayerNumber() const { return playerNumber; }

    // How near (pixels) the other player must be for a fling, on top of the
    // beard's length.
    float reachMargin = 80.0f;
    // Longest reach counted from the beard (pixels).
    float maxReach = 420.0f;
    // Beard length (pixels) per segment, for the reach.
    float segmentReach = 22.0f;
    // Fewest segments worth flinging.
    int minAttackSegments = 4;
    // Fixed steps the beard floats before the fling, at least and on top at random.
    int chargeStepsMin = 14;
    int chargeStepsRandom = 16;
    // Seconds between two flings, at least and on top at random.
    float attackPauseMin = 0.5f;
    float attackPauseRandom = 0.9f;
    // How far ahead of its feet (pixels) it looks for ground before walking on.
    float edgeLookAhead = 50.0f;
    // Widest gap (pixels) it jumps across, and how far below its feet the
    // far side may lie.
    float jumpableGap = 260.0f;
    float maxDrop = 400.0f;
    // Seconds without a life lost on either side after which it stops
    // keeping its distance and seeks the other player out, down from high
    // platforms too: two careful players never wait each other out.
    float seekAfter = 12.0f;
    // Highest step up (pixels) it climbs with a jump onto a ledge; a rival
    // standing lower than this below it could come up by itself.
    float climbHeight = 240.0f;
    // Shortest time (seconds) between two of its jumps.
    float jumpInterval = 0.9f;
    // Climbing toward a rival who stands more than `higherRival` pixels above
    // it: it jumps onto a ledge whose top lies `ledgeRiseMin` to
    // `ledgeRiseMax` pixels above its feet, taking off `takeOffDistance`
    // pixels beside the ledge's end from floor at most `takeOffDrop` pixels
    // below its feet, once within `takeOffReach` pixels of that point.
    float higherRival = 120.0f;
    float ledgeRiseMin = 60.0f;
    float ledgeRiseMax = 230.0f;
    float takeOffDistance = 60.0f;
    float takeOffDrop = 40.0f;
    float takeOffReach = 40.0f;

    // Its plan: the fling under way, the pauses, what it counts, its generator.
    void snapshotState(StateIo& io) override;

private:
    // The keys to hold in one step; axes are -1, 0 or 1.
    struct Intent {
        int horizontal = 0;
        int vertical = 0;
        bool jump = false;
        bool magic = false;
    };

    Intent decide(float step);
    Intent recover(const sf::Vector2f& position, const sf::Vector2f& velocity);
    Intent swing(const sf::Vector2f& position);
    Intent fight(const sf::Vector2f& position, const sf::Vector2f& velocity, bool grounded, float step);
    // Steers the floating beard's tip toward `target` and flings it there after the charge.
    Intent runFling(const sf::Vector2f& position, const sf::Vector2f& target);
    // Walking direction toward `targetX`, held back at edges, with a jump over gaps and onto ledges.
    // Where to walk to get down to a rival standing below out of reach: off
    // the nearer end of the platform it stands on when the rival is under
    // it; `targetX` itself otherwise.
    float wayDown(const sf::Vector2f& position, float targetX) const;
    Intent walkToward(const sf::Vector2f& position, const sf::Vector2f& velocity, float targetX,
                      float targetY, bool grounded);
    void press(const Intent& intent);
    void releaseKeys();
    sf::Vector2f tipPosition(const sf::Vector2f& fallback) const;
    // The bot's own player; only while deciding, which first makes sure it is there.
    PlayerView self() const;
    // 0 .. 1 from the bot's own generator.
    float nextRandom();

    int playerNumber;
    std::shared_ptr<VirtualKeysInputBackend> keyboard;
    PlayerKeys keys;
    ArenaGround ground;
    std::weak_ptr<const PlayerControllerComponent> controller;
    std::weak_ptr<RigidBodyComponent> body;
    std::weak_ptr<GameObject> rival;
    std::weak_ptr<const PlayerControllerComponent> rivalController;
    uint32_t randomState = 1;

    // A fling in progress: steps left of floating the beard, then one release step.
    int chargeLeft = 0;
    bool flinging = false;
    // Whether the fling in progress is a grab at a platform (recovery).
    bool grabbing = false;
    sf::Vector2f flingTarget;
    float attackPause = 1.0f;
    float jumpPause = 0.0f;
    // Steps spent pushing a direction without moving (a wall or a crate in the way).
    int stuckSteps = 0;
    int swingSteps = 0;
    // Seconds since either player last lost a life, and the lives both had then.
    float calmTime = 0.0f;
    int livesSeen = -1;
};
