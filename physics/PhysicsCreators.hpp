#pragma once

#include <memory>

#include "scene/GameObjectManager.hpp"

// Component creators for map objects (registered as "rigidbody", "box",
// "circle" and "polygon"). Each setting is read under its positional key
// ("0", "1", ...) when present, else under its named key, else its default.
// Every value is read and checked before anything is built, so a bad map
// object gets no half-built physics. Failures are the standard exceptions:
// std::invalid_argument / std::out_of_range for a number that does not parse
// (std::stof; infinities and NaN are refused too), std::out_of_range for a missing required key ("#layer",
// "#width", "#height"). Map instantiation reports them and skips the component.

// "rigidbody": "type"/"0" static|kinematic|dynamic (static), "mass"/"1" kg
// (1), "#layer" (required) the collision layer, "constrains"/"2" letters
// r, x, y locking rotation and axes.
std::shared_ptr<Component> createRigidBodyComponent(std::shared_ptr<GameObject> gameObject,
                                                    PropertyMap properties);

// "box": "xoff"/"0", "yoff"/"1" (0) centre offset px; "width"/"2",
// "height"/"3" px or "auto" for "#width"/"#height" (auto); "angle" or
// "rotation"/"4" radians (0); "trigger"/"5" (false); "friction"/"6" (0);
// "bounciness"/"7" (0). "#width" and "#height" are required.
std::shared_ptr<Component> createBoxColliderComponent(std::shared_ptr<GameObject> gameObject,
                                                      PropertyMap properties);

// "circle": "xoff"/"0", "yoff"/"1" (-0.5) centre offset px; "radius"/"2" px
// or "auto" for half the smaller of "#width" and "#height" (auto);
// "trigger"/"3" (false); "friction"/"4" (0); "bounciness"/"5" (0).
std::shared_ptr<Component> createCircleColliderComponent(std::shared_ptr<GameObject> gameObject,
                                                         PropertyMap properties);

// "polygon": points "0x", "0y", "1x", "1y", ... in pixels, read up to the
// first index missing either key; then "trigger"/"0" (false),
// "friction"/"1" (0), "bounciness"/"2" (0). The positional keys of the three
// settings are plain numbers, so they never clash with the point keys.
std::shared_ptr<Component> createPolygonColliderComponent(std::shared_ptr<GameObject> gameObject,
                                                          PropertyMap properties);
