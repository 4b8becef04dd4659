#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include <gtest/gtest.h>

#include "audio/AudioSourceComponent.hpp"
#include "audio/SoundManager.hpp"
#include "common/MediaFixtures.hpp"
#include "render/AssetManager.hpp"
#include "render/ParticleSystemComponent.hpp"
#include "render/RenderManager.hpp"
#include "render/SpriteRendererComponent.hpp"
#include "scene/GameObjectManager.hpp"

// The engine's singletons are destroyed at program exit in the reverse order
// of their creation, and persistent game objects holding sounds and
// renderables go with the GameObjectManager. Each case builds such a program
// in a child process, lets it exit, and checks it exited cleanly and quietly.
namespace {
struct ExitResult {
    bool exitedNormally = false;
    int code = -1;
    std::string errors;
};

ExitResult runAndExit(const TempDirectory& dir, const std::function<void()>& program) {
    const std::string errorFile = dir.path("stderr.txt");
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int fd = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(fd, STDERR_FILENO);
        program();
        std::exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ExitResult result;
    result.exitedNormally = WIFEXITED(status);
    result.code = result.exitedNormally ? WEXITSTATUS(status) : -1;
    std::stringstream text;
    text << std::ifstream(errorFile).rdbuf();
    result.errors = text.str();
    return result;
}

// A persistent object with a playing voice, a sprite and a particle system,
// plus a looping effect and music kept by the sound store.
void buildScene(const TempDirectory& dir) {
    auto& sounds = SoundManager::instance();
    sounds.soundPaths["loop"] = dir.path("loop.wav");
    auto& objects = GameObjectManager::instance();
    auto object = objects.createGameObject("held");
    auto voice = addComponent<AudioSourceComponent>(object);
    voice->setSound(sounds.createSound("loop"));
    voice->sound->setLoop(true);
    voice->sound->play();
    addComponent<SpriteRendererComponent>(object, AssetManager::instance().getSprite(dir.path("image.png")));
    auto particles =
        addComponent<ParticleSystemComponent>(object, 0, RenderManager::instance().addLayer("Front"));
    particles->emit();
    sounds.playSound("loop", true, 50, 1);
    sounds.playMusic(dir.path("loop.wav"), true, 1, 50);
    objects.update(0, 0);
}

void expectCleanExit(const ExitResult& result) {
    EXPECT_TRUE(result.exitedNormally);
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.errors.find("OpenAL"), std::string::npos) << result.errors;
    EXPECT_EQ(result.errors.find("ERROR"), std::string::npos) << result.errors;
}

class ProgramExit : public testing::Test {
protected:
    void SetUp() override {
        dir.writeTone("loop.wav", 0.5f);
        dir.writeImage("image.png", 8, 8);
    }
    TempDirectory dir;
};
} // namespace

TEST_F(ProgramExit, SoundStoreCreatedFirstOutlivesTheObjects) {
    expectCleanExit(runAndExit(dir, [this] {
        SoundManager::instance();
        AssetManager::instance();
        RenderManager::instance();
        GameObjectManager::instance();
        buildScene(dir);
    }));
}

TEST_F(ProgramExit, ObjectsCreatedFirstOutliveTheSoundAndRenderStores) {
    expectCleanExit(runAndExit(dir, [this] {
        GameObjectManager::instance();
        RenderManager::instance();
        SoundManager::instance();
        AssetManager::instance();
        buildScene(dir);
    }));
}
