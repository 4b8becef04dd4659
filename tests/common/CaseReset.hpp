#pragma once

// Returns the process-wide state a test case can reach to its state at
// start-up. Each test executable links one definition: the engine's suites
// reset the engine (tests/support/EngineCaseReset.cpp), the game's suites the
// engine and the game (tests/support/GameCaseReset.cpp).
void resetForNextCase();
