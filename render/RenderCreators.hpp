#pragma once

#include <memory>

#include "scene/GameObjectManager.hpp"

// The map-object creators of the render components (registered under
// "sprite", "camera" and "stage camera controller"). Each reads its settings
// under the positional key first, then under the named key. Missing required
// loader keys and numbers that do not parse throw the standard library's
// out-of-range and conversion errors, and so do sizes that read as infinite
// or not a number (std::invalid_argument) and camera sizes beyond int32
// (std::out_of_range); they are read before anything is added to the object,
// so a failing creator leaves the object as it was.

// A SpriteRendererComponent on "#directory" + path, scaled to the object's
// size by the scale mode ("width", "height", "min", "max", else stretched).
std::shared_ptr<Component> createSpriteRenderer(std::shared_ptr<GameObject> gameObject,
                                                PropertyMap properties);
// A CameraComponent sized by "width"/"height" ("auto" or missing: the
// object's size); the presence of "main" makes it the main camera.
std::shared_ptr<Component> createCamera(std::shared_ptr<GameObject> gameObject, PropertyMap properties);
std::shared_ptr<Component> createStageCameraController(std::shared_ptr<GameObject> gameObject,
                                                       PropertyMap properties);
