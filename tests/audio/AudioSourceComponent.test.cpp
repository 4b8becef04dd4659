#include <gtest/gtest.h>

#include "audio/AudioSourceComponent.hpp"
#include "audio/SoundManager.hpp"
#include "common/MediaFixtures.hpp"
#include "scene/GameObjectManager.hpp"

class AudioSource : public testing::Test {
protected:
    void SetUp() override {
        SoundManager::instance().soundPaths["step"] = dir.writeTone("step.wav", 20.0f);
        owner = GameObjectManager::instance().createGameObject("walker");
        voice = addComponent<AudioSourceComponent>(owner);
    }

    TempDirectory dir;
    std::shared_ptr<GameObject> owner;
    std::shared_ptr<AudioSourceComponent> voice;
};

TEST_F(AudioSource, VolumeOnAnEmptyVoiceIsStoredForTheNextSound) {
    EXPECT_EQ(voice->volume, 100.0f);
    EXPECT_EQ(voice->pitch, 1.0f);
    voice->setVolume(15.0f);
    voice->setSound(SoundManager::instance().createSound("step"));
    voice->sound->play();
    voice->sound->setPitch(voice->pitch);
    voice->sound->setVolume(voice->volume);
    EXPECT_FLOAT_EQ(voice->sound->getVolume(), 15.0f);
    voice->setVolume(25.0f);
    EXPECT_FLOAT_EQ(voice->sound->getVolume(), 25.0f);
}

TEST_F(AudioSource, NewSoundStopsTheOldOneAtOnce) {
    auto& sounds = SoundManager::instance();
    voice->setSound(sounds.createSound("step"));
    auto old = voice->sound;
    old->play();
    voice->setSound(sounds.createSound("step"));
    EXPECT_EQ(old->getStatus(), sf::SoundSource::Stopped);
    EXPECT_NE(voice->sound, old);
}

TEST_F(AudioSource, PausedSoundResumesWhereItLeftOff) {
    voice->setSound(SoundManager::instance().createSound("step"));
    voice->sound->setPlayingOffset(sf::seconds(0.5f));
    voice->sound->play();
    voice->sound->pause();
    const sf::Time paused = voice->sound->getPlayingOffset();
    EXPECT_GE(paused, sf::seconds(0.5f));
    voice->sound->play();
    EXPECT_GE(voice->sound->getPlayingOffset(), paused);
}

TEST_F(AudioSource, DestroyingTheVoiceStopsItsSound) {
    voice->setSound(SoundManager::instance().createSound("step"));
    auto sound = voice->sound;
    sound->play();
    owner->components.pop_back();
    voice.reset();
    EXPECT_EQ(sound->getStatus(), sf::SoundSource::Stopped);
}
