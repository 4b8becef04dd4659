#pragma once

#include <cstdint>
#include <vector>

#include <SFML/System/Vector2.hpp>

#include "scene/Component.hpp"

// Moves its object's rigid body along a path of world points (pixels) at a
// constant speed, as a kinematic body: whatever stands on it rides along by
// friction, and it pushes what it runs into. With `loop` it goes on from the
// last point back to the first; otherwise it turns round at either end and
// goes back and forth.
//
// The motion is counted in fixed steps, not in time: after n steps the
// platform is where n steps of the path put it, found anew from the path
// every step (never by adding up velocities), so a match played again with
// the same input moves it exactly as before. Each step sets the body's
// velocity to reach that point at the end of the coming world step.
//
// The platform starts at the point of the path nearest to where the object
// stands, heading for the next point. A static body is made kinematic on the
// first step; a dynamic one is left alone (it would fall). Without a rigid
// body on the object the component does nothing.
class MovingPlatformComponent : public Component {
public:
    // `path`: at least two points (asserted; the map creator checks it);
    // `speed`: pixels per second along the path, 0 or more.
    MovingPlatformComponent(std::vector<sf::Vector2f> path, float speed, bool loop);

    void fixedUpdate(float step, float time) override;

    // Where on the path (world pixels) the platform is `distance` pixels
    // along its round, counted from the path's first point; the round is
    // `roundLength` long and repeats.
    sf::Vector2f pointAt(double distance) const;
    // Pixels of one whole round: the path and its closing leg when looping,
    // the path there and back otherwise.
    double roundLength() const;
    // Where the platform starts and the steps it took.
    void snapshotState(StateIo& io) override;
    // Fixed steps taken so far.
    int64_t stepsTaken() const { return steps; }

    const bool loop;
    const float speed;

private:
    // Distance along the round of the path point nearest to `position`.
    double nearestDistance(const sf::Vector2f& position) const;

    // The path, and after each point the length of the path up to it; with
    // `loop` the first point is repeated at the end.
    std::vector<sf::Vector2f> points;
    std::vector<double> lengths;
    double startDistance = 0.0;
    int64_t steps = 0;
    bool started = false;
};
