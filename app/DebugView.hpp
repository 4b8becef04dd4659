#pragma once

#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/View.hpp>

struct FrameCosts;

// What F3 shows over the game: the outline of every collider, in the world,
// and one line of figures near the foot of the picture (the frame's time and
// its split into fixed steps, update and drawing; bodies, joints and live
// particles). Costs nothing while hidden.
class DebugView {
public:
    void toggle() { shown = !shown; }
    bool isShown() const { return shown; }

    // Outlines through the target's current view (the world's camera).
    void drawOutlines(sf::RenderTarget& target) const;
    // The figures through `pictureView`; `frameSeconds` is the drawn frame's delta.
    void drawFigures(sf::RenderTarget& target, const sf::View& pictureView, const FrameCosts& costs,
                     float frameSeconds) const;

    // The colour of the outlines: a magenta that nothing of the game uses.
    static const sf::Color outlineColour;

private:
    bool shown = false;
};
