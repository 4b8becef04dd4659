#include <gtest/gtest.h>

#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/Graphics/Image.hpp>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <rapidxml/rapidxml.hpp>
#include <sstream>

#include "ContentCatalogue.hpp"

namespace {

struct Rect {
    int x, y, width, height;
    std::string image;
};

// Every SubTexture of every character atlas, by name, with its atlas image.
std::map<std::string, Rect> readAtlases() {
    std::map<std::string, Rect> rects;
    for (const auto& path : content::atlases()) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        std::string source = text.str();
        std::vector<char> buffer(source.begin(), source.end());
        buffer.push_back('\0');
        rapidxml::xml_document<> doc;
        doc.parse<0>(buffer.data());
        auto* atlas = doc.first_node("TextureAtlas");
        EXPECT_NE(atlas, nullptr) << path;
        if (!atlas) {
            continue;
        }
        std::string image =
            path.substr(0, path.rfind('/') + 1) + atlas->first_attribute("imagePath")->value();
        for (auto* sub = atlas->first_node("SubTexture"); sub; sub = sub->next_sibling("SubTexture")) {
            auto number = [&](const char* key) { return std::atoi(sub->first_attribute(key)->value()); };
            rects.emplace(sub->first_attribute("name")->value(),
                          Rect{number("x"), number("y"), number("width"), number("height"), image});
        }
    }
    return rects;
}

} // namespace

TEST(ContentCharacter, EveryAnimationFrameHasItsFourLayersInsideItsAtlasImage) {
    auto rects = readAtlases();
    std::map<std::string, sf::Image> images;
    for (const auto& animation : content::animations()) {
        for (int i = 0; i < animation.frames; ++i) {
            for (const auto& layer : content::frameLayers()) {
                std::string name = animation.name + "_" + layer + "_" + std::to_string(i) + ".png";
                auto it = rects.find(name);
                ASSERT_NE(it, rects.end()) << "no atlas holds the frame " << name;
                const Rect& r = it->second;
                if (!images.count(r.image)) {
                    ASSERT_TRUE(images[r.image].loadFromFile(r.image)) << r.image;
                }
                auto size = images[r.image].getSize();
                EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= static_cast<int>(size.x) &&
                            r.y + r.height <= static_cast<int>(size.y))
                    << name << " lies outside " << r.image;
                // Frames are composed into a 256 x 256 texture from its top-left corner.
                EXPECT_LE(r.width, 256) << name;
                EXPECT_LE(r.height, 256) << name;
            }
        }
    }
}

TEST(ContentCharacter, TintedLayersAreLightGreySoTheTintGivesThePlayerColours) {
    auto rects = readAtlases();
    const Rect& r = rects.at("idle_clothes1_0.png");
    sf::Image image;
    ASSERT_TRUE(image.loadFromFile(r.image));
    int opaque = 0, light = 0;
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x < r.x + r.width; ++x) {
            sf::Color c = image.getPixel(x, y);
            if (c.a == 255) {
                ++opaque;
                light += (c.r == c.g && c.g == c.b && c.r >= 150);
            }
        }
    }
    ASSERT_GT(opaque, 500) << "the first idle frame has no clothes";
    EXPECT_GT(light, opaque * 9 / 10);
}

TEST(ContentImages, HatBeardAndParticleLoadWithTheShapesTheGameExpects) {
    for (const auto& path : content::images()) {
        sf::Image image;
        EXPECT_TRUE(image.loadFromFile(path)) << path;
    }
    sf::Image hat, strip, beard, particle;
    ASSERT_TRUE(hat.loadFromFile("../assets/PNG/Player/hat_full.png"));
    ASSERT_TRUE(strip.loadFromFile("../assets/PNG/Player/hat_strip.png"));
    EXPECT_EQ(hat.getSize(), strip.getSize()) << "the hat layers are drawn over each other";
    ASSERT_TRUE(beard.loadFromFile("../assets/beard_whole.png"));
    ASSERT_EQ(beard.getSize(), sf::Vector2u(128, 128));
    // Tileable along x: the last column continues into the first.
    double seam = 0, inner = 0;
    for (unsigned y = 0; y < 128; ++y) {
        seam += std::abs(beard.getPixel(127, y).r - beard.getPixel(0, y).r);
        inner += std::abs(beard.getPixel(64, y).r - beard.getPixel(63, y).r);
    }
    EXPECT_LE(seam, inner * 1.5 + 128);
    // Soft edges across the strip, opaque in the middle.
    EXPECT_LT(beard.getPixel(40, 0).a, 40);
    EXPECT_LT(beard.getPixel(40, 127).a, 40);
    EXPECT_EQ(beard.getPixel(40, 64).a, 255);
    ASSERT_TRUE(particle.loadFromFile("../assets/PNG/vfx/particle.png"));
    auto size = particle.getSize();
    EXPECT_EQ(particle.getPixel(0, 0).a, 0);
    EXPECT_GT(particle.getPixel(size.x / 2, size.y / 2).a, 200);
    EXPECT_EQ(particle.getPixel(size.x / 2, size.y / 2).r, 255);
}

TEST(ContentSounds, EverySoundLoadsIsShortWhereItShouldBeAndNeverClips) {
    for (const auto& [name, path] : content::sounds()) {
        sf::SoundBuffer buffer;
        ASSERT_TRUE(buffer.loadFromFile(path)) << name << ": " << path;
        float seconds = buffer.getDuration().asSeconds();
        if (content::isLoop(name)) {
            EXPECT_GE(seconds, 2.0f) << name;
        } else {
            EXPECT_LE(seconds, 1.5f) << name << " is an effect and should be short";
        }
        const sf::Int16* samples = buffer.getSamples();
        int peak = 0;
        for (sf::Uint64 i = 0; i < buffer.getSampleCount(); ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        }
        EXPECT_LT(peak, 32000) << name << " clips";
        EXPECT_GT(peak, 8000) << name << " is too quiet";
    }
}

TEST(ContentSounds, LoopsJoinWithoutAClick) {
    for (const auto& [name, path] : content::sounds()) {
        if (!content::isLoop(name)) {
            continue;
        }
        sf::SoundBuffer buffer;
        ASSERT_TRUE(buffer.loadFromFile(path)) << path;
        const sf::Int16* s = buffer.getSamples();
        std::size_t n = buffer.getSampleCount();
        long largestStep = 0;
        for (std::size_t i = 1; i < n; ++i) {
            largestStep = std::max(largestStep, std::labs(static_cast<long>(s[i]) - s[i - 1]));
        }
        // Going from the last sample back to the first is no bigger a step than
        // any step inside the sound.
        EXPECT_LE(std::labs(static_cast<long>(s[0]) - s[n - 1]), largestStep) << name;
    }
}
