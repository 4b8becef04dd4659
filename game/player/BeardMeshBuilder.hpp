#pragma once

class Beard;
class PlayerControllerComponent;

// Rebuilds the beard mesh of `player` from the segments' current positions and
// hands it to the beard renderer. The strip runs from the chin (two vertices
// across the chin point) through one vertex pair per segment to a closing
// pair just beyond the tip, in the player's local space (the renderer draws
// it with the player's transform, mirror included). Texture x counts from
// the tip, so the texture stays on the old segments as the beard grows; in
// magic mode a cyan band runs along it.
//
// Writes only as many pairs as the mesh holds and the chain has, so a mesh
// and a chain that disagree never read or write past either.
// `time`: elapsed fixed time (seconds), moves the magic band.
// `player` gives the pose, the colours and the magic pulse.
void updateBeardMesh(Beard& beard, const PlayerControllerComponent& player, float time);
