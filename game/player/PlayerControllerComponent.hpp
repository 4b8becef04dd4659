#pragma once

#include <memory>
#include <vector>

#include <SFML/Audio/Sound.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/System/Vector2.hpp>
#include <box2d/b2_math.h>

#include "core/EventManager.hpp"
#include "game/player/AnimState.hpp"
#include "game/player/Beard.hpp"
#include "game/player/PlayerState.hpp"
#include "game/player/PlayerTuning.hpp"
#include "render/AnimationFrame.hpp"
#include "scene/Component.hpp"

class AudioSourceComponent;
class BeardSegmentComponent;
class ColliderComponent;
class ParticleSystemComponent;
class RigidBodyComponent;
class SpriteAnimatorComponent;
class SpriteRendererComponent;

// The whole character of one arena player: running and jumping, air control,
// the beard that grows from the chin one physical segment per second, magic
// (the beard floats, is steered and flung as a weapon or a grappling hook),
// knock-back, falling out of the arena, lives, respawn and game over, sounds,
// particles, the tinted animated sprite and the beard's triangle-strip mesh.
//
// Units: lengths and positions in pixels, times in seconds; velocities in
// metres per second, forces in newtons and impulses in newton-seconds, as the
// rigid body takes them (100 pixels per metre).
//
// Reads the input actions "Player<n> Horizontal", "Player<n> Vertical"
// (axes), "Player<n> Jump" and "Player<n> Magic" (playerActionName).
//
// What the simulation carries from step to step is one PlayerState value
// (`state`) and the Beard (`beard`), both read-only outside: only the
// controller's own operations change them. What only shows (voices, sound
// lists, emitters, animations) is kept apart from them. Other components
// (the health bar, a computer player) read a player through PlayerView.
class PlayerControllerComponent final : public Component, public IEventListener {
public:
    // playerNumber: 1 or 2 (3 selects a third colour scheme); `lives` at the
    // start (with unlimitedLives, only the number of hats shown).
    PlayerControllerComponent(int playerNumber, bool unlimitedLives, int lives = 3);
    ~PlayerControllerComponent() override;

    void init() override;
    void update(float delta, float time) override;
    void fixedUpdate(float step, float time) override;
    // An attacking beard that strikes this player knocks it back.
    void onCollisionEnter(std::shared_ptr<GameObject> other) override;
    // A GameOverEvent freezes the controller.
    void onEvent(std::shared_ptr<GameEvent> event) override;

    // What one call of `prepareAnimationFrame` did.
    enum class Preparation { made, waiting, done };
    // Composes one more animation frame of players 1 and 2 at the default
    // frame size, ahead of the match that will use it (frames are made once
    // per program), an animation at a time for both, reading each atlas
    // only while its frames are made. An atlas is read on a thread of its
    // own: until it is, the call starts the reading and says `waiting`
    // instead of holding up the caller's frame. `done` when all are made.
    static Preparation prepareAnimationFrame();
    // Whether every animation frame of `playerNumber`'s colours at `side`
    // pixels is made.
    static bool animationFramesMade(int playerNumber,
                                    unsigned side = static_cast<unsigned>(defaultFrameSize));
    // Once the frames of players 1 and 2 are made, releases every character
    // atlas still read (about 90 MB all together); a later scheme or frame
    // size reads them again. True when they are released.
    static bool releaseCharacterArtWhenComposed();

    // Adds a segment at the chin, unless the beard is at `tuning.maxSegments`.
    void growBeard();
    // Cuts the beard at `segment` (one of this player's): everything from
    // there to the tip is destroyed and shown as a fading leftover. The chin
    // segment itself is never cut (the cut moves to its successor); a cut
    // segment or a segment that does not exist does nothing.
    void cutBeard(const std::shared_ptr<BeardSegmentComponent>& segment);
    // Counts a death (first call after a fall) or the wait until respawn;
    // after `tuning.respawnDelay` respawns at `tuning.respawnPoint` while lives
    // are left, or queues a GameOverEvent naming the other player.
    void dieAndRespawn(float delta, float time);
    // Both players went out in the same frame: the match goes on with one
    // life for this player, who comes back at `tuning.respawnPoint` at once.
    void suddenDeath();
    // Plays one sound of `list` on the hit source at a volume growing with
    // `strength`, unless the hit source is busy. Empty lists and sounds that
    // failed to load play nothing.
    void playImpactSound(float strength, const std::vector<std::shared_ptr<sf::Sound>>& list);
    // An impact sound of the beard on a platform, or on the other player.
    void playGroundHitSound(float strength) { playImpactSound(strength, groundHitSounds); }
    void playPlayerHitSound(float strength) { playImpactSound(strength, playerHitSounds); }
    // The match is held still (a pause): the magic loop waits with it. The
    // next step of magic plays it on from where it stopped.
    void pauseLoopingSounds();
    // Whether one of the two downward probes under the collider hits ground.
    bool isGrounded() const;
    // The velocity (m/s) of the moving ground under the player (a kinematic
    // body one of the probes hits): what the player rides along with. Zero on
    // still ground or none.
    b2Vec2 groundVelocity() const;

    // The player's simulation state, as the last step left it. Only the
    // controller changes it; see PlayerState.
    const PlayerState& state() const { return current; }
    // Puts back a state taken earlier of this player (its bodies and its
    // beard's objects are the world's, restored apart from it).
    void restoreState(const PlayerState& saved) { current = saved; }
    // The PlayerState and the beard, for a match snapshot.
    void snapshotState(StateIo& io) override;
    // The animation shown, the footsteps' and the magic pulse's clocks.
    std::function<void()> keepShown() override;
    // 1 or 2 (3 selects a third colour scheme).
    int playerNumber() const { return number; }
    // The animation shown, as the state machine picked it last; it only
    // shows (the sprite, and where the beard's mesh starts at the chin).
    AnimState animState() const { return shownAnimation; }
    // Magic pulse clock: positive after magic started, negative after release.
    float magicPulse() const { return magicTimer; }
    // The player's beard, read-only: only the controller grows, turns and cuts it.
    const Beard& beard() const { return playerBeard; }
    // The tinted hat picture built at `init` (the health bar's icons show it);
    // lives as long as the controller.
    const sf::Texture& hat() const { return hatTexture.getTexture(); }

    // How this player runs, jumps, flings and grows its beard; read on every
    // step. Set before the match (or between steps in tests and tools).
    PlayerTuning tuning;

    // What only shows: emitters, voices and sound lists, animations.
    std::shared_ptr<ParticleSystemComponent> magicParticles;
    std::shared_ptr<ParticleSystemComponent> dustParticles;
    std::shared_ptr<ColliderComponent> collider;
    std::shared_ptr<AudioSourceComponent> footstepSource;
    std::shared_ptr<AudioSourceComponent> magicSource;
    std::shared_ptr<AudioSourceComponent> flingSource;
    std::shared_ptr<AudioSourceComponent> jumpSource;
    std::shared_ptr<AudioSourceComponent> hitSource;
    std::shared_ptr<AudioSourceComponent> cutSource;
    // Sound lists; an entry is empty when its file failed to load.
    std::vector<std::shared_ptr<sf::Sound>> footstepSounds;
    std::vector<std::shared_ptr<sf::Sound>> flingSounds;
    std::vector<std::shared_ptr<sf::Sound>> jumpSounds;
    std::vector<std::shared_ptr<sf::Sound>> groundHitSounds;
    std::vector<std::shared_ptr<sf::Sound>> playerHitSounds;
    std::vector<std::shared_ptr<sf::Sound>> cutSounds;
    std::shared_ptr<SpriteAnimatorComponent> animator;
    std::shared_ptr<SpriteRendererComponent> renderer;
    std::vector<AnimationFrame> idleAnimation;
    std::vector<AnimationFrame> runAnimation;
    std::vector<AnimationFrame> jumpIdleAnimation;
    std::vector<AnimationFrame> runStartAnimation;
    std::vector<AnimationFrame> runStopAnimation;
    std::vector<AnimationFrame> jumpRunAnimation;
    std::vector<AnimationFrame> fallAnimation;
    static constexpr float defaultFrameSize = 256.0f;
    float frameSize = defaultFrameSize;

private:
    // init steps
    void buildHat();
    void createAudioSources();
    void createParticles();
    void buildAnimations();
    void attachToHealthBar();
    void respawn();
    // Cuts the whole beard away and forgets any grab; the player grows none.
    void removeBeard();
    // The player's body or a beard segment (or its slider) has a position or
    // velocity that is not a finite number: the physics blew up.
    bool physicsBlownUp() const;
    // Cuts a blown-up beard away, puts the player's body back to numbers (where
    // it is, or at `fallback` when its place is lost) at rest, and grows a
    // fresh beard; the caller then lets it die as from a fall.
    void recoverFromBlowUp(sf::Vector2f fallback);
    // fixedUpdate parts
    void runMagic(float step, float time, float h, float v, bool magicDown, bool grounded);
    void runGroundMovement(float step, float time, float h, bool jump, bool grounded);
    // Lets go of what the tip holds; the next end of the attack window keeps the tags.
    void releaseGrab();
    void updateFacing();
    void tryGrab();
    void tryCut(float time);
    void runHoldTimeout(float step);
    void runAnimationStates(bool grounded);

    std::shared_ptr<RigidBodyComponent> body;
    int number;
    PlayerState current;
    Beard playerBeard;
    // The tinted hat; see `hat`.
    sf::RenderTexture hatTexture;
    // Footsteps: time since the last, and which of the list it was.
    float stepTimer = 0.0f;
    int lastStep = 0;
    AnimState shownAnimation = AnimState::idle;
    float magicTimer = 0.0f;
};
