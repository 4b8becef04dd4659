#include <gtest/gtest.h>

#include "net/LinkSimulator.hpp"

TEST(LinkSimulator, ReadsEverySettingAndRefusesWhatItDoesNotKnow) {
    net::LinkShape shape;
    std::string problem;
    ASSERT_TRUE(net::parseLinkShape("delay=120,jitter=10,loss=5,duplicate=1.5,seed=9", shape, problem))
        << problem;
    EXPECT_EQ(shape.delayMs, 120);
    EXPECT_EQ(shape.jitterMs, 10);
    EXPECT_DOUBLE_EQ(shape.lossPercent, 5.0);
    EXPECT_DOUBLE_EQ(shape.duplicatePercent, 1.5);
    EXPECT_EQ(shape.seed, 9u);
    for (const char* bad :
         {"delay=-1", "loss=101", "speed=3", "delay=10,delay=20", "delay=", "jitter=1.5", ""}) {
        EXPECT_FALSE(net::parseLinkShape(bad, shape, problem)) << bad;
        EXPECT_FALSE(problem.empty());
    }
}

TEST(LinkSimulator, PacketsLeaveAfterTheirDelayAndReliableOnesKeepTheirOrder) {
    net::LinkShape shape;
    shape.delayMs = 100;
    shape.jitterMs = 50;
    net::LinkSimulator link(shape);
    for (uint8_t i = 0; i < 50; ++i) {
        link.submit({i}, true, 0.0);
    }
    EXPECT_TRUE(link.takeDue(0.049).empty()) << "nothing leaves before the shortest delay";
    std::vector<uint8_t> order;
    for (double now = 0.05; now < 0.2; now += 0.001) {
        for (const auto& packet : link.takeDue(now)) {
            order.push_back(packet.bytes[0]);
        }
    }
    ASSERT_EQ(order.size(), 50u) << "every reliable packet leaves, none twice";
    for (uint8_t i = 0; i < 50; ++i) {
        EXPECT_EQ(order[i], i);
    }
}

TEST(LinkSimulator, LossAndDuplicationHitUnreliablePacketsAtTheirRateTheSameWayForTheSameSeed) {
    net::LinkShape shape;
    shape.lossPercent = 5.0;
    shape.duplicatePercent = 1.0;
    shape.seed = 3;
    const auto sent = [&shape] {
        net::LinkSimulator link(shape);
        for (int i = 0; i < 20000; ++i) {
            link.submit({1}, false, 0.0);
        }
        return link.takeDue(0.0).size();
    };
    const size_t count = sent();
    // 95 % arrive, 1 % of those twice.
    EXPECT_GT(count, 18900u);
    EXPECT_LT(count, 19500u);
    EXPECT_NE(count, 19000u * 101 / 100 + 1000) << "loss and duplication both happen";
    EXPECT_EQ(sent(), count) << "the same seed shapes the same way";
}
