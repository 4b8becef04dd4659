#pragma once

#include <memory>

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include "scene/Component.hpp"

class PolygonRendererComponent;

// Shows a cut-off piece of beard mesh ("Beard Leftovers") where it was cut:
// it turns white at once, fades to its beard colour at full transparency over
// `duration` seconds, then destroys its own game object.
class BeardFadeComponent : public Component {
public:
    // vertices: the piece, in the space of the object this is added to (copied).
    // texture: the beard texture, shared with the asset store; may be empty.
    BeardFadeComponent(const sf::VertexArray& vertices, std::shared_ptr<sf::Texture> texture);

    // Adds the renderer on the draw layer "Beards".
    void init() override;
    void update(float delta, float time) override;
    // How far the fade is: it decides when the object goes.
    void snapshotState(StateIo& io) override;

    std::shared_ptr<sf::Texture> texture;
    sf::VertexArray vertices;
    std::shared_ptr<PolygonRendererComponent> renderer;
    // Vertex 0's colour at alpha 0 (transparent white for an empty piece).
    sf::Color targetColor;
    float duration = 0.4f;
    float elapsed = 0.0f;
};
