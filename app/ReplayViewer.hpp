#pragma once

#include <cstddef>
#include <string>

#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/System/Clock.hpp>
#include <SFML/Window/Event.hpp>

// What the viewer moves through: a recording played frame by frame into the
// running game. The game implements it; the viewer never touches the game.
class ReplayTimeline {
public:
    virtual ~ReplayTimeline() = default;
    // Frames of the recording played so far (0: none, the game as it starts).
    virtual size_t playedFrames() const = 0;
    // Gets near `frame` at once, before playing towards it: the latest state
    // it keeps at or before the frame when that lies ahead of the frame
    // played now, or the frame lies behind it; when it keeps none there and
    // the frame lies behind, the game back where the recording starts,
    // before its first frame. Otherwise nothing changes.
    virtual void jumpNear(size_t frame) = 0;
    // Plays the next frame without drawing it; false when none is left.
    virtual bool playUndrawn() = 0;
};

// Watching a recording at its own pace: pause, step, jumps and a seek bar at
// the foot of the picture. Every move to another frame goes through `goTo`,
// which lets the timeline jump near it (a kept state, or the start when the
// frame lies behind) and plays forward undrawn from there, so a frame
// reached by seeking is the very state playing to it gives.
// Keys and clicks only ask; the frame loop carries the asks out between two
// frames (`beginPass`), never from inside its own event handling.
class ReplayViewer {
public:
    // `frames`: the recording's length; `step`: its seconds per frame.
    ReplayViewer(size_t frames, float step) : total(frames), frameSeconds(step) {}

    // A window event in the picture's pixels (`picture`: its size). True when
    // the viewer took it (its keys, a click on the bar).
    bool handleEvent(const sf::Event& event, sf::Vector2u picture);
    // Carries out what was asked since the last pass (seeks, a step) and says
    // whether the loop plays one frame now, drawn.
    bool beginPass(ReplayTimeline& timeline);
    // Goes to frame `frame` (frames played), as far as the recording goes.
    void goTo(size_t frame, ReplayTimeline& timeline);

    bool isPaused() const { return paused; }
    void setPaused(bool pause);
    size_t frameCount() const { return total; }
    // Seconds to wait before a frame of `delta` is due at the recorded pace
    // (0 when due); a pass that plays nothing, and any seek, start the pace anew.
    float secondsAhead(float delta);

    // The bar over the bottom of the picture, in its pixels.
    static sf::FloatRect barArea(sf::Vector2u picture);
    // The track a click seeks along.
    static sf::FloatRect trackArea(sf::Vector2u picture);
    // The frame a click at `x` on the track asks for.
    size_t frameAt(float x, sf::Vector2u picture) const;
    // Draws the bar for `played` frames, in the target's current view.
    void draw(sf::RenderTarget& target, sf::Vector2u picture, size_t played) const;
    // "frame N / M  m:ss.cc / m:ss.cc", what the bar says.
    std::string positionText(size_t played) const;

private:
    size_t framesIn(float seconds) const;

    size_t total;
    float frameSeconds;
    bool paused = false;
    // A frame asked for; `seekAsked` whether there is one.
    bool seekAsked = false;
    size_t seekTarget = 0;
    // Relative asks (steps, jumps) resolve against the frame when carried out.
    long relativeAsk = 0;
    bool relativeAsked = false;
    bool stepAsked = false;
    sf::Clock paceClock;
    double pacedSeconds = 0.0;
    bool paceFresh = true;
};
