#pragma once

#include "core/Game.hpp"

// The arena brawler: two players on one map, flinging their beards.
class VorluneGame : public Game {};
