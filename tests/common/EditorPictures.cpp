#include "common/EditorPictures.hpp"

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <vector>

#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>

#include "common/MapFixtures.hpp"
#include "render/RenderManager.hpp"

const sf::Color editorBackdrop(90, 90, 90);

namespace {

sf::Color over(sf::Color top) {
    auto mix = [&](sf::Uint8 a, sf::Uint8 b) {
        return static_cast<sf::Uint8>((a * top.a + b * (255 - top.a) + 127) / 255);
    };
    return {mix(top.r, editorBackdrop.r), mix(top.g, editorBackdrop.g), mix(top.b, editorBackdrop.b)};
}

} // namespace

sf::FloatRect editorPictureArea(const TmxMap& map) {
    float left = 0.f, top = 0.f, right = 0.f, bottom = 0.f;
    for (const auto& layer : map.layers) {
        left = std::max(left, -layer->offsetX);
        top = std::max(top, -layer->offsetY);
        right = std::max(right, layer->offsetX);
        bottom = std::max(bottom, layer->offsetY);
    }
    const sf::Vector2f mapSize(static_cast<float>(map.width * map.tileWidth),
                               static_cast<float>(map.height * map.tileHeight));
    return {-mapSize.x / 2.f - left, -mapSize.y / 2.f - top, mapSize.x + left + right,
            mapSize.y + top + bottom};
}

sf::Image drawScene(const sf::View& view, sf::Vector2u size) {
    sf::RenderTexture target;
    EXPECT_TRUE(target.create(size.x, size.y));
    target.setView(view);
    target.clear(editorBackdrop);
    RenderManager::instance().drawAll(target, 0.f, 0.f);
    target.display();
    return target.getTexture().copyToImage();
}

PictureDifference compareWithEditorPicture(const sf::Image& painted, const std::string& reference,
                                           const std::string& label, sf::IntRect part, int tolerated) {
    sf::Image expected;
    EXPECT_TRUE(expected.loadFromFile(fixtureMapPath("forms/" + reference))) << reference;
    if (part.width == 0) {
        part =
            sf::IntRect(0, 0, static_cast<int>(expected.getSize().x), static_cast<int>(expected.getSize().y));
    }
    PictureDifference difference;
    std::vector<std::string> firstDifferences;
    if (painted.getSize() !=
        sf::Vector2u(static_cast<unsigned>(part.width), static_cast<unsigned>(part.height))) {
        ADD_FAILURE() << label << ": a picture of " << painted.getSize().x << " x " << painted.getSize().y
                      << " pixels against " << part.width << " x " << part.height;
        difference.largest = 255;
        return difference;
    }
    for (unsigned y = 0; y < painted.getSize().y; ++y) {
        for (unsigned x = 0; x < painted.getSize().x; ++x) {
            const sf::Color got = painted.getPixel(x, y);
            const sf::Color want = over(
                expected.getPixel(x + static_cast<unsigned>(part.left), y + static_cast<unsigned>(part.top)));
            const int worst =
                std::max({std::abs(got.r - want.r), std::abs(got.g - want.g), std::abs(got.b - want.b)});
            difference.largest = std::max(difference.largest, worst);
            if (worst > 2 && difference.pixels++ < 5) {
                std::ostringstream line;
                line << label << " at " << x << "," << y << ": " << int(got.r) << " " << int(got.g) << " "
                     << int(got.b) << " instead of " << int(want.r) << " " << int(want.g) << " "
                     << int(want.b);
                firstDifferences.push_back(line.str());
            }
        }
    }
    if (difference.pixels > tolerated) {
        for (const std::string& line : firstDifferences) {
            ADD_FAILURE() << line;
        }
    }
    return difference;
}
