#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include <SFML/Graphics/RenderTexture.hpp>

#include "game/GameContent.hpp"
#include "game/player/CharacterFrameStore.hpp"
#include "game/player/PlayerColors.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "render/AssetManager.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
// The 256 x 256 frame as a player's renderer shows it: its sprite drawn
// alone with its origin on the frame's centre.
sf::Image picture(const AnimationFrame& frame) {
    sf::RenderTexture target;
    EXPECT_TRUE(target.create(256, 256));
    target.clear(sf::Color::Transparent);
    auto object = GameObjectManager::instance().createGameObject("Shown");
    object->transform->setPosition(128.f, 128.f);
    auto renderer = addComponent<SpriteRendererComponent>(object, frame.sprite);
    renderer->setFrame(frame);
    sf::Sprite placed = *frame.sprite;
    placed.setPosition(128.f, 128.f);
    target.draw(placed, sf::BlendNone);
    target.display();
    GameObjectManager::instance().destroyGameObject(object);
    return target.getTexture().copyToImage();
}

using Preparation = PlayerControllerComponent::Preparation;

// Prepares frames as the title menu does until all are made, calling `seen`
// after each step; the number of frames made.
int prepareEveryFrame(const std::function<void(Preparation)>& seen = {}) {
    int made = 0;
    for (int step = 0; step < 100000; ++step) {
        const Preparation result = PlayerControllerComponent::prepareAnimationFrame();
        if (seen) {
            seen(result);
        }
        if (result == Preparation::done) {
            return made;
        }
        made += result == Preparation::made;
        if (result == Preparation::waiting) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ADD_FAILURE() << "preparing never ends";
    return made;
}

// Frame `index` of `animation` drawn layer by layer from the loaded atlas,
// the three coloured layers tinted with `colors`.
sf::Image layeredPicture(const std::string& animation, int index, const PlayerColors& colors) {
    sf::RenderTexture target;
    EXPECT_TRUE(target.create(256, 256));
    target.clear(sf::Color::Transparent);
    const std::pair<const char*, sf::Color> layers[] = {{"_color_", sf::Color::White},
                                                        {"_clothes1_", colors.clothes1},
                                                        {"_clothes2_", colors.clothes2},
                                                        {"_hair_", colors.hair}};
    for (const auto& [layer, tint] : layers) {
        auto sprite = AssetManager::instance().getSprite(animation + layer + std::to_string(index) + ".png");
        EXPECT_TRUE(sprite) << animation << layer << index;
        if (sprite) {
            sf::Sprite copy = *sprite;
            copy.setOrigin(0, 0);
            copy.setPosition(0, 0);
            copy.setColor(tint);
            target.draw(copy);
        }
    }
    target.display();
    return target.getTexture().copyToImage();
}
} // namespace

TEST(CharacterFrameStore, FramesPreparedAheadAreTheOnesEveryMatchOfTheProgramShares) {
    auto& store = CharacterFrameStore::instance();
    // Both players' frames made one at a time, as the title menu makes them.
    EXPECT_EQ(prepareEveryFrame(), 2 * (30 + 30 + 15 + 15 + 15 + 15 + 16));
    EXPECT_EQ(PlayerControllerComponent::prepareAnimationFrame(), Preparation::done);

    // Two matches in a row: the second player's animations are the very
    // frames prepared above, and a new controller gets them again.
    const auto& idle = store.animation("idle", 30, 1.0f / 30.0f, playerColors(2), 256);
    ASSERT_EQ(idle.size(), 30u);
    for (int match = 0; match < 2; ++match) {
        auto object = GameObjectManager::instance().createGameObject("Player2");
        auto controller = addComponent<PlayerControllerComponent>(object, 2, false);
        ASSERT_TRUE(controller);
        ASSERT_EQ(controller->idleAnimation.size(), 30u);
        EXPECT_EQ(controller->idleAnimation[3].sprite, idle[3].sprite);
        EXPECT_FLOAT_EQ(controller->idleAnimation[3].duration, 1.0f / 30.0f);
        EXPECT_EQ(controller->fallAnimation.size(), 16u);
        GameObjectManager::instance().clear(true);
    }

    // Another colour scheme is a picture of its own: the same art, other clothes.
    const auto& other = store.animation("idle", 30, 1.0f / 30.0f, playerColors(1), 256);
    ASSERT_EQ(other.size(), 30u);
    EXPECT_NE(other[0].sprite, idle[0].sprite);
    const sf::Image first = picture(other[0]);
    const sf::Image second = picture(idle[0]);
    int differing = 0, drawn = 0;
    for (unsigned y = 0; y < 256; ++y) {
        for (unsigned x = 0; x < 256; ++x) {
            drawn += first.getPixel(x, y).a > 0;
            differing += first.getPixel(x, y) != second.getPixel(x, y);
        }
    }
    EXPECT_GT(drawn, 1000) << "the frame is empty";
    EXPECT_GT(differing, 100) << "the colour schemes look alike";
}

TEST(CharacterFrameStore, TheAtlasesAreLetGoOnceBothPlayersFramesAreMadeAndComeBackForAnotherScheme) {
    auto& assets = AssetManager::instance();
    loadCharacterArt(assets);
    const std::size_t atlases = assets.atlasImages.size();
    ASSERT_EQ(atlases, 6u);
    EXPECT_FALSE(PlayerControllerComponent::releaseCharacterArtWhenComposed()) << "no frames are made yet";
    EXPECT_EQ(assets.atlasImages.size(), atlases);

    // Prepared ahead, the frames read one atlas at a time, each let go once
    // both players' frames from it are made.
    releaseCharacterArt(assets);
    std::size_t mostRead = 0;
    int waits = 0;
    prepareEveryFrame([&](Preparation step) {
        mostRead = std::max(mostRead, assets.atlasImages.size());
        waits += step == Preparation::waiting;
    });
    EXPECT_EQ(mostRead, 1u);
    // Each atlas was read on its own thread while the caller went on.
    EXPECT_GE(waits, 6);
    EXPECT_TRUE(assets.atlasImages.empty());
    auto& store = CharacterFrameStore::instance();
    const auto& idle = store.animation("idle", 30, 1.0f / 30.0f, playerColors(1), 256);
    ASSERT_EQ(idle.size(), 30u);
    const sf::Image before = picture(idle[5]);
    // The frame is its four layers, tinted and drawn over each other at the
    // frame's corner as sprites would be, though its texture holds only the
    // part they draw.
    ASSERT_TRUE(assets.loadAtlas("../assets/PNG/Player/idle.xml"));
    const sf::Image reference = layeredPicture("idle", 5, playerColors(1));
    assets.unloadAtlas("../assets/PNG/Player/idle.xml");
    for (unsigned y = 0; y < 256; ++y) {
        for (unsigned x = 0; x < 256; ++x) {
            const sf::Color made = before.getPixel(x, y), drawn = reference.getPixel(x, y);
            // Rounding may differ by one from the renderer's.
            ASSERT_LE(std::abs(made.r - drawn.r) + std::abs(made.g - drawn.g) + std::abs(made.b - drawn.b) +
                          std::abs(made.a - drawn.a),
                      4)
                << x << "," << y;
        }
    }
    ASSERT_TRUE(PlayerControllerComponent::releaseCharacterArtWhenComposed());
    EXPECT_TRUE(assets.atlasImages.empty());
    EXPECT_EQ(assets.sprites.count("idle_color_0.png"), 0u);
    EXPECT_EQ(assets.textures.count("../assets/PNG/Player/idle.png"), 0u);

    // The frames outlive their atlases, pixel for pixel. Each is drawn from
    // a texture no larger than its art, and only over that texture.
    const sf::Image after = picture(idle[5]);
    int drawn = 0;
    for (unsigned y = 0; y < 256; ++y) {
        for (unsigned x = 0; x < 256; ++x) {
            ASSERT_EQ(after.getPixel(x, y), before.getPixel(x, y)) << x << "," << y;
            drawn += after.getPixel(x, y).a > 0;
        }
    }
    EXPECT_GT(drawn, 1000);
    const sf::Vector2u textureSize = idle[5].sprite->getTexture()->getSize();
    EXPECT_LT(textureSize.x * textureSize.y, 256u * 256u / 2u);
    EXPECT_EQ(idle[5].sprite->getLocalBounds(),
              sf::FloatRect(0, 0, static_cast<float>(textureSize.x), static_cast<float>(textureSize.y)));
    for (unsigned i = 0; i < 256; ++i) {
        EXPECT_EQ(after.getPixel(255, i).a, 0) << i;
        EXPECT_EQ(after.getPixel(i, 255).a, 0) << i;
    }

    // A match in a third scheme brings the art back to make its frames, and
    // lets it go again.
    auto object = GameObjectManager::instance().createGameObject("Player3");
    auto third = addComponent<PlayerControllerComponent>(object, 3, false);
    ASSERT_TRUE(third);
    EXPECT_TRUE(assets.atlasImages.empty());
    ASSERT_EQ(third->idleAnimation.size(), 30u);
    int thirdDrawn = 0;
    const sf::Image yellow = picture(third->idleAnimation[5]);
    for (unsigned y = 0; y < 256; ++y) {
        for (unsigned x = 0; x < 256; ++x) {
            thirdDrawn += yellow.getPixel(x, y).a > 0;
        }
    }
    EXPECT_GT(thirdDrawn, 1000);
    GameObjectManager::instance().clear(true);
}
