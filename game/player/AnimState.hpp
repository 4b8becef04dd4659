#pragma once

// Which animation the player's character shows, as the controller's state
// machine picks it each fixed step; the beard mesh reads it too, since the
// chin moves with the pose (forward when running, up and forward in the air).
// The values are those the state machine has always numbered them with.
enum class AnimState {
    idle = 0,
    run = 1,
    jump = 2,
    // The short run-up before the run loop.
    runStart = 3,
    // The short slow-down before idling again.
    runStop = 4,
    fall = 5,
};
