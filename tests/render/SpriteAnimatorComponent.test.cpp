#include <gtest/gtest.h>

#include <SFML/Graphics/Texture.hpp>

#include "render/SpriteAnimatorComponent.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

namespace {
class Animator : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(texture.create(64, 16));
        for (int i = 0; i < 4; ++i) {
            pictures.push_back(std::make_shared<sf::Sprite>(texture, sf::IntRect(i * 16, 0, 16, 16)));
        }
        owner = GameObjectManager::instance().createGameObject("animated");
    }

    std::vector<AnimationFrame> animation(size_t count, float duration) {
        std::vector<AnimationFrame> frames;
        for (size_t i = 0; i < count; ++i) {
            frames.push_back({pictures[i % pictures.size()], duration});
        }
        return frames;
    }

    sf::Texture texture;
    std::vector<std::shared_ptr<sf::Sprite>> pictures;
    std::shared_ptr<GameObject> owner;
};
} // namespace

TEST_F(Animator, EmptyAnimationDoesNothing) {
    auto renderer = addComponent<SpriteRendererComponent>(owner, pictures[3]);
    auto animator = addComponent<SpriteAnimatorComponent>(owner);
    animator->update(10.0f, 0);
    EXPECT_EQ(renderer->sprite, pictures[3]);
    EXPECT_EQ(animator->elapsed, 0.0f);
}

TEST_F(Animator, StepsOneFrameAtATimeCarryingTheOvershoot) {
    auto renderer = addComponent<SpriteRendererComponent>(owner, pictures[0]);
    auto animator = addComponent<SpriteAnimatorComponent>(owner);
    animator->setAnimation(animation(4, 0.1f));
    // frameDuration starts at 0: the first update advances at once, to index 1.
    animator->update(0.0f, 0);
    EXPECT_EQ(animator->frameIndex, 1);
    EXPECT_EQ(renderer->sprite, pictures[1]);

    // 0.35 s at once still advances a single frame; the rest waits in `elapsed`.
    animator->update(0.35f, 0);
    EXPECT_EQ(animator->frameIndex, 2);
    EXPECT_NEAR(animator->elapsed, 0.25f, 1e-6f);
    animator->update(0.0f, 0);
    animator->update(0.0f, 0);
    EXPECT_EQ(animator->frameIndex, 0); // looped
    EXPECT_EQ(renderer->sprite, pictures[0]);
    EXPECT_NEAR(animator->elapsed, 0.05f, 1e-6f);
    animator->update(0.0f, 0);
    EXPECT_EQ(animator->frameIndex, 0);
}

TEST_F(Animator, NonLoopingAnimationStaysOnItsLastFrame) {
    auto renderer = addComponent<SpriteRendererComponent>(owner, pictures[0]);
    auto animator = addComponent<SpriteAnimatorComponent>(owner);
    animator->loop = false;
    animator->setAnimation(animation(15, 0.1f));
    for (int i = 0; i < 30; ++i) {
        animator->update(0.1f, 0);
    }
    EXPECT_EQ(animator->frameIndex, 14);
    EXPECT_EQ(renderer->sprite, pictures[14 % 4]);
}

TEST_F(Animator, SpeedTwoHalvesTheFrameTime) {
    addComponent<SpriteRendererComponent>(owner, pictures[0]);
    auto animator = addComponent<SpriteAnimatorComponent>(owner);
    animator->speed = 2.0f;
    animator->setAnimation(animation(4, 0.1f));
    animator->update(0.0f, 0);
    animator->update(0.04f, 0);
    EXPECT_EQ(animator->frameIndex, 1);
    animator->update(0.02f, 0);
    EXPECT_EQ(animator->frameIndex, 2);
}

TEST_F(Animator, SetAnimationKeepsTheShownFrameUntilItsTimeRunsOut) {
    auto renderer = addComponent<SpriteRendererComponent>(owner, pictures[0]);
    auto animator = addComponent<SpriteAnimatorComponent>(owner);
    animator->setAnimation(animation(2, 0.5f));
    animator->update(0.0f, 0);
    ASSERT_EQ(renderer->sprite, pictures[1]);
    animator->setAnimation({{pictures[2], 0.1f}, {pictures[3], 0.1f}});
    animator->update(0.4f, 0);
    EXPECT_EQ(renderer->sprite, pictures[1]);
    animator->update(0.1f, 0);
    EXPECT_EQ(renderer->sprite, pictures[3]); // index 1 of the new animation
}

TEST_F(Animator, FindsARendererAddedLater) {
    auto animator = addComponent<SpriteAnimatorComponent>(owner);
    animator->setAnimation(animation(3, 0.1f));
    animator->update(0.2f, 0);
    EXPECT_EQ(animator->elapsed, 0.0f);
    auto renderer = addComponent<SpriteRendererComponent>(owner, pictures[0]);
    animator->update(0.0f, 0);
    EXPECT_EQ(renderer->sprite, pictures[1]);
    // The frame's sprite was centred by the renderer.
    EXPECT_EQ(pictures[1]->getOrigin(), sf::Vector2f(8, 8));
}

// A frame trimmed from a larger picture carries where that picture's centre
// lies on it; a frame without one is centred on its rectangle as before.
TEST_F(Animator, AFrameWithItsOwnOriginIsShownAroundThatPoint) {
    auto renderer = addComponent<SpriteRendererComponent>(owner, pictures[0]);
    auto animator = addComponent<SpriteAnimatorComponent>(owner);
    animator->setAnimation({{pictures[0], 0.1f}, {pictures[1], 0.1f, sf::Vector2f(3.f, 12.f)}});
    animator->update(0.0f, 0);
    ASSERT_EQ(renderer->sprite, pictures[1]);
    EXPECT_EQ(renderer->sprite->getOrigin(), sf::Vector2f(3.f, 12.f));
    animator->update(0.1f, 0);
    ASSERT_EQ(renderer->sprite, pictures[0]);
    EXPECT_EQ(renderer->sprite->getOrigin(), sf::Vector2f(8.f, 8.f));
}
