// The music across a match: the title's track gives way to the arena's when
// the match starts and comes back when it ends, each fade two seconds long.
#include "game/GameScenario.hpp"

namespace {
class MusicAcrossAMatch : public GameScenario {};
} // namespace

TEST_F(MusicAcrossAMatch, ArenaTrackFadesInAtTheStartAndTheTitleComesBackAfterTheMatch) {
    start();
    frames(130);
    ASSERT_TRUE(game.musicTrack);
    ASSERT_FLOAT_EQ(game.musicTrack->getVolume(), 15.0f);
    EXPECT_FALSE(game.music.matchTrack);

    // Into a match on the second arena: its own track, from silence.
    clickPlay("Arena2");
    frames(1);
    ASSERT_EQ(state(), "Arena");
    frames(1);
    ASSERT_TRUE(game.music.matchTrack);
    EXPECT_EQ(game.music.matchTrackName, "music spires");
    EXPECT_EQ(game.music.matchTrack->getStatus(), sf::SoundSource::Playing);
    EXPECT_LT(game.music.matchTrack->getVolume(), 1.0f);
    frames(59);
    EXPECT_NEAR(game.music.matchTrack->getVolume(), 7.5f, 0.3f);
    EXPECT_NEAR(game.musicTrack->getVolume(), 7.5f, 0.3f);
    EXPECT_NEAR(game.musicTrack->getVolume() + game.music.matchTrack->getVolume(), 15.0f, 0.01f)
        << "the two fade across: together they stay at full";
    frames(62);
    EXPECT_FLOAT_EQ(game.music.matchTrack->getVolume(), 15.0f);
    EXPECT_FLOAT_EQ(game.musicTrack->getVolume(), 0.0f);
    EXPECT_EQ(game.musicTrack->getStatus(), sf::SoundSource::Paused) << "a track nobody hears is not decoded";
    // The ambience goes on underneath all along.
    ASSERT_TRUE(game.ambientTrack);
    EXPECT_FLOAT_EQ(game.ambientTrack->getVolume(), 15.0f);

    // The match ends: the title's track resumes and the arena's fades out and goes.
    gameOver(1);
    frames(1);
    ASSERT_EQ(state(), "Victory");
    frames(1);
    EXPECT_EQ(game.musicTrack->getStatus(), sf::SoundSource::Playing);
    frames(60);
    ASSERT_TRUE(game.music.matchTrack);
    EXPECT_NEAR(game.musicTrack->getVolume(), 7.5f, 0.3f);
    frames(62);
    EXPECT_FLOAT_EQ(game.musicTrack->getVolume(), 15.0f);
    EXPECT_FALSE(game.music.matchTrack);

    // A rematch fades the arena's track in again, from its start.
    click("victory", "Rematch");
    frames(3);
    ASSERT_EQ(state(), "Arena");
    ASSERT_TRUE(game.music.matchTrack);
    EXPECT_LT(game.music.matchTrack->getPlayingOffset().asSeconds(), 1.0f);
    EXPECT_GT(game.music.matchTrack->getVolume(), 0.0f);
}
