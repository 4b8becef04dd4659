#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

class ColliderComponent;

// What a computer player knows of the arena's shape: the bounds of every
// object tagged "Platform" with a collider, in world pixels (y down). Read
// once when a match starts; the platforms that move (kinematic bodies and
// those with a MovingPlatformComponent) are
// followed with `refresh`.
class ArenaGround {
public:
    // Collects the platforms of the current scene.
    void collect();
    // Reads the bounds of the moving platforms again.
    void refresh();

    // The top (smallest y) of the highest platform that spans `x` and whose
    // top is at or below `fromY`, and above `limitY`; false when nothing
    // would catch a fall from (x, fromY). With `stillOnly` moving platforms
    // do not count (one may have moved on by the time a jump lands).
    bool groundBelow(float x, float fromY, float limitY, float& top, bool stillOnly = false) const;
    // Whether the platform of `getPlatforms()` at `index` moves.
    bool moves(size_t index) const;
    // The platform whose top edge is closest to `point`, counting only tops
    // below `minTop` (y greater); null when there is none.
    const sf::FloatRect* nearestTop(const sf::Vector2f& point, float minTop) const;
    // The platform whose outline is closest to `point`; null when there is none.
    const sf::FloatRect* nearest(const sf::Vector2f& point) const;
    // The highest platform whose top lies within a few pixels of `feetY` and
    // that spans some of [x - halfWidth, x + halfWidth]: the one a player
    // there stands on. Null when there is none.
    const sf::FloatRect* standingOn(float x, float feetY, float halfWidth) const;

    const std::vector<sf::FloatRect>& getPlatforms() const { return platforms; }

private:
    std::vector<sf::FloatRect> platforms;
    // The colliders of moving platforms and their places in `platforms`; observed.
    std::vector<std::pair<std::weak_ptr<ColliderComponent>, size_t>> moving;
    // Per platform: whether it moves.
    std::vector<bool> moveFlags;
};

// The point of `rect`'s outline closest to `point`.
sf::Vector2f closestPointOn(const sf::FloatRect& rect, const sf::Vector2f& point);
