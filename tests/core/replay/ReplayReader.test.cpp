#include <gtest/gtest.h>

#include <cstdio>

#include <filesystem>
#include <string>
#include <vector>

#include "common/KeyEvents.hpp"
#include "common/ScriptedInputTest.hpp"
#include "common/TestOutput.hpp"
#include "common/TextFiles.hpp"
#include "core/replay/ReplayInputBackend.hpp"
#include "core/replay/ReplayReader.hpp"
#include "core/replay/ReplayWriter.hpp"

namespace {
constexpr float step = 1.0f / 60.0f;

const std::string validHeader =
    "vorlune-replay 2\nseed 42\nstep 0.016666668\naction Hop\naction Push\naxis Steer\n";

class ReplayFiles : public ScriptedInputTest {
protected:
    void SetUp() override {
        ScriptedInputTest::SetUp();
        input.addAction("Hop", false);
        input.addKey("Hop", sf::Keyboard::Space);
        input.addAction("Push", true);
        input.addKey("Push", sf::Keyboard::D);
        input.addAxis("Steer");
        input.addJoystickAxis("Steer", sf::Joystick::X, 0);
        input.sampleAxesPerFrame = true;
    }
    void TearDown() override {
        input.sampleAxesPerFrame = false;
        ScriptedInputTest::TearDown();
    }

    // Loading `text` fails with one line that names the file and contains `expected`.
    void expectRefused(const std::string& name, const std::string& text, const std::string& expected) {
        const std::string path = testOutputPath("replay/" + name);
        writeWholeFile(path, text);
        ReplayReader reader;
        std::string problem;
        EXPECT_FALSE(reader.load(path, problem)) << name;
        EXPECT_EQ(problem.find('\n'), std::string::npos) << problem;
        EXPECT_EQ(problem.rfind("Replay " + path + ": ", 0), 0u) << problem;
        EXPECT_NE(problem.find(expected), std::string::npos) << name << ": " << problem;
        EXPECT_EQ(reader.frameCount(), 0u);
        EXPECT_FALSE(reader.hasNextFrame());
    }
};
} // namespace

TEST_F(ReplayFiles, WhatIsWrittenReadsBackBitForBitWithItsEvents) {
    const std::string path = testOutputPath("replay/roundtrip.txt");
    ReplayWriter writer;
    std::string problem;
    ASSERT_TRUE(writer.open(path, input, 42, step, problem)) << problem;

    // Frame 1: nothing; frame 2: Hop and a stick part-way with a click and a
    // key (a pad's move is not for the GUI: left out); frame 3: Push, stick left.
    input.update();
    writer.writeFrame(step, input, {});
    devices->setKey(sf::Keyboard::Space, true);
    devices->setJoystickAxis(0, sf::Joystick::X, 37.0f);
    input.update();
    const float steer = input.getAxis("Steer");
    EXPECT_GT(steer, 0.1f);
    sf::Event click;
    click.type = sf::Event::MouseButtonPressed;
    click.mouseButton = {sf::Mouse::Left, 120, -4};
    sf::Event key;
    key.type = sf::Event::KeyPressed;
    key.key = sf::Event::KeyEvent{sf::Keyboard::Down, false, false, true, false};
    sf::Event moved;
    moved.type = sf::Event::JoystickMoved;
    moved.joystickMove = {0, sf::Joystick::X, 50.0f};
    writer.writeFrame(0.1f, input, {click, key, moved});
    devices->reset();
    devices->setKey(sf::Keyboard::D, true);
    devices->setJoystickAxis(0, sf::Joystick::X, -100.0f);
    input.update();
    writer.writeFrame(1.0f / 3.0f, input, {});
    ASSERT_TRUE(writer.finish(problem)) << problem;

    ReplayReader reader;
    ASSERT_TRUE(reader.load(path, problem)) << problem;
    std::string mismatch;
    EXPECT_TRUE(reader.matches(input, step, mismatch)) << mismatch;
    EXPECT_EQ(reader.getHeader().seed, 42u);
    EXPECT_EQ(reader.getHeader().fixedStep, step);
    EXPECT_EQ(reader.getHeader().actionNames, (std::vector<std::string>{"Hop", "Push"}));
    ASSERT_EQ(reader.frameCount(), 3u);

    ASSERT_TRUE(reader.advance());
    EXPECT_EQ(reader.getDelta(), step);
    EXPECT_FALSE(reader.isActionDown("Hop"));
    EXPECT_EQ(reader.getAxisValue("Steer"), 0.0f);
    EXPECT_TRUE(reader.getEvents().empty());

    ASSERT_TRUE(reader.advance());
    EXPECT_EQ(reader.getDelta(), 0.1f);
    EXPECT_TRUE(reader.isActionDown("Hop"));
    EXPECT_FALSE(reader.isActionDown("Push"));
    EXPECT_EQ(reader.getAxisValue("Steer"), steer);
    ASSERT_EQ(reader.getEvents().size(), 2u);
    EXPECT_EQ(reader.getEvents()[0].type, sf::Event::MouseButtonPressed);
    EXPECT_EQ(reader.getEvents()[0].mouseButton.x, 120);
    EXPECT_EQ(reader.getEvents()[0].mouseButton.y, -4);
    EXPECT_EQ(reader.getEvents()[1].type, sf::Event::KeyPressed);
    EXPECT_EQ(reader.getEvents()[1].key.code, sf::Keyboard::Down);
    EXPECT_TRUE(reader.getEvents()[1].key.shift) << "Shift+Tab goes back through the focus";

    ASSERT_TRUE(reader.advance());
    EXPECT_EQ(reader.getDelta(), 1.0f / 3.0f);
    EXPECT_FALSE(reader.isActionDown("Hop"));
    EXPECT_TRUE(reader.isActionDown("Push"));
    EXPECT_EQ(reader.getAxisValue("Steer"), -1.0f);
    EXPECT_FALSE(reader.hasNextFrame());
    EXPECT_FALSE(reader.advance());
    EXPECT_TRUE(reader.isActionDown("Push")) << "the cursor stays on the last frame";
    EXPECT_FALSE(reader.isActionDown("Unknown"));
}

TEST_F(ReplayFiles, DamagedAndForeignFilesFailWithOneLine) {
    const std::string frame = "f 0.016666668 10 0.5\n";
    std::remove(testOutputPath("replay/missing.txt").c_str());
    {
        ReplayReader reader;
        std::string problem;
        EXPECT_FALSE(reader.load(testOutputPath("replay/missing.txt"), problem));
        EXPECT_NE(problem.find("cannot open"), std::string::npos) << problem;
    }
    expectRefused("empty.txt", "", "the file is empty");
    expectRefused("foreign.txt", "<?xml version=\"1.0\"?>\n<map/>\n", "not a replay file");
    expectRefused("binary.txt", std::string("\x89PNG\r\n\x1a\n\0\0", 10), "not a replay file");
    expectRefused("version.txt", "vorlune-replay 3\nseed 1\nstep 0.016666668\nf 0.1 - \nend 1\n",
                  "format version '3' is not supported (this build reads version 2)");
    // Recorded when input reached the match a frame later: it would not play the same.
    expectRefused("version1.txt", "vorlune-replay 1\nseed 1\nstep 0.016666668\nf 0.1 - \nend 1\n",
                  "format version 1 was recorded by an earlier game");
    expectRefused("headeronly.txt", "vorlune-replay 2\n", "line 2: expected 'seed'");
    expectRefused("truncated.txt", validHeader + frame + frame, "ends after 2 frames without its end line");
    expectRefused("cutmidline.txt", validHeader + frame + "f 0.0166",
                  "ends in the middle of line 8 (truncated)");
    std::string twelveFrames;
    for (int i = 0; i < 12; ++i) {
        twelveFrames += frame;
    }
    // "end 12" cut after its first digit.
    expectRefused("cutend.txt", validHeader + twelveFrames + "end 1",
                  "ends in the middle of line 19 (truncated)");
    expectRefused("garbage.txt", validHeader + "f zero 10 0.5\nend 1\n", "frame delta 'zero'");
    expectRefused("nandelta.txt", validHeader + "f nan 10 0.5\nend 1\n", "frame delta 'nan'");
    expectRefused("negative.txt", validHeader + "f -0.5 10 0.5\nend 1\n", "frame delta '-0.5'");
    expectRefused("nanaxis.txt", validHeader + "f 0.1 10 nan\nend 1\n", "axis value 'nan'");
    expectRefused("infaxis.txt", validHeader + "f 0.1 10 inf\nend 1\n", "axis value 'inf'");
    expectRefused("bigaxis.txt", validHeader + "f 0.1 10 7\nend 1\n", "axis value '7'");
    expectRefused("states.txt", validHeader + "f 0.1 1x 0.5\nend 1\n",
                  "one digit 0 to 3 for each of the 2 actions");
    expectRefused("hugecount.txt", validHeader + frame + "end 99999999999999999999\n", "needs a frame count");
    expectRefused("wrongcount.txt", validHeader + frame + "end 5\n", "counts 5 frames, but the file has 1");
    expectRefused("after.txt", validHeader + frame + "end 1\nf 0.1 00 0\n", "text after the end line");
    expectRefused("event.txt", validHeader + frame + "g pressed 9 1 1\nend 1\n", "out of range");
    expectRefused("key.txt", validHeader + frame + "g keydown 999 0\nend 1\n", "out of range");
    expectRefused("keyshift.txt", validHeader + frame + "g keyup 58\nend 1\n", "needs 2 numbers");
    expectRefused("pad.txt", validHeader + frame + "g padlost 8\nend 1\n", "out of range");
    expectRefused("eventfirst.txt", validHeader + "g left\n" + frame + "end 1\n", "before the first frame");
    expectRefused("twice.txt", "vorlune-replay 2\nseed 1\nstep 0.016666668\naction Hop\naction Hop\nend 0\n",
                  "named twice");
    std::string manyNames = "vorlune-replay 2\nseed 1\nstep 0.016666668\n";
    for (int i = 0; i < 300; ++i) {
        manyNames += "axis A" + std::to_string(i) + "\n";
    }
    expectRefused("names.txt", manyNames, "more than 256 axis names");
}

TEST_F(ReplayFiles, ReplayOfAnotherGameDoesNotMatch) {
    const auto problemFor = [this](const std::string& name, const std::string& text) {
        const std::string path = testOutputPath("replay/" + name);
        writeWholeFile(path, text);
        ReplayReader reader;
        std::string problem;
        EXPECT_TRUE(reader.load(path, problem)) << problem;
        EXPECT_FALSE(reader.matches(input, step, problem));
        EXPECT_EQ(problem.find('\n'), std::string::npos);
        return problem;
    };
    EXPECT_NE(problemFor("fly.txt", "vorlune-replay 2\nseed 1\nstep 0.016666668\naction Fly\naction Hop\n"
                                    "action Push\naxis Steer\nf 0.1 100 0\nend 1\n")
                  .find("records the action 'Fly', which this game does not have"),
              std::string::npos);
    EXPECT_NE(problemFor("nopush.txt", "vorlune-replay 2\nseed 1\nstep 0.016666668\naction Hop\naxis Steer\n"
                                       "f 0.1 1 0\nend 1\n")
                  .find("does not record this game's action 'Push'"),
              std::string::npos);
    EXPECT_NE(problemFor("step.txt", "vorlune-replay 2\nseed 1\nstep 0.02\naction Hop\naction Push\n"
                                     "axis Steer\nend 0\n")
                  .find("recorded with a fixed step of 0.02 s"),
              std::string::npos);
}

TEST_F(ReplayFiles, EveryCutOfARecordingIsRefusedWithOneLine) {
    const std::string full = validHeader + "f 0.016666668 10 0.5\ng moved 3 4\ng pressed 0 3 4\nf 0.1 01 -1\n"
                                           "g resized 800 600\nf 0 00 0\nend 3\n";
    const std::string path = testOutputPath("replay/cut.txt");
    for (size_t length = 0; length < full.size(); ++length) {
        writeWholeFile(path, full.substr(0, length));
        ReplayReader reader;
        std::string problem;
        // Without only its last line break the file still says everything.
        EXPECT_EQ(reader.load(path, problem), length == full.size() - 1) << length << ": " << problem;
        EXPECT_EQ(problem.find('\n'), std::string::npos) << problem;
    }
    writeWholeFile(path, full);
    ReplayReader reader;
    std::string problem;
    ASSERT_TRUE(reader.load(path, problem)) << problem;
    EXPECT_EQ(reader.frameCount(), 3u);
}

// A tap between two frames fires in the live run and in its replay alike.
TEST_F(ReplayFiles, TapsBetweenFramesAreRecordedAndPlayBack) {
    const std::string path = testOutputPath("replay/tap.txt");
    ReplayWriter writer;
    std::string problem;
    ASSERT_TRUE(writer.open(path, input, 7, step, problem)) << problem;
    input.handleEvent(keys::pressed(sf::Keyboard::Space));
    input.handleEvent(keys::released(sf::Keyboard::Space));
    std::vector<bool> fired;
    for (int frame = 0; frame < 3; ++frame) {
        input.update();
        fired.push_back(input.wasPressed("Hop"));
        writer.writeFrame(step, input, {});
    }
    ASSERT_TRUE(writer.finish(problem)) << problem;
    EXPECT_EQ(fired, (std::vector<bool>{true, false, false}));
    EXPECT_NE(readWholeFile(path).find("\nf 0.016666668 20 0\n"), std::string::npos) << readWholeFile(path);

    auto reader = std::make_shared<ReplayReader>();
    ASSERT_TRUE(reader->load(path, problem)) << problem;
    input.setBackend(std::make_shared<ReplayInputBackend>(reader));
    std::vector<bool> replayed;
    while (reader->advance()) {
        input.update();
        replayed.push_back(input.wasPressed("Hop"));
    }
    EXPECT_EQ(replayed, fired);
}

TEST_F(ReplayFiles, ARunThatBeganElsewhereSaysWhereAndOneFromStartUpSaysNothing) {
    const std::string path = testOutputPath("replay/start.txt");
    ReplayWriter writer;
    std::string problem;
    ASSERT_TRUE(writer.open(path, input, 9, step, "online lives=2", problem)) << problem;
    input.update();
    writer.writeFrame(step, input, {});
    ASSERT_TRUE(writer.finish(problem)) << problem;
    ReplayReader reader;
    ASSERT_TRUE(reader.load(path, problem)) << problem;
    EXPECT_EQ(reader.getHeader().start, "online lives=2");
    EXPECT_EQ(reader.getHeader().seed, 9u);
    EXPECT_EQ(reader.frameCount(), 1u);

    ASSERT_TRUE(writer.open(path, input, 9, step, problem)) << problem;
    ASSERT_TRUE(writer.finish(problem)) << problem;
    ASSERT_TRUE(reader.load(path, problem)) << problem;
    EXPECT_EQ(reader.getHeader().start, "");

    EXPECT_FALSE(writer.open(path, input, 9, step, "two\nlines", problem));
    expectRefused("start-empty.txt", "vorlune-replay 2\nseed 1\nstep 0.016666668\nstart \nend 0\n",
                  "the start is empty or too long");
}

TEST_F(ReplayFiles, ARecordingMadeOnlyNewNeverWritesThroughWhatIsAlreadyThere) {
    const std::filesystem::path folder = testOutputPath("replay/new-only");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    // Someone else's file, and a link to it at the name the recording wants.
    const std::string theirs = (folder / "theirs.txt").string();
    writeWholeFile(theirs, "not a recording");
    const std::string linked = (folder / "linked.replay").string();
    std::filesystem::create_symlink(theirs, linked);
    const std::string dangling = (folder / "dangling.replay").string();
    std::filesystem::create_symlink(folder / "nowhere.txt", dangling);

    ReplayWriter writer;
    std::string problem;
    for (const auto& taken : {linked, dangling, theirs}) {
        EXPECT_FALSE(
            writer.open(taken, input, 9, step, "online lives=1", problem, ReplayWriter::Creation::newOnly))
            << taken;
        EXPECT_NE(problem.find(taken), std::string::npos) << problem;
    }
    EXPECT_EQ(readWholeFile(theirs), "not a recording");
    EXPECT_FALSE(std::filesystem::exists(folder / "nowhere.txt"));

    const std::string fresh = (folder / "fresh.replay").string();
    ASSERT_TRUE(
        writer.open(fresh, input, 9, step, "online lives=1", problem, ReplayWriter::Creation::newOnly))
        << problem;
    input.update();
    writer.writeFrame(step, input, {});
    ASSERT_TRUE(writer.finish(problem)) << problem;
    ReplayReader reader;
    ASSERT_TRUE(reader.load(fresh, problem)) << problem;
    EXPECT_EQ(reader.frameCount(), 1u);
    // Once there, the same name is not made new again.
    EXPECT_FALSE(writer.open(fresh, input, 9, step, "", problem, ReplayWriter::Creation::newOnly));
}
