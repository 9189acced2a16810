#pragma once
// Late-move-reduction tables, indexed by remaining depth and by the number
// of moves that have already failed low at the node (capped at 31).
#include <cstdint>

extern int8_t lmr_pv[70][32];
extern int8_t lmr_nonpv[70][32];

// Rebuilds both tables for a reduction strength (the parameter LMR_strength;
// 100 is the normal scale).
void build_reduction_tables(int strength);

// Rebuilds them from the current parameter block.
void build_reduction_tables();

// Console "lmr": both tables, rows 1 to 30, on standard output.
void print_reduction_tables();
