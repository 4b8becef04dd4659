#pragma once

// Connects the engine's modules where a lower one only offers a hook: the
// state manager releases the scene's game objects on a switch and drops an
// expired main camera when a state is left, the widget library's problems
// are reported like every other content problem (core/Report.hpp), and the
// built-in component creators ("sprite", "rigidbody", "box", ...) are registered. Idempotent;
// `Game`'s constructor calls it, and so does whatever drives the engine
// without a `Game` (test fixtures, benchmarks, fuzz harnesses).
void connectEngine();
