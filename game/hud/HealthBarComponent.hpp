#pragma once

#include <memory>
#include <vector>

#include "game/player/PlayerView.hpp"
#include "scene/Component.hpp"

class GameObject;
class PlayerControllerComponent;
class SpriteRendererComponent;

// Shows a player's remaining lives as a row of hat icons fixed to the screen.
// The bar's own object (a map object "Healthbar<n>") is its anchor: once a
// player is set, the bar rides on the main camera's object and builds one
// child object "Health" per life, `iconSpacing` pixels apart, running left to
// right, or mirrored and running leftwards when it sits right of the camera
// centre. The icons hop in a small wave once per `hopPeriod`; a lost life
// tips its icon over, shrinks it and bursts it into particles, one loss after
// the other.
//
// Units: pixels (y down), degrees, seconds. Reads the player through PlayerView only.
class HealthBarComponent : public Component {
public:
    // Binds the bar to `newPlayer` (observed, not owned), parents the bar to
    // the main camera's object and builds the icons. A null player, or a
    // second call, does nothing. Without a main camera the bar stays where
    // the map put it.
    void setPlayer(const PlayerControllerComponent* newPlayer);
    // Shows the icons of the lives left, runs the hop wave and the loss
    // animation. Does nothing while no player is set or once it is gone.
    void update(float delta, float time) override;
    // Nothing to prepare before a player is set.
    void init() override {}

    // Horizontal distance between icons (pixels), for up to `roomyIcons`
    // icons; a longer row shares the width of that many, so that the two
    // players' rows never run into each other.
    int iconSpacing = 150;
    static constexpr int roomyIcons = 5;
    // One renderer per icon, from the first life on; each sits on its own child object.
    std::vector<std::shared_ptr<SpriteRendererComponent>> icons;
    // The player shown (observed); null until one is set and once it is gone.
    const PlayerControllerComponent* player = nullptr;
    // Remaining time of the running loss animation.
    float lossTimer = 0.0f;
    float lossDuration = 0.3f;
    // The icon being lost, -1 when none.
    int losingIcon = -1;
    // Right of the camera centre: icons are mirrored and laid out leftwards.
    bool rightSide = false;
    float hopDuration = 0.1f;
    // Hop displacement in y (negative is up).
    float hopHeight = -10.0f;
    // Delay between the hops of neighbouring icons.
    float hopDelay = 0.1f;
    // The wave repeats after this time.
    float hopPeriod = 1.0f;
    // Time within the current wave.
    float hopClock = 0.0f;

private:
    void attachToMainCamera(GameObject& bar);
    void buildIcons(const std::shared_ptr<GameObject>& bar);
    void showLives();
    // Puts the icon of a life given back upright, ending its loss if one runs.
    void restoreIcon(int index);
    void runHopWave(float delta);
    void runLoss(float delta);
    // The player shown, read-only; only while `player` is set.
    PlayerView shown() const { return PlayerView(*player); }

    // The player's own object when it had one at `setPlayer`: once that object
    // is freed the player is forgotten rather than read after its end.
    std::weak_ptr<const GameObject> playerObject;
    bool playerHadObject = false;
};
