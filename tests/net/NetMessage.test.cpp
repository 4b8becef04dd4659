#include <gtest/gtest.h>

#include "net/NetMessage.hpp"

namespace {
net::InputRun sampleRun() {
    net::InputRun run;
    run.firstFrame = 40;
    run.receivedUpTo = 37;
    for (int i = 0; i < 5; ++i) {
        net::PlayerInput input;
        input.down = static_cast<uint8_t>(i);
        input.tapped = 1;
        input.axes = {static_cast<int16_t>(-32767 + i), 32767};
        run.frames.push_back(input);
    }
    return run;
}

// Every kind of message, encoded.
std::vector<std::vector<uint8_t>> everyKind() {
    net::MatchRules rules;
    rules.seed = 99;
    rules.lives = 5;
    rules.inputDelay = 4;
    rules.roundTripMs = 101;
    rules.arena = "magicmap";
    return {net::encodeHello({net::protocolVersion, "build x", 1234}),
            net::encodeRefusal("no"),
            net::encodePing(7),
            net::encodePong(7),
            net::encodeStart(rules),
            net::encodeInputs(sampleRun()),
            net::encodeChecksum({30, 0xabcdef01}),
            net::encodeStop({net::StopReason::disagree, 60}),
            net::encodeRematch()};
}
} // namespace

TEST(NetMessage, EveryMessageReadsBackAsWritten) {
    net::Message message;
    const net::InputRun run = sampleRun();
    ASSERT_TRUE(net::decodeMessage(net::encodeInputs(run).data(), net::encodeInputs(run).size(), message));
    EXPECT_EQ(message.kind, net::MessageKind::inputs);
    EXPECT_EQ(message.inputs.firstFrame, 40u);
    EXPECT_EQ(message.inputs.receivedUpTo, 37u);
    ASSERT_EQ(message.inputs.frames.size(), 5u);
    for (size_t i = 0; i < run.frames.size(); ++i) {
        EXPECT_EQ(message.inputs.frames[i], run.frames[i]);
    }

    net::MatchRules rules;
    rules.seed = 0xfeedbeef;
    rules.lives = 0;
    rules.inputDelay = 8;
    rules.arena = "arena two";
    const auto start = net::encodeStart(rules);
    ASSERT_TRUE(net::decodeMessage(start.data(), start.size(), message));
    EXPECT_EQ(message.rules.seed, 0xfeedbeefu);
    EXPECT_EQ(message.rules.lives, 0);
    EXPECT_EQ(message.rules.inputDelay, 8);
    EXPECT_EQ(message.rules.arena, "arena two");

    for (const auto& bytes : everyKind()) {
        EXPECT_TRUE(net::decodeMessage(bytes.data(), bytes.size(), message)) << int(bytes[0]);
    }
}

TEST(NetMessage, CutExtendedOrOversizedPacketsAreRefusedWhole) {
    net::Message message;
    for (const auto& bytes : everyKind()) {
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            EXPECT_FALSE(net::decodeMessage(bytes.data(), cut, message))
                << int(bytes[0]) << " cut at " << cut;
        }
        auto longer = bytes;
        longer.push_back(0);
        EXPECT_FALSE(net::decodeMessage(longer.data(), longer.size(), message)) << int(bytes[0]);
    }
    const std::vector<uint8_t> huge(net::maxPacketBytes + 1, 9);
    EXPECT_FALSE(net::decodeMessage(huge.data(), huge.size(), message));
    const std::vector<uint8_t> unknownKind{200, 1, 2};
    EXPECT_FALSE(net::decodeMessage(unknownKind.data(), unknownKind.size(), message));
    EXPECT_FALSE(net::decodeMessage(nullptr, 0, message));
}

TEST(NetMessage, SizeFieldsThatLieAreRefusedBeforeAnythingIsMade) {
    net::Message message;
    // An input run claiming 255 frames with one frame's bytes behind it.
    std::vector<uint8_t> lying{
        static_cast<uint8_t>(net::MessageKind::inputs), 0, 0, 0, 0, 0, 0, 0, 0, 255, 1, 0, 0, 0, 0, 0};
    EXPECT_FALSE(net::decodeMessage(lying.data(), lying.size(), message));
    // More frames than a run may carry, with all their bytes present.
    std::vector<uint8_t> tooMany{static_cast<uint8_t>(net::MessageKind::inputs), 0, 0, 0, 0, 0, 0, 0, 0,
                                 static_cast<uint8_t>(net::maxInputFrames + 1)};
    tooMany.resize(tooMany.size() + (net::maxInputFrames + 1) * 6, 0);
    EXPECT_FALSE(net::decodeMessage(tooMany.data(), tooMany.size(), message));
    // A text length past the limit, and one past the packet's end.
    std::vector<uint8_t> longText{static_cast<uint8_t>(net::MessageKind::refusal), 250};
    longText.resize(252, 'x');
    EXPECT_FALSE(net::decodeMessage(longText.data(), longText.size(), message));
    std::vector<uint8_t> shortText{static_cast<uint8_t>(net::MessageKind::refusal), 20, 'a'};
    EXPECT_FALSE(net::decodeMessage(shortText.data(), shortText.size(), message));
    // Rules out of range: an input delay of 1, and 12 lives.
    net::MatchRules rules;
    auto start = net::encodeStart(rules);
    start[6] = 1;
    EXPECT_FALSE(net::decodeMessage(start.data(), start.size(), message));
    start[6] = 2;
    start[5] = 12;
    EXPECT_FALSE(net::decodeMessage(start.data(), start.size(), message));
}
