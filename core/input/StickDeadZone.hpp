#pragma once

// A stick at rest never reads exactly 0: worn sticks drift by a few percent,
// which would walk a player by itself. The dead zone is round, so a stick
// pushed diagonally leaves it as early as one pushed straight; past it the
// reading is rescaled, so the zone's edge reads 0 and full deflection 1,
// with no jump at the edge and the full range kept.
//
// `along` and `across` are the stick's two axes in -1 .. 1 (values beyond
// are clamped); the result is `along` after the dead zone, in -1 .. 1.
constexpr float stickDeadZone = 0.2f;
float applyStickDeadZone(float along, float across, float deadZone = stickDeadZone);
