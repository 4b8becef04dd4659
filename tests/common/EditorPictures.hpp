#pragma once

#include <string>

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/View.hpp>

#include "tmx/TmxMap.hpp"

// Comparing the engine's drawing of the map fixtures under maps/forms with
// the map editor's own pictures of them (forms/<map>.expected.png, made by
// forms/make_forms.py). Both pictures are laid over one opaque backdrop, so
// half-transparent pixels compare as they look.

// The backdrop both pictures are laid over.
extern const sf::Color editorBackdrop;

// The area the editor's renderer draws of `map` (the map, widened by its
// layers' offsets so that shifted layers are seen whole), in world
// coordinates with the map centred on the origin.
sf::FloatRect editorPictureArea(const TmxMap& map);

// Draws every renderable through `view` into a picture of `size` pixels over the backdrop.
sf::Image drawScene(const sf::View& view, sf::Vector2u size);

struct PictureDifference {
    // The largest difference in any channel.
    int largest = 0;
    // How many pixels differ by more than 2 in some channel.
    int pixels = 0;
};
// Compares `painted` with the editor's picture forms/`reference` (the whole
// picture, or its `part`). When more than `tolerated` pixels differ, adds a
// failure naming `label` for each of the first few.
PictureDifference compareWithEditorPicture(const sf::Image& painted, const std::string& reference,
                                           const std::string& label, sf::IntRect part = {},
                                           int tolerated = 0);
