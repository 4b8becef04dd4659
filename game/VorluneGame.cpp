#include "game/VorluneGame.hpp"
