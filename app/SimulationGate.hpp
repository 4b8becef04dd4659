#pragma once

// Something outside the frame loop that decides when the simulation moves on:
// online play may run frame k only once both players' inputs for it are
// known, and paces the frames itself. While a gate is installed
// (Game::setSimulationGate) every pass of the loop still handles the window's
// events, the GUI and drawing (at the draw interval, by the wall clock), but
// runs the simulation only when the gate says so, and then exactly one fixed
// step with a frame delta of exactly one step: nothing in the match depends on
// how long a pass took or how often it was drawn.
class SimulationGate {
public:
    virtual ~SimulationGate() = default;
    // Once per pass, after the window's events: whether this pass plays the
    // next frame. When true the gate has made that frame's input ready to be
    // sampled.
    virtual bool beginFrame() = 0;
    // After the frame's fixed step and update (its events delivered); not
    // called when the gate was taken away during them.
    virtual void endFrame() = 0;
    // Seconds the loop may sleep before the next pass (0: go on at once).
    virtual float secondsUntilDue() const = 0;
};
