#include "game/player/PlayerState.hpp"

#include <tuple>

namespace {
// Every field of PlayerState, in declaration order: a field left out here
// would make two different states compare equal.
auto fieldsOf(const PlayerState& s) {
    return std::tie(s.lives, s.unlimitedLives, s.frozen, s.magicActive, s.groundCheckEnabled, s.deathTimer,
                    s.category, s.mask, s.group, s.halfWidth, s.halfHeight, s.magicCharges, s.holdTimer,
                    s.facingLeft, s.holding, s.skipTagClear, s.holdingPlatform, s.growTimer, s.attackTimer);
}
} // namespace

bool operator==(const PlayerState& a, const PlayerState& b) {
    return fieldsOf(a) == fieldsOf(b);
}
