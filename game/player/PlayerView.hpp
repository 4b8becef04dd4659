#pragma once

#include <memory>
#include <optional>

#include <SFML/System/Vector2.hpp>

namespace sf {
class Texture;
}
class GameObject;
class PlayerControllerComponent;

// What other components may read of a player, and nothing they could change:
// the health bar and a computer player see a PlayerControllerComponent only
// through this, so the controller's fields stay its own. Every call reads the
// player as it is at that moment.
//
// A view observes its controller and does not keep it alive: whoever holds
// one makes sure the controller is still there (a computer player through a
// weak pointer, the health bar through the player's game object).
//
// Units: pixels (y down).
class PlayerView {
public:
    explicit PlayerView(const PlayerControllerComponent& player) : player(&player) {}

    // 1 or 2 (3 selects a third colour scheme).
    int playerNumber() const;
    int lives() const;
    // A GameOverEvent has arrived: the match is over and nothing more happens to the player.
    bool isFrozen() const;
    // Between a fall out of the arena and the respawn (for good after the last life).
    bool isDead() const;
    // One of the two downward probes under the collider hits ground (ray casts, now).
    bool isGrounded() const;
    // Magic is on: the beard floats and is steered until it is flung.
    bool isMagicActive() const;
    // Magic uses left before the player touches the ground again.
    int magicCharges() const;
    // The beard tip is welded to something (grappling), and whether that is a platform.
    bool isHolding() const;
    bool isHoldingPlatform() const;
    int segmentCount() const;
    // Half the size of the player's collider.
    float halfWidth() const;
    float halfHeight() const;
    // Below this world y the player has fallen out of the arena.
    int killY() const;
    // World position of the beard's tip; empty while the player has no tip.
    std::optional<sf::Vector2f> tipPosition() const;
    // The player's hat in its colours; lives as long as the controller.
    const sf::Texture& hatTexture() const;
    // The player's game object; empty when the controller has none (yet or any more).
    std::shared_ptr<const GameObject> gameObject() const;

private:
    const PlayerControllerComponent* player;
};

// The player controller on `object`, for viewing; empty when it has none.
std::shared_ptr<const PlayerControllerComponent> findPlayerController(const GameObject& object);
