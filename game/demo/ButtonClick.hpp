#pragma once

#include <string>

class Game;

// Clicks the button at its centre as the mouse would: a move, a press and a
// release of the left button, queued on the game for the next frame, so a
// recording keeps the click and its replay presses the same button in the
// same frame. False, with nothing queued, when the page has no such widget.
bool clickButton(Game& game, const std::string& page, const std::string& button);
