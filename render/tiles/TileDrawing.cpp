#include "render/tiles/TileDrawing.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

#include <SFML/Graphics/View.hpp>

namespace {

// The vertex colour carries the tint and, in alpha, the tint's alpha times
// the opacity; half-transparent pixels take on more of the tint, as over white.
const char* const tintFragmentShader = R"(
uniform sampler2D texture;
void main() {
    vec4 texel = texture2D(texture, gl_TexCoord[0].xy);
    gl_FragColor = vec4(gl_Color.rgb * (texel.rgb * texel.a + (1.0 - texel.a)), texel.a * gl_Color.a);
}
)";

} // namespace

sf::Color tintColour(const TmxTint& tint, float opacity) {
    const float alpha = static_cast<float>(tint.a) * std::clamp(opacity, 0.f, 1.f);
    return sf::Color(tint.r, tint.g, tint.b, static_cast<sf::Uint8>(std::lround(alpha)));
}

bool isTinted(const TmxTint& tint) {
    return tint.r != 255 || tint.g != 255 || tint.b != 255 || tint.a != 255;
}

const sf::Shader* tintShader() {
    static std::unique_ptr<sf::Shader> shader = [] {
        auto made = std::make_unique<sf::Shader>();
        if (!sf::Shader::isAvailable() || !made->loadFromMemory(tintFragmentShader, sf::Shader::Fragment)) {
            return std::unique_ptr<sf::Shader>();
        }
        made->setUniform("texture", sf::Shader::CurrentTexture);
        return made;
    }();
    return shader.get();
}

sf::FloatRect visibleArea(const sf::RenderTarget& target, const sf::Transform& transform) {
    const sf::Transform toLocal = transform.getInverse() * target.getView().getInverseTransform();
    float left = 0.f, top = 0.f, right = 0.f, bottom = 0.f;
    const sf::Vector2f corners[] = {{-1.f, -1.f}, {1.f, -1.f}, {-1.f, 1.f}, {1.f, 1.f}};
    for (int i = 0; i < 4; ++i) {
        const sf::Vector2f point = toLocal.transformPoint(corners[i]);
        left = i == 0 ? point.x : std::min(left, point.x);
        top = i == 0 ? point.y : std::min(top, point.y);
        right = i == 0 ? point.x : std::max(right, point.x);
        bottom = i == 0 ? point.y : std::max(bottom, point.y);
    }
    return {left, top, right - left, bottom - top};
}

sf::Vector2f parallaxShift(const sf::RenderTarget& target, const sf::Transform& transform,
                           sf::Vector2f factor, sf::Vector2f origin) {
    if (factor == sf::Vector2f(1.f, 1.f)) {
        return {};
    }
    const sf::Vector2f centre = transform.getInverse().transformPoint(target.getView().getCenter());
    return {(1.f - factor.x) * (centre.x - origin.x), (1.f - factor.y) * (centre.y - origin.y)};
}

sf::Vector2f parallaxOrigin(const TmxMap& map) {
    return {map.parallaxOriginX - static_cast<float>(map.tileWidth) * static_cast<float>(map.width) / 2.f,
            map.parallaxOriginY - static_cast<float>(map.tileHeight) * static_cast<float>(map.height) / 2.f};
}
