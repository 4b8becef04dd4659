#pragma once

#include <memory>
#include <string>

class GameObject;

// The tile half of a map instantiation: one game object named after the map,
// at the world origin, with one LayerRenderComponent per tile layer and image
// layer in file order (hidden ones too, which draw nothing), each on the
// render layer named after its layer (added at the
// end of the layer table when missing and createLayers is set; layers of the
// same name share one). Tiles under an opaque tile of a layer drawn later
// on the same grid are left out while that layer is shown (see
// LayerRenderComponent::leaveOutCovered). Empty, with a message, for a map
// that is not stored.
std::shared_ptr<GameObject> instantiateTileLayers(const std::string& mapName, bool createLayers, bool smooth);
