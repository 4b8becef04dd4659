#include <algorithm>

#include <gtest/gtest.h>

#include "audio/SoundManager.hpp"
#include "common/MediaFixtures.hpp"
#include "common/Polling.hpp"

// Each case expects a fresh SoundManager (no cached buffers, nothing
// playing): the test main resets the engine before every case.

namespace {
// Waits (with a generous bound) until the source has played to its end.
bool waitUntilStopped(const sf::SoundSource& source) {
    return pollUntil([&] { return source.getStatus() == sf::SoundSource::Stopped; });
}
} // namespace

TEST(SoundManager, SoundsShareOneCachedBufferFoundThroughAliases) {
    TempDirectory dir;
    const std::string path = dir.writeTone("jump.wav", 0.1f);
    auto& sounds = SoundManager::instance();
    sounds.soundPaths["jump"] = path;
    auto first = sounds.createSound("jump");
    auto second = sounds.createSound("jump");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->getBuffer(), second->getBuffer());
    EXPECT_EQ(first->getBuffer(), sounds.buffers.at("jump").get());
    // Without an alias the name is the path.
    EXPECT_TRUE(sounds.createSound(path));
}

TEST(SoundManager, BackslashesInPathsAreSeparators) {
    TempDirectory dir;
    std::string path = dir.writeTone("sfx/step.wav", 0.05f);
    std::replace(path.begin(), path.end(), '/', '\\');
    auto& sounds = SoundManager::instance();
    sounds.soundPaths["step"] = path;
    EXPECT_TRUE(sounds.createSound("step"));
    EXPECT_TRUE(sounds.createMusic("step"));
}

TEST(SoundManager, MissingFilesGiveNothingAndAreTriedAgain) {
    TempDirectory dir;
    auto& sounds = SoundManager::instance();
    EXPECT_FALSE(sounds.createSound(dir.path("later.wav")));
    EXPECT_FALSE(sounds.playSound(dir.path("later.wav"), false, 50, 1));
    EXPECT_FALSE(sounds.createMusic(dir.path("later.wav")));
    EXPECT_TRUE(sounds.playing.empty());
    EXPECT_TRUE(sounds.buffers.empty());
    dir.writeTone("later.wav", 0.05f);
    EXPECT_TRUE(sounds.createSound(dir.path("later.wav")));
}

TEST(SoundManager, PlayedSoundLivesUntilTheFirstRemoveStoppedAfterItEnds) {
    TempDirectory dir;
    auto& sounds = SoundManager::instance();
    std::weak_ptr<sf::Sound> watched;
    {
        auto sound = sounds.playSound(dir.writeTone("click.wav", 0.05f), false, 40, 1.5f);
        ASSERT_TRUE(sound);
        EXPECT_FALSE(sound->getLoop());
        EXPECT_FLOAT_EQ(sound->getVolume(), 40);
        EXPECT_FLOAT_EQ(sound->getPitch(), 1.5f);
        watched = sound;
    }
    ASSERT_FALSE(watched.expired());
    ASSERT_EQ(sounds.playing.size(), 1u);
    ASSERT_TRUE(waitUntilStopped(*watched.lock()));
    EXPECT_FALSE(watched.expired());
    sounds.removeStopped();
    EXPECT_TRUE(watched.expired());
    EXPECT_TRUE(sounds.playing.empty());
}

TEST(SoundManager, LoopingSoundStaysUntilStoppedByName) {
    TempDirectory dir;
    auto& sounds = SoundManager::instance();
    sounds.soundPaths["hum"] = dir.writeTone("hum.wav", 0.05f);
    sounds.soundPaths["tick"] = dir.writeTone("tick.wav", 0.05f);
    auto hum = sounds.playSound("hum", true, 30, 1);
    auto humToo = sounds.playSound("hum", true, 30, 1);
    auto tick = sounds.playSound("tick", true, 30, 1);
    // Once a sound as long as the loops has ended, they would have too.
    auto once = sounds.playSound("tick", false, 30, 1);
    ASSERT_TRUE(waitUntilStopped(*once));
    sounds.removeStopped();
    EXPECT_EQ(sounds.playing.size(), 3u);
    EXPECT_EQ(hum->getStatus(), sf::SoundSource::Playing);

    sounds.stop("hum");
    EXPECT_EQ(hum->getStatus(), sf::SoundSource::Stopped);
    EXPECT_EQ(humToo->getStatus(), sf::SoundSource::Stopped);
    ASSERT_EQ(sounds.playing.size(), 1u);
    EXPECT_EQ(sounds.playing[0].name, "tick");
    sounds.stop("nothing by that name");
    EXPECT_EQ(sounds.playing.size(), 1u);
}

TEST(SoundManager, StopWithEmptyNameStopsEverythingIncludingMusic) {
    TempDirectory dir;
    auto& sounds = SoundManager::instance();
    auto music = sounds.playMusic(dir.writeTone("theme.wav", 0.5f), true, 1.0f, 20.0f);
    ASSERT_TRUE(music);
    EXPECT_TRUE(music->getLoop());
    EXPECT_FLOAT_EQ(music->getVolume(), 20);
    auto sound = sounds.playSound(dir.writeTone("fx.wav", 0.5f), true, 30, 1);
    sounds.stop("");
    EXPECT_TRUE(sounds.playing.empty());
    EXPECT_EQ(music->getStatus(), sf::SoundSource::Stopped);
    EXPECT_EQ(sound->getStatus(), sf::SoundSource::Stopped);
}

TEST(SoundManager, SoundKeepsItsSamplesWhenTheCacheLetsGo) {
    TempDirectory dir;
    auto& sounds = SoundManager::instance();
    // Looping, so it is still playing however long the process stalls.
    auto sound = sounds.playSound(dir.writeTone("long.wav", 1.0f), true, 30, 1);
    ASSERT_TRUE(sound);
    const sf::SoundBuffer* buffer = sound->getBuffer();
    sounds.buffers.clear();
    ASSERT_EQ(sound->getBuffer(), buffer);
    EXPECT_EQ(buffer->getSampleCount(), 22050u);
    // Playback goes on through the samples the cache no longer holds.
    EXPECT_TRUE(pollUntil([&] { return sound->getPlayingOffset() > sf::milliseconds(50); }));
    EXPECT_EQ(sound->getStatus(), sf::SoundSource::Playing);
    sounds.stop("");
}
