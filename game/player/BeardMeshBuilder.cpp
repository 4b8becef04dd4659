#include "game/player/BeardMeshBuilder.hpp"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "game/player/BeardSegmentComponent.hpp"
#include "game/player/PlayerColors.hpp"
#include "game/player/PlayerControllerComponent.hpp"
#include "render/PolygonRendererComponent.hpp"
#include "scene/GameObject.hpp"

namespace {
constexpr float radiansPerDegree = 0.017453292f;
// The chin moves with the pose (pixels, for a player facing right): forward
// when running, forward and up in the air.
constexpr float runningChinForward = 10.0f;
constexpr float airborneChinForward = 5.0f;
constexpr float airborneChinUp = 5.0f;

sf::Vector2f positionOf(const BeardSegmentComponent& segment) {
    const GameObject* object = segment.peekGameObject();
    return object ? object->transform->getPosition() : sf::Vector2f(0.0f, 0.0f);
}

sf::Vector2f normalised(sf::Vector2f v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y);
    return length > 1e-4f ? v / length : sf::Vector2f(0.0f, 0.0f);
}

// A segment of the chain and its world position, read once per rebuild.
struct ChainPoint {
    const BeardSegmentComponent* segment;
    sf::Vector2f position;
};

// The chain from the chin on, at most `most` segments. The storage is kept
// from one rebuild to the next (every rebuild runs on the main thread), so a
// fixed step allocates nothing here.
const std::vector<ChainPoint>& chainPoints(const Beard& beard, std::size_t most) {
    static std::vector<ChainPoint> points;
    points.clear();
    for (auto segment = beard.firstSegment(); segment && points.size() < most;
         segment = segment->towardTip.lock()) {
        points.push_back({segment.get(), positionOf(*segment)});
    }
    return points;
}

// Unit vector across the chain at point i: perpendicular to the line
// between its two neighbours, or to the line to its only neighbour, or along
// its rotation when it is alone. Spanning both neighbours turns each pair
// halfway between the links it joins, so a sharply bent beard stays one band
// instead of folding into saw teeth.
sf::Vector2f crossDirection(const std::vector<ChainPoint>& points, std::size_t i) {
    const BeardSegmentComponent& segment = *points[i].segment;
    const sf::Vector2f here = points[i].position;
    sf::Vector2f from = here;
    if (i > 0) {
        from = points[i - 1].position;
    } else if (auto previous = segment.towardChin.lock()) {
        from = positionOf(*previous);
    }
    sf::Vector2f to = here;
    if (i + 1 < points.size()) {
        to = points[i + 1].position;
    } else if (auto next = segment.towardTip.lock()) {
        to = positionOf(*next);
    }
    sf::Vector2f along = normalised(to - from);
    if (along == sf::Vector2f(0.0f, 0.0f)) {
        auto object = segment.getGameObject();
        const float angle = object ? object->transform->getRotation() * radiansPerDegree : 0.0f;
        return {std::cos(angle), std::sin(angle)};
    }
    return {-along.y, along.x};
}

float dot(sf::Vector2f a, sf::Vector2f b) {
    return a.x * b.x + a.y * b.y;
}

sf::Uint8 mixChannel(sf::Uint8 from, sf::Uint8 to, float f) {
    const float value = static_cast<float>(from) * (1.0f - f) + static_cast<float>(to) * f;
    // Clamped to [0, 255] with NaN as 0, as fmax and fmin would, without
    // their library calls: four per vertex and step in magic mode.
    const float floored = value > 0.0f ? value : 0.0f;
    return static_cast<sf::Uint8>(floored < 255.0f ? floored : 255.0f);
}

sf::Vector2f chinOffsetFor(const PlayerControllerComponent& player) {
    sf::Vector2f offset = player.tuning.chinOffset;
    switch (player.animState()) {
    case AnimState::run:
    case AnimState::runStart:
        offset.x += runningChinForward;
        break;
    case AnimState::jump:
    case AnimState::fall:
        offset.x += airborneChinForward;
        offset.y -= airborneChinUp;
        break;
    case AnimState::idle:
    case AnimState::runStop:
        break;
    }
    return offset;
}

// `mesh` holds `count` vertices.
void colour(const PlayerControllerComponent& player, sf::Vertex* mesh, std::size_t count, float time) {
    const sf::Color hair = playerColors(player.playerNumber()).hair;
    if (!player.state().magicActive && player.magicPulse() == 0.0f) {
        for (std::size_t i = 0; i < count; ++i) {
            mesh[i].color = hair;
        }
        return;
    }
    float q = player.magicPulse() / player.tuning.magicPulseTime;
    if (q < 0.0f) {
        q += 1.0f;
    }
    const float a = q == 0.0f ? 0.5f : 0.5f * q;
    const sf::Color magic(static_cast<sf::Uint8>(player.tuning.magicColor.r * player.tuning.magicColorAmount),
                          static_cast<sf::Uint8>(player.tuning.magicColor.g * player.tuning.magicColorAmount),
                          static_cast<sf::Uint8>(player.tuning.magicColor.b * player.tuning.magicColorAmount),
                          255);
    sf::Color full = hair + magic;
    full.a = 255;
    const float n = static_cast<float>(count) - 3.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const float f = (std::cos(2.0f * (n - static_cast<float>(i)) + 10.0f * time) + 1.0f) * a;
        mesh[i].color = sf::Color(mixChannel(hair.r, full.r, f), mixChannel(hair.g, full.g, f),
                                  mixChannel(hair.b, full.b, f), mixChannel(hair.a, full.a, f));
    }
}
} // namespace

void updateBeardMesh(Beard& beard, const PlayerControllerComponent& player, float time) {
    auto object = player.getGameObject();
    if (!object || !beard.first || beard.strip.getVertexCount() < 4) {
        return;
    }
    const std::size_t count = beard.strip.getVertexCount();
    // The vertices in place: the mesh's own indexing is an out-of-line call per vertex.
    sf::Vertex* mesh = &beard.strip[0];
    const sf::Transform toLocal = object->transform->getWorldTransform().getInverse();
    const sf::Vector2f position = object->transform->getPosition();
    sf::Vector2f offset = chinOffsetFor(player);
    if (object->transform->getScale().x < 0.0f) {
        offset.x = -offset.x;
    }
    const sf::Vector2f chin = position + offset;
    const float texture = player.tuning.beardTextureSize;

    // World positions first; texture x is known once the pairs are counted.
    // The last pair is kept free for the closing vertices.
    std::size_t segmentsShown = 0;
    while (2 + 2 * segmentsShown + 3 < count) {
        ++segmentsShown;
    }
    // One beyond the last shown: its position turns the last pair.
    const auto& points = chainPoints(beard, std::max<std::size_t>(segmentsShown + 1, 2));
    const BeardSegmentComponent& first = *beard.first;
    sf::Vector2f across = crossDirection(points, 0);
    const float halfWidth = first.size / 2.0f;
    mesh[0].position = chin + across * halfWidth;
    mesh[1].position = chin - across * halfWidth;
    std::size_t k = 2;
    sf::Vector2f tip = chin;
    sf::Vector2f previousTip = chin;
    float width = first.size;
    for (std::size_t i = 0; i < points.size() && i < segmentsShown; ++i, k += 2) {
        sf::Vector2f direction = crossDirection(points, i);
        if (dot(direction, across) < 0.0f) {
            direction = -direction;
        }
        across = direction;
        width = points[i].segment->size;
        previousTip = tip;
        tip = points[i].position;
        mesh[k].position = tip + across * width;
        mesh[k + 1].position = tip - across * width;
    }
    // The closing pair: half a segment beyond the tip, narrowed to a point-ish end.
    const sf::Vector2f along = normalised(tip - previousTip);
    const sf::Vector2f end = tip + along * (width / 2.0f);
    mesh[k].position = end + across * (width / 4.0f);
    mesh[k + 1].position = end - across * (width / 4.0f);
    const std::size_t used = k + 2;
    // Pairs the chain could not fill (it is shorter than the mesh) collapse onto the end.
    for (std::size_t i = used; i < count; ++i) {
        mesh[i].position = end;
    }

    const std::size_t pairs = used / 2;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t pair = std::min(i / 2, pairs - 1);
        mesh[i].position = toLocal.transformPoint(mesh[i].position);
        mesh[i].texCoords =
            sf::Vector2f(static_cast<float>(pairs - 1 - pair) * texture, i % 2 == 0 ? 0.0f : texture);
    }
    colour(player, mesh, count, time);
    if (beard.meshRenderer) {
        beard.meshRenderer->vertices = beard.strip;
    }
}
