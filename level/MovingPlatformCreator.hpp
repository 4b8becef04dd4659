#pragma once

#include <memory>

#include "scene/GameObjectManager.hpp"

// "moving platform": a MovingPlatformComponent that follows a path object of
// the same map. Settings: "path"/"0" (required) the path object's name, or
// its id when no object has that name; "speed"/"1" pixels per second (100,
// 0 or more); "loop"/"2" "true" or "1" to go round, anything else to go back
// and forth (default: round a polygon, back and forth along a polyline).
// Needs "#map", the name of the stored map being built.
//
// Throws std::invalid_argument when the path names no object, when that
// object is not a polyline or polygon of at least two points, or when the
// speed does not parse or is negative; map instantiation reports it in one
// line and the platform keeps still.
std::shared_ptr<Component> createMovingPlatform(std::shared_ptr<GameObject> gameObject,
                                                PropertyMap properties);
