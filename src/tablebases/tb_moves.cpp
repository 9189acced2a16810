// Move generation for the tablebase position record. It is independent of
// the engine's generator on purpose: the probes recurse over positions that
// never exist on a Board, and the generation order is part of how the root
// move is chosen. The attack tables are the board's.
#include "tablebases/tb_moves.h"

#include <bit>

#include "board/attacks.h"

void egtb_init_move_tables() { init_attack_tables(); }

bool egtb_attacked(const EgtbPosition& pos, int square, int colour) {
  uint64_t by = colour == 0 ? pos.white : pos.black;
  uint64_t occupied = pos.white | pos.black;
  if (king_attacks[square] & pos.kings & by) return true;
  if (knight_attacks[square] & pos.knights & by) return true;
  if (pawn_attacks[colour ^ 1][square] & pos.pawns & by) return true;
  if (rook_attacks(square, occupied) & (pos.rooks | pos.queens) & by) return true;
  return (bishop_attacks(square, occupied) & (pos.bishops | pos.queens) & by) != 0;
}

static int side_to_move(const EgtbPosition& pos) { return pos.turn ? 0 : 1; }

bool egtb_in_check(const EgtbPosition& pos) {
  int us = side_to_move(pos);
  uint64_t king = pos.kings & (us == 0 ? pos.white : pos.black);
  return king && egtb_attacked(pos, std::countr_zero(king), us ^ 1);
}

bool egtb_mover_in_check(const EgtbPosition& pos) {
  int them = side_to_move(pos) ^ 1;
  uint64_t king = pos.kings & (them == 0 ? pos.white : pos.black);
  return king && egtb_attacked(pos, std::countr_zero(king), them ^ 1);
}

uint64_t egtb_en_passant_attackers(const EgtbPosition& pos) {
  if (pos.ep == 0) return 0;
  int us = side_to_move(pos);
  uint64_t own = us == 0 ? pos.white : pos.black;
  return pawn_attacks[us ^ 1][pos.ep] & pos.pawns & own;
}

bool egtb_is_en_passant(const EgtbPosition& pos, EgtbMove move) {
  if (pos.ep == 0 || egtb_move_to(move) != pos.ep) return false;
  uint64_t own = pos.turn ? pos.white : pos.black;
  return ((pos.pawns & own) >> egtb_move_from(move)) & 1;
}

static int add_targets(EgtbMove* list, int n, int from, uint64_t targets) {
  while (targets) {
    list[n++] = egtb_make_move(from, std::countr_zero(targets));
    targets &= targets - 1;
  }
  return n;
}

static int add_promotions(EgtbMove* list, int n, int from, int to) {
  list[n++] = egtb_make_move(from, to, EGTB_PROMOTE_QUEEN);
  list[n++] = egtb_make_move(from, to, EGTB_PROMOTE_KNIGHT);
  list[n++] = egtb_make_move(from, to, EGTB_PROMOTE_ROOK);
  list[n++] = egtb_make_move(from, to, EGTB_PROMOTE_BISHOP);
  return n;
}

// King, queen, rook, bishop and knight moves onto squares in `allowed`.
static int gen_piece_moves(const EgtbPosition& pos, uint64_t allowed, EgtbMove* list, int n) {
  uint64_t own = pos.turn ? pos.white : pos.black;
  uint64_t occupied = pos.white | pos.black;
  uint64_t targets = allowed & ~own;
  for (uint64_t b = pos.kings & own; b; b &= b - 1) {
    int s = std::countr_zero(b);
    n = add_targets(list, n, s, king_attacks[s] & targets);
  }
  for (uint64_t b = pos.queens & own; b; b &= b - 1) {
    int s = std::countr_zero(b);
    n = add_targets(list, n, s, (rook_attacks(s, occupied) | bishop_attacks(s, occupied)) & targets);
  }
  for (uint64_t b = pos.rooks & own; b; b &= b - 1) {
    int s = std::countr_zero(b);
    n = add_targets(list, n, s, rook_attacks(s, occupied) & targets);
  }
  for (uint64_t b = pos.bishops & own; b; b &= b - 1) {
    int s = std::countr_zero(b);
    n = add_targets(list, n, s, bishop_attacks(s, occupied) & targets);
  }
  for (uint64_t b = pos.knights & own; b; b &= b - 1) {
    int s = std::countr_zero(b);
    n = add_targets(list, n, s, knight_attacks[s] & targets);
  }
  return n;
}

int egtb_gen_moves(const EgtbPosition& pos, EgtbMove* list) {
  int us = side_to_move(pos);
  uint64_t own = us == 0 ? pos.white : pos.black;
  uint64_t enemy = us == 0 ? pos.black : pos.white;
  uint64_t occupied = pos.white | pos.black;
  int n = gen_piece_moves(pos, ~0ULL, list, 0);
  int forward = us == 0 ? 8 : -8;
  int start_rank = us == 0 ? 1 : 6;
  int last_rank = us == 0 ? 7 : 0;
  for (uint64_t b = pos.pawns & own; b; b &= b - 1) {
    int s = std::countr_zero(b);
    if (pos.ep && (pawn_attacks[us][s] >> pos.ep & 1)) list[n++] = egtb_make_move(s, pos.ep);
    uint64_t targets = pawn_attacks[us][s] & enemy;
    int one = s + forward;
    if (!(occupied >> one & 1)) {
      targets |= 1ULL << one;
      int two = one + forward;
      if ((s >> 3) == start_rank && !(occupied >> two & 1)) targets |= 1ULL << two;
    }
    for (; targets; targets &= targets - 1) {
      int to = std::countr_zero(targets);
      if ((to >> 3) == last_rank) n = add_promotions(list, n, s, to);
      else list[n++] = egtb_make_move(s, to);
    }
  }
  return n;
}

int egtb_gen_captures(const EgtbPosition& pos, EgtbMove* list) {
  int us = side_to_move(pos);
  uint64_t own = us == 0 ? pos.white : pos.black;
  uint64_t enemy = us == 0 ? pos.black : pos.white;
  uint64_t occupied = pos.white | pos.black;
  int n = gen_piece_moves(pos, enemy, list, 0);
  int forward = us == 0 ? 8 : -8;
  int last_rank = us == 0 ? 7 : 0;
  for (uint64_t b = pos.pawns & own; b; b &= b - 1) {
    int s = std::countr_zero(b);
    if (pos.ep && (pawn_attacks[us][s] >> pos.ep & 1)) list[n++] = egtb_make_move(s, pos.ep);
    for (uint64_t t = pawn_attacks[us][s] & enemy; t; t &= t - 1) {
      int to = std::countr_zero(t);
      if ((to >> 3) == last_rank) n = add_promotions(list, n, s, to);
      else list[n++] = egtb_make_move(s, to);
    }
    int one = s + forward;
    if ((one >> 3) == last_rank && !(occupied >> one & 1)) n = add_promotions(list, n, s, one);
  }
  return n;
}

static uint64_t* type_board(EgtbPosition& pos, int square) {
  uint64_t bit = 1ULL << square;
  if (pos.pawns & bit) return &pos.pawns;
  if (pos.knights & bit) return &pos.knights;
  if (pos.bishops & bit) return &pos.bishops;
  if (pos.rooks & bit) return &pos.rooks;
  if (pos.queens & bit) return &pos.queens;
  if (pos.kings & bit) return &pos.kings;
  return nullptr;
}

static void clear_square(EgtbPosition& pos, uint64_t bit) {
  pos.white &= ~bit;
  pos.black &= ~bit;
  pos.kings &= ~bit;
  pos.queens &= ~bit;
  pos.rooks &= ~bit;
  pos.bishops &= ~bit;
  pos.knights &= ~bit;
  pos.pawns &= ~bit;
}

bool egtb_do_move(EgtbPosition* out, const EgtbPosition& pos, EgtbMove move) {
  int from = egtb_move_from(move), to = egtb_move_to(move), promotion = egtb_move_promotion(move);
  int us = side_to_move(pos);
  uint64_t from_bit = 1ULL << from, to_bit = 1ULL << to;
  EgtbPosition& p = *out;
  p = pos;
  uint64_t* piece = type_board(p, from);
  if (!piece) return false;
  bool is_pawn = piece == &p.pawns;
  bool capture = ((pos.white | pos.black) & to_bit) != 0;

  clear_square(p, to_bit);
  *piece &= ~from_bit;
  uint64_t& colour = us == 0 ? p.white : p.black;
  colour = (colour & ~from_bit) | to_bit;
  static uint64_t EgtbPosition::*const promoted[5] = {nullptr, &EgtbPosition::queens, &EgtbPosition::rooks,
                                                      &EgtbPosition::bishops, &EgtbPosition::knights};
  if (promotion >= 1 && promotion <= 4) p.*promoted[promotion] |= to_bit;
  else *piece |= to_bit;

  p.rule50 = (is_pawn || capture || promotion) ? 0 : (uint8_t)(pos.rule50 < 255 ? pos.rule50 + 1 : 255);
  p.ep = 0;
  if (is_pawn && pos.ep && to == pos.ep) clear_square(p, 1ULL << (us == 0 ? to - 8 : to + 8));
  if (is_pawn && (to - from == 16 || from - to == 16)) {
    int passed = (from + to) / 2;
    uint64_t enemy = us == 0 ? pos.black : pos.white;
    if (pawn_attacks[us][passed] & pos.pawns & enemy) p.ep = (uint8_t)passed;
  }
  p.turn ^= 1;
  return !egtb_mover_in_check(p);
}
