#pragma once

// Connects the engine's modules where a lower one only offers a hook: the
// state manager releases the scene's game objects on a switch and drops an
// expired main camera when a state is left, the widget library's problems
// are reported like every other content problem (core/Report.hpp), and the
// built-in component creators ("sprite", "rigidbody", "box", ...) are registered. Idempotent;
// `Game`'s constructor calls it, and so does whatever drives the engine
// without a `Game` (the tests' main, the map benchmark, the map fuzz harness).
void connectEngine();

// Returns every process-wide store of the engine to its state at start-up and
// connects the engine again, so that one process can run many independent
// scenes (the test runner resets before each case). No Game may be running
// and nothing may be inside a frame; objects, sprites or sounds the caller
// still holds live on, detached from the fresh managers.
//
// The order is fixed, each step for a reason:
//  1. StateManager: the states (and the hooks) go first, so they can no
//     longer reach the scene while it is torn down.
//  2. GuiManager: pages and their handlers, which may hold game objects and
//     states, go while the managers their widgets draw with still exist.
//  3. EventManager: queued events and deferred calls may hold objects too.
//  4. GameObjectManager: with nothing else holding them, the objects go now;
//     their components deregister from the managers below (renderables,
//     bodies, fixtures and joints, playing voices), which must still be
//     intact for that.
//  5. PhysicsManager: the world after the bodies, fixtures and joints that
//     were destroyed into it; then the collision layers.
//  6. SoundManager: playing sounds stop, then the buffers they play go.
//  7. RenderManager: the (by now expired) renderables, layers, main camera.
//  8. MapStore: the parsed maps, before the tiles cut from them.
//  9. TileAtlas: the bordered copies before the textures they are keyed by
//     (a freed texture's address may be reused by a new one).
// 10. AssetManager: textures after every sprite and copy drawn from them.
// 11. widgets::ResourceCache: fonts and widget textures after the widgets.
// 12. InputManager, GamepadHub (its pads closed, SDL's pads stopped),
//     RandomSource and the content root: depended on by nothing above when
//     torn down.
// 13. The standard output's console: a line left open (the frame-rate line)
//     is ended, so the next scene's first line stands on its own.
// Then connectEngine, as at start-up.
void resetEngine();
