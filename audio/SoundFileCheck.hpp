#pragma once

#include <set>
#include <string>

class SoundManager;

// Sounds are loaded only when first played, so a missing or damaged sound
// file would otherwise go unnoticed until the middle of a match (and be
// reported again at every play). This opens the header of every file in the
// SoundManager's soundPaths once, prints one line for each file that cannot
// be read ("Couldn't load sound <file>: <reason>"), and returns the names of
// the sounds that will not play. Nothing is loaded or kept.
std::set<std::string> checkSoundFiles(const SoundManager& sounds);
