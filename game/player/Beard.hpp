#pragma once

#include <memory>

#include <SFML/Graphics/VertexArray.hpp>
#include <SFML/System/Vector2.hpp>

class BeardSegmentComponent;
class GameObject;
class PlayerControllerComponent;
class PolygonRendererComponent;
class RevoluteJointComponent;
class WeldJointComponent;
class StateIo;

// A player's beard: the chain of segments hanging from the chin, the hinge
// that holds it to the player, the weld of its tip to what it grabbed, and
// its triangle-strip mesh with the renderer that draws it.
//
// The segments are game objects of their own (BeardSegmentComponent), made
// at the chin one at a time, so from the tip to the chin they run in
// creation order; the beard holds the chin and the tip strongly and the
// chain in between weakly through the segments' links (`towardTip`,
// `towardChin`). Only its player's controller changes it (it owns the beard);
// everyone else reads it through the const members.
//
// Units: pixels in the world; the mesh is in the player's local space.
class Beard {
public:
    Beard() = default;
    // Clears the owner of every segment left: the segments' objects may
    // outlive the player when a scene is torn down.
    ~Beard();
    Beard(const Beard&) = delete;
    Beard& operator=(const Beard&) = delete;

    // The segment at the chin (newest) and at the tip (oldest); empty without a beard.
    const std::shared_ptr<BeardSegmentComponent>& firstSegment() const { return first; }
    const std::shared_ptr<BeardSegmentComponent>& lastSegment() const { return last; }
    int segmentCount() const { return count; }
    // Where the first segment is hinged, relative to the player; x flips with the facing.
    sf::Vector2f anchor() const { return chinAnchor; }
    // The weld from the tip to what it holds; empty while it holds nothing.
    const std::shared_ptr<WeldJointComponent>& grabJoint() const { return grab; }
    // Triangle strip: 2 vertices per segment plus 4 closing ones (none without a beard).
    const sf::VertexArray& mesh() const { return strip; }
    const std::shared_ptr<PolygonRendererComponent>& renderer() const { return meshRenderer; }
    // The tip is farther from the chin than the links can reach: a fling has
    // pulled the chain apart for the moment, and it must not grab.
    bool overstretched() const;

    // What the owning controller does to it.

    // Adds the mesh's renderer (layer "Beards", the beard texture) to the player.
    void attachRenderer(const std::shared_ptr<GameObject>& player);
    // Adds a segment at the chin of `player` (owned by `owner`) and hinges it
    // there, leaning forward the way the player faces; nothing when the beard
    // has `maxSegments`. Whether one was added.
    bool grow(const std::shared_ptr<GameObject>& player, PlayerControllerComponent* owner, int maxSegments,
              bool facingLeft);
    // Cuts at `segment`: it and everything to the tip are destroyed and shown
    // as a fading leftover where `player` draws them. The chin segment is
    // never cut (the cut moves to its successor). False (nothing changed) for
    // an empty segment, a cut one, or a chin segment alone.
    bool cut(const std::shared_ptr<BeardSegmentComponent>& segment,
             const std::shared_ptr<GameObject>& player);
    // Cuts the whole beard away, chin segment and hinge included, and forgets the grab.
    void remove(const std::shared_ptr<GameObject>& player);
    // Forgets a chain that lost its tip without a cut (nothing left to walk),
    // so the next `grow` starts afresh.
    void forgetChain();
    // Mirrors the hinge for a player now facing the other way.
    void turn(const std::shared_ptr<GameObject>& player, bool facingLeft);
    // Welds the tip to what it touches.
    void weldTip();
    // Lets go of what the tip holds.
    void releaseGrab();
    // Disarms every segment (the "Attack" tags).
    void clearAttackTags();
    // The chain's ends, its length, the chin's side and the two joints (the
    // segments' own state is theirs).
    void snapshotState(StateIo& io);

private:
    // The mesh builder writes the mesh and hands it to the renderer.
    friend void updateBeardMesh(Beard& beard, const PlayerControllerComponent& player, float time);

    void addChinJoint(const std::shared_ptr<GameObject>& player, bool facingLeft);
    void removeChinJoint(const std::shared_ptr<GameObject>& player);
    // Takes a segment and its slider out of the world at once and destroys both objects.
    static void destroySegment(BeardSegmentComponent& segment);

    std::shared_ptr<BeardSegmentComponent> first;
    std::shared_ptr<BeardSegmentComponent> last;
    int count = 0;
    sf::Vector2f chinAnchor{20.0f, -10.0f};
    // Hinge from the player to `first`.
    std::shared_ptr<RevoluteJointComponent> chinJoint;
    std::shared_ptr<WeldJointComponent> grab;
    std::shared_ptr<PolygonRendererComponent> meshRenderer;
    sf::VertexArray strip{sf::TriangleStrip, 0};
};
