#include "game/bot/BotComponent.hpp"

#include "core/StateIo.hpp"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <string>

#include "core/RandomSource.hpp"
#include "core/input/InputManager.hpp"
#include "core/input/VirtualKeysInputBackend.hpp"
#include "game/PlayerNames.hpp"
#include "game/player/PlayerView.hpp"
#include "physics/RigidBodyComponent.hpp"
#include "scene/GameObject.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// Ground is looked for from this far above the feet (pixels), so that the
// floor the player stands on counts as ground below it.
constexpr float feetSlack = 8.0f;

// -1, 0 or 1: the key to hold to close `distance`, with a dead zone so the
// bot does not jitter between the two keys around its target.
int towards(float distance, float deadZone) {
    return distance > deadZone ? 1 : distance < -deadZone ? -1 : 0;
}

float length(const sf::Vector2f& v) {
    return std::sqrt(v.x * v.x + v.y * v.y);
}
} // namespace

BotComponent::BotComponent(int number, std::shared_ptr<VirtualKeysInputBackend> virtualKeys)
    : playerNumber(number), keyboard(std::move(virtualKeys)) {
    assert(keyboard && "a computer player needs a keyboard to press");
}

BotComponent::~BotComponent() {
    releaseKeys();
}

void BotComponent::init() {
    Component::init();
    auto object = getGameObject();
    if (!object) {
        return;
    }
    controller = findPlayerController(*object);
    body = object->rigidBody;
    keys = findPlayerKeys(InputManager::instance(), playerNumber);
    ground.collect();
    if (auto other = GameObjectManager::instance().findGameObject(playerObjectName(rivalOf(playerNumber)))) {
        rival = other;
        rivalController = findPlayerController(*other);
    }
    // Two computer players of one run draw different numbers; the same run
    // always draws the same ones.
    randomState =
        RandomSource::instance().getSeed() * 2654435761u + static_cast<uint32_t>(playerNumber) * 40503u;
    if (randomState == 0) {
        randomState = 1;
    }
    attackPause = attackPauseMin + nextRandom() * attackPauseRandom;
}

float BotComponent::nextRandom() {
    // xorshift32: small, and the same on every platform.
    randomState ^= randomState << 13;
    randomState ^= randomState >> 17;
    randomState ^= randomState << 5;
    return static_cast<float>(randomState % 1000u) / 1000.0f;
}

void BotComponent::fixedUpdate(float step, float) {
    press(decide(step));
}

BotComponent::Intent BotComponent::decide(float step) {
    auto owner = controller.lock();
    auto rigidBody = body.lock();
    auto object = getGameObject();
    if (!owner || !rigidBody || !object || !object->transform) {
        return {};
    }
    ground.refresh();
    const PlayerView player(*owner);
    if (player.isFrozen() || player.isDead()) {
        flinging = false;
        chargeLeft = 0;
        return {};
    }
    const sf::Vector2f position = object->transform->getPosition();
    const b2Vec2 bodyVelocity = rigidBody->getVelocity();
    const sf::Vector2f velocity{bodyVelocity.x, bodyVelocity.y};
    const bool grounded = player.isGrounded();

    if (player.isHolding()) {
        if (player.isHoldingPlatform() && !grounded) {
            return swing(position);
        }
        // Holding on while standing (a fling that touched the floor or a
        // crate): a tap of magic lets go.
        Intent letGo;
        letGo.magic = !player.isMagicActive();
        return letGo;
    }
    swingSteps = 0;

    const float feet = position.y + player.halfHeight();
    float top = 0.0f;
    const bool overGround =
        ground.groundBelow(position.x, feet - feetSlack, static_cast<float>(player.killY()), top);
    if (!grounded && !overGround) {
        return recover(position, velocity);
    }
    if (grabbing) {
        // Back over ground before the grab was needed.
        grabbing = false;
        flinging = false;
    }
    return fight(position, velocity, grounded, step);
}

BotComponent::Intent BotComponent::recover(const sf::Vector2f& position, const sf::Vector2f& velocity) {
    const PlayerView player = self();
    if (flinging) {
        return runFling(position, flingTarget);
    }
    // A top not far above to land on.
    const sf::FloatRect* target = ground.nearestTop(position, position.y - 300.0f);
    if (!target) {
        target = ground.nearest(position);
    }
    if (!target) {
        return {};
    }
    Intent intent;
    const float landingX = std::clamp(position.x, target->left + 40.0f, target->left + target->width - 40.0f);
    intent.horizontal = towards(landingX - position.x, 5.0f);

    // Sinking past the platform's top while still beside it: air control
    // will not do, so grab its edge with the beard.
    const bool sinking = velocity.y > 1.0f && position.y > target->top - 40.0f;
    if (sinking && player.segmentCount() >= 3 && player.magicCharges() > 0 && !player.isMagicActive()) {
        flinging = true;
        grabbing = true;
        chargeLeft = 6;
        const bool leftOfIt = position.x < target->left + target->width / 2.0f;
        flingTarget = {leftOfIt ? target->left + 8.0f : target->left + target->width - 8.0f,
                       target->top + 8.0f};
        return runFling(position, flingTarget);
    }
    return intent;
}

BotComponent::Intent BotComponent::swing(const sf::Vector2f& position) {
    ++swingSteps;
    Intent intent;
    intent.magic = true;
    const sf::FloatRect* held = ground.nearest(tipPosition(position));
    if (!held) {
        return intent;
    }
    const sf::Vector2f target{std::clamp(position.x, held->left + 60.0f, held->left + held->width - 60.0f),
                              held->top - 140.0f};
    intent.horizontal = towards(target.x - position.x, 15.0f);
    intent.vertical = towards(target.y - position.y, 10.0f);
    const float feet = position.y + self().halfHeight();
    const bool above =
        feet < held->top - 4.0f && position.x > held->left && position.x < held->left + held->width;
    // Over the platform (or swinging for too long): let go and drop onto it.
    if (above || swingSteps > 240) {
        intent.magic = false;
        intent.vertical = 0;
        intent.horizontal = towards(held->left + held->width / 2.0f - position.x, 15.0f);
    }
    return intent;
}

BotComponent::Intent BotComponent::fight(const sf::Vector2f& position, const sf::Vector2f& velocity,
                                         bool grounded, float step) {
    attackPause -= step;
    jumpPause -= step;
    const PlayerView player = self();
    auto other = rival.lock();
    if (!other || !other->transform) {
        return {};
    }
    const sf::Vector2f rivalPosition = other->transform->getPosition();
    auto rivalPlayer = rivalController.lock();
    const int lives = player.lives() + (rivalPlayer ? PlayerView(*rivalPlayer).lives() : 0);
    calmTime = lives == livesSeen ? calmTime + step : 0.0f;
    livesSeen = lives;
    const bool rivalAlive = !rivalPlayer || !PlayerView(*rivalPlayer).isDead();
    // Aim at the rival's chest.
    const sf::Vector2f aim = rivalPosition + sf::Vector2f(0.0f, -20.0f);
    if (flinging) {
        flingTarget = aim;
        return runFling(position, flingTarget);
    }

    const float reach = std::min(maxReach, reachMargin + player.segmentCount() * segmentReach);
    const float distance = length(rivalPosition - position);
    const bool canFloat = grounded || player.magicCharges() > 0;
    if (rivalAlive && distance < reach && player.segmentCount() >= minAttackSegments && attackPause <= 0.0f &&
        canFloat) {
        flinging = true;
        grabbing = false;
        chargeLeft = chargeStepsMin + static_cast<int>(nextRandom() * chargeStepsRandom);
        flingTarget = aim;
        return runFling(position, flingTarget);
    }

    // Close in to about half the reach; with a short beard, stay where it is
    // safe. A rival standing lower than a jump climbs cannot come up: out of
    // reach (or after a long while with no life lost) it is sought out, down
    // off the platform this player stands on.
    const float keep = reach * 0.5f;
    float targetX = position.x;
    if (rivalAlive && std::fabs(rivalPosition.x - position.x) > keep) {
        targetX = rivalPosition.x;
    }
    const bool seeking = calmTime > seekAfter;
    if (rivalAlive && grounded && (distance >= reach || seeking) &&
        rivalPosition.y > position.y + climbHeight) {
        targetX = wayDown(position, rivalPosition.x);
    }
    return walkToward(position, velocity, targetX, rivalPosition.y, grounded);
}

float BotComponent::wayDown(const sf::Vector2f& position, float targetX) const {
    const PlayerView player = self();
    const float feet = position.y + player.halfHeight();
    const sf::FloatRect* floor = ground.standingOn(position.x, feet, player.halfWidth());
    if (!floor || targetX < floor->left - player.halfWidth() ||
        targetX > floor->left + floor->width + player.halfWidth()) {
        return targetX;
    }
    // Past the end that lies nearer the rival, far enough out to fall; the
    // walk only steps off where something below will catch it.
    const float out = player.halfWidth() + edgeLookAhead;
    const float leftEnd = floor->left - out;
    const float rightEnd = floor->left + floor->width + out;
    return std::fabs(targetX - leftEnd) <= std::fabs(rightEnd - targetX) ? leftEnd : rightEnd;
}

BotComponent::Intent BotComponent::walkToward(const sf::Vector2f& position, const sf::Vector2f& velocity,
                                              float targetX, float targetY, bool grounded) {
    const PlayerView player = self();
    Intent intent;
    const float feet = position.y + player.halfHeight();
    const float killY = static_cast<float>(player.killY());
    int direction = towards(targetX - position.x, 15.0f);

    // The rival stands higher: make for the edge of a ledge within a jump
    // and jump onto it from beside it (from below the head would hit it).
    if (grounded && targetY < position.y - higherRival) {
        const sf::FloatRect* ledge = nullptr;
        float best = 1e9f;
        const auto& platforms = ground.getPlatforms();
        for (size_t i = 0; i < platforms.size(); ++i) {
            const sf::FloatRect& rect = platforms[i];
            // A moving ledge would not wait for the run-up.
            if (ground.moves(i) || rect.top > feet - ledgeRiseMin || rect.top < feet - ledgeRiseMax) {
                continue;
            }
            const float toward =
                std::fabs(std::clamp(targetX, rect.left, rect.left + rect.width) - targetX) +
                std::fabs(std::clamp(position.x, rect.left, rect.left + rect.width) - position.x);
            if (toward < best) {
                best = toward;
                ledge = &rect;
            }
        }
        if (ledge) {
            const float right = ledge->left + ledge->width;
            const bool fromLeft = position.x < ledge->left + ledge->width / 2.0f;
            const float takeOff = fromLeft ? ledge->left - takeOffDistance : right + takeOffDistance;
            float top = 0.0f;
            // Only where there is floor to take off from.
            if (ground.groundBelow(takeOff, feet - feetSlack, feet + takeOffDrop, top)) {
                if (std::fabs(takeOff - position.x) < takeOffReach && jumpPause <= 0.0f) {
                    intent.jump = true;
                    jumpPause = jumpInterval;
                    direction = fromLeft ? 1 : -1;
                } else {
                    direction = towards(takeOff - position.x, 10.0f);
                }
            }
        }
    }

    if (direction != 0) {
        float top = 0.0f;
        const float ahead = position.x + direction * (player.halfWidth() + edgeLookAhead);
        const bool floorAhead = ground.groundBelow(ahead, feet - feetSlack, killY, top);
        if (!floorAhead) {
            // A gap: jump it when there is something still to land on, else
            // wait at the edge (a moving platform is stepped onto when it
            // comes alongside). The landing may lie well below the feet: the
            // side islands stand higher than the main one, across a short gap.
            bool landing = false;
            for (float x = 40.0f; x <= jumpableGap && !landing; x += 40.0f) {
                landing = ground.groundBelow(ahead + direction * x, feet - 150.0f, feet + maxDrop, top, true);
            }
            if (!landing) {
                direction = 0;
            } else if (grounded && jumpPause <= 0.0f) {
                intent.jump = true;
                jumpPause = jumpInterval;
            } else if (grounded) {
                direction = 0;
            }
        }
    }

    // Pushing without moving: something is in the way, jump over it.
    if (grounded && direction != 0 && std::fabs(velocity.x) < 0.3f) {
        if (++stuckSteps > 20 && jumpPause <= 0.0f) {
            intent.jump = true;
            jumpPause = jumpInterval;
            stuckSteps = 0;
        }
    } else {
        stuckSteps = 0;
    }
    intent.horizontal = direction;
    return intent;
}

BotComponent::Intent BotComponent::runFling(const sf::Vector2f& position, const sf::Vector2f& target) {
    Intent intent;
    if (chargeLeft > 0) {
        // Float the beard and steer its tip toward the target.
        --chargeLeft;
        intent.magic = true;
        const sf::Vector2f toTip = target - tipPosition(position);
        intent.horizontal = towards(toTip.x, 20.0f);
        intent.vertical = towards(toTip.y, 20.0f);
        return intent;
    }
    // Let go with the aim toward the target: the fling pulls the beard that way.
    const sf::Vector2f toTarget = target - position;
    intent.horizontal = towards(toTarget.x, 20.0f);
    intent.vertical = towards(toTarget.y, 40.0f);
    flinging = false;
    grabbing = false;
    attackPause = attackPauseMin + nextRandom() * attackPauseRandom;
    return intent;
}

PlayerView BotComponent::self() const {
    // The lock ends here, but the player's object owns the controller for the
    // whole decision, and every decision starts by checking it is there.
    auto owner = controller.lock();
    assert(owner && "a computer player decides only while its player has a controller");
    return PlayerView(*owner);
}

sf::Vector2f BotComponent::tipPosition(const sf::Vector2f& fallback) const {
    auto owner = controller.lock();
    return owner ? PlayerView(*owner).tipPosition().value_or(fallback) : fallback;
}

void BotComponent::press(const Intent& intent) {
    keyboard->setKey(keys.left, intent.horizontal < 0);
    keyboard->setKey(keys.right, intent.horizontal > 0);
    keyboard->setKey(keys.up, intent.vertical < 0);
    keyboard->setKey(keys.down, intent.vertical > 0);
    keyboard->setKey(keys.jump, intent.jump);
    keyboard->setKey(keys.magic, intent.magic);
}

void BotComponent::releaseKeys() {
    press(Intent());
}

void BotComponent::snapshotState(StateIo& io) {
    io.value(randomState);
    io.value(chargeLeft);
    io.value(flinging);
    io.value(grabbing);
    io.value(flingTarget);
    io.value(attackPause);
    io.value(jumpPause);
    io.value(stuckSteps);
    io.value(swingSteps);
    io.value(calmTime);
    io.value(livesSeen);
}
