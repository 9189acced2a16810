#pragma once
// The parameter block: every tunable 16-bit value of the engine in one plain
// record, so that the configuration file, the console, the tuner and the
// self-play match can read, copy and restore the whole set at once. The
// tables derived from the weights live in the same record, so a copied block
// carries a consistent set.
#include <cstdint>

// An opening/ending pair, the unit of every tapered term.
struct OpEn {
  int16_t op;
  int16_t en;
};

// Pruning and reduction parameters of the node search.
struct SearchParams {
  int16_t draw_score;    // contempt: draw value for the side that started the search
  int16_t SEP_depth;     // static-eval pruning at depth <= SEP_depth
  int16_t NMP_depth;     // null move at depth >= NMP_depth
  int16_t FP_depth;      // futility drop at depth <= FP_depth
  int16_t LMP_depth;     // late-move pruning at depth <= LMP_depth
  int16_t LMR_depth;     // late-move reductions at depth >= LMR_depth
  int16_t LMP_count;     // pruning starts after LMP_count * depth failed moves
  int16_t LMR_strength;  // scale of the reduction tables
  int16_t SEP_margin;    // static-eval pruning margin per ply
  int16_t FP_margin;     // futility margin per ply
};

constexpr int16_t PST_UNSET = -1000;  // marks a piece-square value the file did not give

struct ParamBlock {
  SearchParams search;

  // Evaluation weights; pairs are opening first, then ending.
  int16_t pawn_value_op, pawn_value_en;
  int16_t knight_value_op, knight_value_en;
  int16_t bishop_value_op, bishop_value_en;
  int16_t rook_value_op, rook_value_en;
  int16_t queen_value_op, queen_value_en;
  int16_t bishop_pair_op, bishop_pair_en;
  int16_t ppawn_r2, ppawn_r3, ppawn_r4, ppawn_r5, ppawn_r6, ppawn_r7;
  int16_t pawn_candidate_op, pawn_candidate;  // only the ending weight is used
  int16_t pawn_isolated_op, pawn_isolated_en;
  int16_t pawn_backward_op, pawn_backward_en;
  int16_t pawn_doubled_op, pawn_doubled_en;
  int16_t pawn_weak_op, pawn_weak_en;
  int16_t knight_mobility_op, knight_mobility_en;
  int16_t knight_outpost, knight_outpost_en;  // only the opening weight is used
  int16_t bishop_mobility_op, bishop_mobility_en;
  int16_t rook_mobility_op, rook_mobility_en;
  int16_t queen_mobility_op, queen_mobility_en;
  int16_t rook_open_file_op, rook_open_file_en;
  int16_t rook_half_open_file_op, rook_half_open_file_en;
  int16_t rook_rank7_op, rook_rank7_en;
  int16_t rook_trapped, rook_trapped_en;      // opening only
  int16_t queen_rank7_op, queen_rank7_en;     // only the ending weight is used
  int16_t king_safety, king_safety_en;        // scale of king_danger
  int16_t pawn_shield, pawn_shield_en;        // opening only
  int16_t pawn_storm, pawn_storm_en;          // opening only
  int16_t hung_op, hung_en;
  int16_t pinned_op, pinned_en;
  int16_t PST_P_op, PST_P_en, PST_N_op, PST_N_en, PST_B_op, PST_B_en;
  int16_t PST_R_op, PST_R_en, PST_Q_op, PST_Q_en, PST_K_op, PST_K_en;
  // "pst_a1" .. "pst_h8" of the registry: the king's opening table as the
  // configuration left it, copied once after the default set was taken (so
  // the default set holds zeros). Nothing evaluates them; changing one
  // leaves the live king table alone.
  int16_t pst_tunable[64];
  int16_t tune;  // spare value for tuning experiments

  // Piece-square tables by piece type 1..6 (0 and 7 unused) and square, from
  // white's side; black reads square ^ 56.
  OpEn pst[8][64];

  // Tables derived from the weights by init_eval_tables.
  OpEn mob_knight[9];
  OpEn mob_bishop[15];
  OpEn mob_rook[15];
  OpEn mob_queen[29];
  int16_t ppawn[8];       // passed pawn by relative rank
  int16_t ppawn_free[8];  // extra for a passer whose advance is safe
  int16_t phalanx[8];     // pawn with a neighbour beside it
  int16_t king_danger[32];
};

// The live block every search reads, and the copy taken after the
// configuration file was read (restored by the console).
extern ParamBlock params;
extern ParamBlock default_params;

// Writes the built-in defaults of every weight and search parameter. The
// piece-square and derived tables are left for init_eval_tables.
void set_default_params(ParamBlock& block);

// Applies one configuration entry ("pawn_value", "NMP_depth", ...) with its
// one or two values to the block. Returns false for a key that names no
// parameter (engine settings such as "BookDepth" are not parameters).
bool apply_config_param(ParamBlock& block, const char* key, int a, int b);

// Names of the piece-square keys of the file, indexed by type 1..6 and phase
// (0 opening, 1 ending); e.g. "PST_knight_en".
const char* pst_config_name(int type, int phase);

// Piece-square value of type, square and phase (0 opening, 1 ending).
inline int16_t& pst_value(ParamBlock& block, int type, int square, int phase) {
  return phase ? block.pst[type][square].en : block.pst[type][square].op;
}

// Marks every piece-square value of types 1..6 as not given.
void clear_pst(ParamBlock& block);

// True when all twelve tables of the block are complete.
bool pst_complete(const ParamBlock& block);

// Fills pst_tunable of the live block from its king opening table; start-up
// runs it right after taking the default set.
void fill_pst_tunables();

// Copies between the live block and the default set. Restoring also
// rebuilds the derived tables.
void save_default_params();
void restore_default_params();

// ---- Named registry shared by the console and the tuner ----

struct ParamEntry {
  char name[24];
  int16_t* value;      // the parameter in the live block
  double estimate;     // real-valued value, set at registration
  double accumulator;  // tuning memory (previous gradient), 0 at registration
  uint16_t selected;   // marked for tuning
};

constexpr int PARAM_ENTRIES_MAX = 192;

extern ParamEntry param_registry[PARAM_ENTRIES_MAX];
extern int param_count;

// Fills the registry from the live block; later calls do nothing.
void register_params();

// Marks the entry of that exact name for tuning; unknown names are ignored.
void select_param(const char* name);

// The entry of that exact name, or null.
ParamEntry* find_param(const char* name);

// Rebuilds the derived tables of the live block (mobility, passed pawns,
// phalanx, king danger and, unless the file supplied them, the piece-square
// tables). Run after the configuration is read and after every change.
void init_eval_tables();

// Counts the rebuilds; threads drop their cached evaluations when it moves.
extern uint32_t eval_tables_generation;
