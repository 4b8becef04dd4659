#pragma once

#include <memory>
#include <string>

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Texture.hpp>

namespace widgets {

// The font and the textures that widgets draw with, loaded on first use and
// kept until program exit. A file that cannot be loaded is reported once
// (through reportProblem, ProblemReport.hpp); the callers then draw without it.
class ResourceCache {
public:
    // DejaVu Sans from the font path; null when it cannot be loaded.
    static const sf::Font* font();
    // Default "../assets/fonts/DejaVuSans.ttf" (relative to the working directory).
    static void setFontPath(const std::string& path);

    // The image at the path as a texture, smoothed or not; null when it cannot be loaded.
    static std::shared_ptr<const sf::Texture> texture(const std::string& path, bool smooth);

    // Back to the state at start-up: the default font path, nothing loaded or
    // reported yet. Fonts are freed, so no widget that draws text may be
    // left; textures held by widgets live on with them.
    static void reset();
};

} // namespace widgets
