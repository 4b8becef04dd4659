#include <gtest/gtest.h>

#include "PlayerArena.hpp"
#include "audio/AudioSourceComponent.hpp"
#include "render/ParticleSystemComponent.hpp"

TEST_F(PlayerArenaTest, RunsAtGroundSpeedStopsAtOnceJumpsAndAlternatesFootsteps) {
    ASSERT_NO_FATAL_FAILURE(buildArena());
    ASSERT_TRUE(runUntil([&] { return player1->isGrounded(); }, 120));
    frames(10);
    EXPECT_NEAR(positionOf(*player1).y, -64.0f, 2.0f);

    hold(sf::Keyboard::D);
    std::vector<std::shared_ptr<sf::Sound>> footsteps;
    bool dust = false;
    for (int i = 0; i < 60; ++i) {
        frame();
        auto sound = player1->footstepSource->sound;
        if (sound && (footsteps.empty() || footsteps.back() != sound)) {
            footsteps.push_back(sound);
        }
        dust = dust || player1->dustParticles->particleCount > 0;
    }
    // The controller sets the velocity in its fixed step; ground friction acts in the world step after.
    fixedPart();
    EXPECT_FLOAT_EQ(velocityOf(*player1).x, 5.0f);
    updatePart();
    EXPECT_FALSE(player1->state().facingLeft);
    EXPECT_TRUE(dust);
    // One second of running: a step every 0.3 s, alternating the first two sounds.
    ASSERT_GE(footsteps.size(), 3u);
    for (size_t i = 0; i < footsteps.size(); ++i) {
        EXPECT_EQ(footsteps[i], player1->footstepSounds[i % 2 == 0 ? 1 : 0]) << "footstep " << i;
    }

    hold(sf::Keyboard::D, false);
    frame();
    fixedPart();
    EXPECT_FLOAT_EQ(velocityOf(*player1).x, 0.0f);
    updatePart();

    hold(sf::Keyboard::A);
    frames(20);
    fixedPart();
    EXPECT_FLOAT_EQ(velocityOf(*player1).x, -5.0f);
    updatePart();
    EXPECT_TRUE(player1->state().facingLeft);
    EXPECT_LT(player1->getGameObject()->transform->getScale().x, 0.0f);
    EXPECT_FLOAT_EQ(player1->beard().anchor().x, -20.0f);
    hold(sf::Keyboard::A, false);
    frames(5);

    // A jump sets -7 whatever the vertical speed was.
    hold(sf::Keyboard::Space);
    frame();
    fixedPart();
    EXPECT_FLOAT_EQ(velocityOf(*player1).y, -7.0f);
    updatePart();
    hold(sf::Keyboard::Space, false);
    ASSERT_TRUE(runUntil([&] { return !player1->isGrounded(); }, 10));
    EXPECT_TRUE(runUntil([&] { return player1->animState() == AnimState::jump; }, 10));
    EXPECT_TRUE(
        runUntil([&] { return player1->isGrounded() && player1->animState() == AnimState::idle; }, 120));
}
