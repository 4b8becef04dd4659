#pragma once

#include <memory>
#include <string>
#include <vector>

class GameObject;

// The object half of a map instantiation. Every object group of the stored
// map becomes a collision layer (all registered first), then a parent game
// object named after the group (active as the group is visible) whose render
// layer is moved to the group's place among the map's layers and whose
// properties are applied as collision rules. Every map object becomes a child
// of its group's object, placed at the centre of its rectangle in a world
// whose origin is the centre of the map, carrying the components its
// properties declare (see below). `objects` receives the map objects' game
// objects (not the groups') in creation order.
//
// Properties of a map object: a name without '#' declares a component
// instance (the value is its type, or "tag" to add the name as a tag); a name
// instance#key gives that instance the setting key (lowercased). Instances
// are built in order of their names through the GameObjectManager's creators,
// each with its settings plus "#name", "#layer", "#width", "#height",
// "#tileWidth", "#tileHeight", "#directory" and "#map" (the stored map's
// name; a setting written under the same key keeps its own value).
//
// A tile object (one with a gid) is placed at the centre of its tile's
// rectangle, which stands above its x and y. When none of the components its
// properties declare draws (is a RenderableComponent), it gets a
// TileObjectRendererComponent on its group's render layer that draws its
// tile as the editor shows it (smoothed when `smooth`).
//
// Content problems (an unknown map, a setting for an undeclared instance, a
// creator that throws on a bad value) are reported on standard output with
// the map, object and component; that setting or component is skipped and the
// rest of the map is built.
void instantiateObjects(const std::string& mapName, std::vector<std::shared_ptr<GameObject>>& objects,
                        bool createLayers, bool smooth = true);
