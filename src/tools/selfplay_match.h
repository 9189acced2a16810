#pragma once
// The self-play match: the current parameters against a variant read from
// "test1.rc", one game after another, with a running score and every game
// written to settings.match_file.

constexpr const char* MATCH_VARIANT_FILE = "test1.rc";
constexpr int MATCH_GAMES = 8000;

struct ParamBlock;

// Reads a parameter file into a block: the front end's configuration reader,
// handed in because it sits above the tools.
using ParamFileReader = int (*)(const char* path, ParamBlock& block);

// Plays until MATCH_GAMES games are done or a quit request arrives.
void selfplay_match(ParamFileReader read_variant_file);
