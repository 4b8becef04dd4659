#include "widgets/Drawing.hpp"

#include <cmath>

#include <SFML/Graphics/Sprite.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include "widgets/ResourceCache.hpp"

namespace widgets::drawing {

namespace {
// Appends a filled rectangle as two triangles.
void addRectangle(sf::VertexArray& vertices, float left, float top, float width, float height,
                  sf::Color color) {
    if (width <= 0.0f || height <= 0.0f || color.a == 0) {
        return;
    }
    const sf::Vector2f corners[4] = {
        {left, top}, {left + width, top}, {left + width, top + height}, {left, top + height}};
    for (const int corner : {0, 1, 2, 0, 2, 3}) {
        vertices.append(sf::Vertex(corners[corner], color));
    }
}
} // namespace

void box(sf::RenderTarget& target, const sf::FloatRect& rect, sf::Color fillColor, const Borders& borders,
         sf::Color borderColor) {
    // One draw call for the fill and all four borders: draw calls, not
    // pixels, are what a page of boxes costs.
    sf::VertexArray vertices(sf::Triangles);
    const float innerWidth = rect.width - borders.left - borders.right;
    const float innerHeight = rect.height - borders.top - borders.bottom;
    addRectangle(vertices, rect.left + borders.left, rect.top + borders.top, innerWidth, innerHeight,
                 fillColor);
    addRectangle(vertices, rect.left, rect.top, rect.width, borders.top, borderColor);
    addRectangle(vertices, rect.left, rect.top + rect.height - borders.bottom, rect.width, borders.bottom,
                 borderColor);
    addRectangle(vertices, rect.left, rect.top + borders.top, borders.left, innerHeight, borderColor);
    addRectangle(vertices, rect.left + rect.width - borders.right, rect.top + borders.top, borders.right,
                 innerHeight, borderColor);
    if (vertices.getVertexCount() > 0) {
        target.draw(vertices);
    }
}

void textured(sf::RenderTarget& target, const WidgetTexture& texture, const sf::FloatRect& rect) {
    const sf::IntRect part = texture.partRect();
    if (!texture || part.width <= 0 || part.height <= 0) {
        return;
    }
    const std::optional<sf::IntRect> middle = texture.middleRect();
    if (!middle) {
        sf::Sprite sprite(*texture.texture, part);
        sprite.setPosition(rect.left, rect.top);
        sprite.setScale(rect.width / static_cast<float>(part.width),
                        rect.height / static_cast<float>(part.height));
        target.draw(sprite);
        return;
    }
    // Column and row edges, in texture pixels and on screen. The corners keep
    // their size unless the rectangle is too small for them, then they shrink
    // alike so that the middle never turns inside out.
    const float sourceX[4] = {0.0f, static_cast<float>(middle->left),
                              static_cast<float>(middle->left + middle->width),
                              static_cast<float>(part.width)};
    const float sourceY[4] = {0.0f, static_cast<float>(middle->top),
                              static_cast<float>(middle->top + middle->height),
                              static_cast<float>(part.height)};
    const auto screenEdges = [](const float* source, float start, float extent, float* edges) {
        const float ends = source[1] + (source[3] - source[2]);
        const float shrink = ends > extent && ends > 0.0f ? extent / ends : 1.0f;
        edges[0] = start;
        edges[1] = start + source[1] * shrink;
        edges[3] = start + extent;
        edges[2] = edges[3] - (source[3] - source[2]) * shrink;
    };
    float screenX[4];
    float screenY[4];
    screenEdges(sourceX, rect.left, rect.width, screenX);
    screenEdges(sourceY, rect.top, rect.height, screenY);
    sf::VertexArray slices(sf::Triangles);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const sf::Vector2f screen[4] = {{screenX[column], screenY[row]},
                                            {screenX[column + 1], screenY[row]},
                                            {screenX[column + 1], screenY[row + 1]},
                                            {screenX[column], screenY[row + 1]}};
            const float left = static_cast<float>(part.left);
            const float top = static_cast<float>(part.top);
            const sf::Vector2f source[4] = {{left + sourceX[column], top + sourceY[row]},
                                            {left + sourceX[column + 1], top + sourceY[row]},
                                            {left + sourceX[column + 1], top + sourceY[row + 1]},
                                            {left + sourceX[column], top + sourceY[row + 1]}};
            for (const int corner : {0, 1, 2, 0, 2, 3}) {
                slices.append(sf::Vertex(screen[corner], sf::Color::White, source[corner]));
            }
        }
    }
    target.draw(slices, sf::RenderStates(texture.texture.get()));
}

sf::Text text(const std::string& utf8, unsigned int characterSize, sf::Color color, sf::Uint32 style) {
    sf::Text result;
    if (const sf::Font* font = ResourceCache::font()) {
        result.setFont(*font);
        result.setString(sf::String::fromUtf8(utf8.begin(), utf8.end()));
        result.setCharacterSize(characterSize);
        result.setFillColor(color);
        if (style != sf::Text::Regular) {
            result.setStyle(style);
        }
    }
    return result;
}

void centre(sf::Text& text, sf::Vector2f point) {
    const sf::FloatRect bounds = text.getLocalBounds();
    // Vertically the capital height is centred, whatever the letters, so that
    // texts with and without descenders sit on the same line.
    sf::Text capital(text);
    capital.setString("H");
    const sf::FloatRect capitalBounds = capital.getLocalBounds();
    text.setPosition(std::round(point.x - bounds.left - bounds.width / 2.0f),
                     std::round(point.y - capitalBounds.top - capitalBounds.height / 2.0f));
}

void placeLeft(sf::Text& text, float left, float y) {
    sf::Text capital(text);
    capital.setString("H");
    const sf::FloatRect capitalBounds = capital.getLocalBounds();
    text.setPosition(std::round(left), std::round(y - capitalBounds.top - capitalBounds.height / 2.0f));
}

ClipScope::ClipScope(sf::RenderTarget& target, const sf::FloatRect& rect)
    : target(target), previous(target.getView()) {
    // The current view shows `shown` (GUI pixels) in `viewport` (fractions of
    // the target); the clip is the part of `rect` inside it, shown where it
    // already appears, so nothing moves and only the rest is cut away.
    const sf::Vector2f centre = previous.getCenter();
    const sf::Vector2f extent = previous.getSize();
    const sf::FloatRect shown(centre.x - extent.x / 2.0f, centre.y - extent.y / 2.0f, extent.x, extent.y);
    sf::FloatRect inside;
    if (extent.x <= 0.0f || extent.y <= 0.0f || !shown.intersects(rect, inside) || inside.width < 1.0f ||
        inside.height < 1.0f) {
        return;
    }
    const sf::FloatRect viewport = previous.getViewport();
    sf::View clipped(inside);
    clipped.setViewport({viewport.left + (inside.left - shown.left) / shown.width * viewport.width,
                         viewport.top + (inside.top - shown.top) / shown.height * viewport.height,
                         inside.width / shown.width * viewport.width,
                         inside.height / shown.height * viewport.height});
    target.setView(clipped);
    isVisible = true;
}

ClipScope::~ClipScope() {
    target.setView(previous);
}

} // namespace widgets::drawing
