#pragma once

#include <string>

#include "scene/Component.hpp"

// Frames the two players of the arena: every frame it eases its own game
// object (which carries the main camera) towards a point between the players
// and towards a zoom that grows with their spread, so the view follows the
// fight and zooms out as the players separate.
class StageCameraControllerComponent : public Component {
public:
    // `width` and `height`: the framing extent in pixels.
    StageCameraControllerComponent(std::string player1Name, std::string player2Name, float width,
                                   float height);

    // Stays active on inactive objects: `init` leaves `gameObjectActive` alone.
    void init() override {}
    // Leaves the transform alone when neither player is found or the framing
    // extent is not positive (there is nothing sensible to frame then).
    void update(float delta, float time) override;

    std::string player1Name;
    std::string player2Name;
    float width;
    float height;
    // Half the arena's width and height (pixels from the origin). When both
    // are set and the object has a camera, the view follows the players'
    // middle as far as it stays inside them at the zoom it heads for.
    // Otherwise (0) its centre keeps within a quarter of `width` and
    // `height` of the origin and moves to the origin as it zooms out.
    float boundX = 0.0f;
    float boundY = 0.0f;
    // Fraction of the remaining way covered per second.
    float followSpeed = 1.0f;
};
