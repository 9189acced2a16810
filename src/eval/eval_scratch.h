#pragma once
// Working record of one evaluation, rebuilt on every call and shared by the
// helpers of the evaluation. Lives on the caller's stack.
#include "board/board.h"
#include "eval/pawn_hash.h"

struct EvalScratch {
  Board* board;
  Bitboard occ;
  Bitboard attacked[2];     // everything each colour attacks, king included
  Bitboard double_att[2];   // squares attacked at least twice
  Bitboard pawn_att[2], knight_att[2], bishop_att[2], rook_att[2], queen_att[2], king_att[2];
  Bitboard zone[2];         // king zone of each colour's king
  Bitboard mobility[2];     // squares that count for each colour's mobility
  Bitboard check_n[2], check_b[2], check_r[2];  // squares that check each colour's king
  Bitboard outposts[2];
  int op[2], en[2];
  int mat_op[2], mat_en[2];
  int king_attack[2];       // each colour's attack counter against the enemy king
  int units[2];             // phase units, capped at 12
  int stage;                // 0 all pieces on .. 24 none
  int knight_bonus;         // ending bonus per knight with many pawns
  int threat[2];
  Bitboard hung, pinned;
  int free_rank[2];
  PawnEntry* pawns;
  bool display;
  int square_op[64], square_en[64];  // per-square contributions, display only
};

// Adds an attack set of colour c to the bookkeeping.
inline void add_attacks(EvalScratch& s, int c, Bitboard attacks) {
  s.double_att[c] |= s.attacked[c] & attacks;
  s.attacked[c] |= attacks;
}

inline int relative_square(int colour, int square) { return colour ? square ^ 56 : square; }
inline int relative_rank(int colour, int square) { return colour ? 7 - (square >> 3) : square >> 3; }

void eval_knights(EvalScratch& s, int c);
void eval_bishops(EvalScratch& s, int c);
void eval_rooks(EvalScratch& s, int c);
void eval_queens(EvalScratch& s, int c);
// Each knight's, bishop's, rook's and queen's own terms added on its square
// (display only; the record must be ready for the piece evaluators).
void piece_terms_by_square(EvalScratch& s);
void king_eval(EvalScratch& s, int c, int king);
void eval_passers(EvalScratch& s);
void eval_candidates(EvalScratch& s, int c);
void eval_hung(EvalScratch& s, int c);
void pinned_eval(EvalScratch& s, int c);

// Drawish scaling factor for score `score` seen from `side`.
double drawish_factor(EvalScratch& s, int side, int score);

