#pragma once
// "go mate N": a search that ends as soon as it has published a mate in N
// moves or fewer for the side to move.

// Moves the side to move needs to give mate with this score, counted as
// UCI's "mate N" counts them (1 for a mate on the move); 0 when the score
// is no mate for the side to move.
int mating_moves(int score);

// True when the current search has a mate limit and `score` is a mate
// within it.
bool mate_limit_reached(int score);
