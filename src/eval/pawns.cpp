#include "board/attacks.h"
#include "eval/eval_tables.h"
#include "eval/eval_thread.h"
#include "eval/evaluate.h"
#include "eval/params.h"
#include "eval/pawn_hash.h"

namespace {

Bitboard fill_north(Bitboard b) {
  b |= b << 8;
  b |= b << 16;
  return b | b << 32;
}

Bitboard fill_south(Bitboard b) {
  b |= b >> 8;
  b |= b >> 16;
  return b | b >> 32;
}

Bitboard sideways(Bitboard b) { return ((b >> 1) & ~FILE_H) | ((b << 1) & ~FILE_A); }

struct PawnSums {
  int op, en;
};

// Squares each colour's pawns attack now or after advancing.
void pawn_spans(const Board* board, Bitboard span[2]) {
  span[0] = sideways(fill_north(board->bb[WHITE_PAWN] << 8));
  span[1] = sideways(fill_south(board->bb[BLACK_PAWN] >> 8));
}

// The terms of one pawn, with the entry's passed set and outposts in place.
PawnSums score_pawn(const Board* board, const PawnEntry& e, const Bitboard span[2], int c, int sq) {
  const ParamBlock& p = params;
  int enemy = c ^ 1;
  Bitboard own = board->bb[make_piece(PAWN, c)];
  Bitboard theirs = board->bb[make_piece(PAWN, enemy)];
  int r = c ? 7 - (sq >> 3) : sq >> 3;
  int stop = c ? sq - 8 : sq + 8;
  Bitboard ahead = (c ? fill_south(square_bit(sq)) : fill_north(square_bit(sq))) & ~square_bit(sq);
  bool passed = (e.passed >> sq) & 1;
  bool unopposed = !(ahead & theirs);

  int rel = c ? sq ^ 56 : sq;
  PawnSums v{p.pst[PAWN][rel].op, p.pst[PAWN][rel].en};
  if ((own & file_mask(sq & 7)) != square_bit(sq)) {
    v.op += p.pawn_doubled_op;
    v.en += p.pawn_doubled_en;
  }
  if (!((span[c] >> stop) & 1)) {
    if (r < 4) {
      v.op += p.pawn_backward_op;
      v.en += p.pawn_backward_en;
    }
    if (!(adjacent_files[sq & 7] & own)) {
      v.op += p.pawn_isolated_op;
      v.en += p.pawn_isolated_en;
    }
    if (unopposed) {
      v.op += p.pawn_weak_op;
      v.en += p.pawn_weak_en;
    }
  }
  int bonus = 0;
  if (beside[sq] & own) bonus += p.phalanx[r];
  if (pawn_attacks[enemy][sq] & own) bonus += supported_bonus[rel];
  v.op += bonus;
  v.en += bonus;
  if (!passed && ((e.outposts[c] >> sq) & 1)) v.op += 4;
  return v;
}

bool is_candidate(const Board* board, const PawnEntry& e, int c, int sq) {
  Bitboard own = board->bb[make_piece(PAWN, c)];
  Bitboard theirs = board->bb[make_piece(PAWN, c ^ 1)];
  int r = c ? 7 - (sq >> 3) : sq >> 3;
  if (r <= 2 || ((e.passed >> sq) & 1)) return false;
  Bitboard ahead = (c ? fill_south(square_bit(sq)) : fill_north(square_bit(sq))) & ~square_bit(sq);
  if (ahead & theirs) return false;
  int stop = c ? sq - 8 : sq + 8;
  int helpers = popcount(beside[sq] & own);
  int sentries = popcount(passed_span[c][stop] & theirs);
  return sentries <= helpers;
}

}  // namespace

// Out of line: the pawn hash answers almost every probe, and the
// evaluation's hot path stays shorter without this inlined in it.
[[gnu::noinline]] void compute_pawn_entry(const Board* board, PawnEntry& e) {
  Bitboard w = board->bb[WHITE_PAWN], b = board->bb[BLACK_PAWN];
  Bitboard front[2] = {fill_north(w << 8), fill_south(b >> 8)};
  Bitboard span[2];
  pawn_spans(board, span);
  e.key = board->pawn_key;
  e.outposts[0] = OUTPOST_RANKS[0] & ~span[1];
  e.outposts[1] = OUTPOST_RANKS[1] & ~span[0];
  e.passed = (w & ~(front[1] | span[1])) | (b & ~(front[0] | span[0]));
  e.candidates = 0;
  e.kings[0] = e.kings[1] = NO_SQUARE;
  for (int c = 0; c < 2; c++) {
    int op = 0, en = 0;
    e.files[c] = 0;
    for (const uint8_t* sq = board->plist[make_piece(PAWN, c)]; *sq != NO_SQUARE; sq++) {
      e.files[c] |= static_cast<uint16_t>(1u << (*sq & 7));
      PawnSums v = score_pawn(board, e, span, c, *sq);
      op += v.op;
      en += v.en;
      if (is_candidate(board, e, c, *sq)) e.candidates |= square_bit(*sq);
    }
    e.op[c] = static_cast<int16_t>(op);
    e.en[c] = static_cast<int16_t>(en);
  }
}

void pawn_terms_by_square(const Board* board, const PawnEntry& e, int op[64], int en[64]) {
  Bitboard span[2];
  pawn_spans(board, span);
  for (int c = 0; c < 2; c++) {
    for (const uint8_t* sq = board->plist[make_piece(PAWN, c)]; *sq != NO_SQUARE; sq++) {
      PawnSums v = score_pawn(board, e, span, c, *sq);
      op[*sq] += v.op;
      en[*sq] += v.en;
    }
  }
}

PawnEntry* probe_pawns(EvalThread* thread) {
  const Board* board = &thread->board;
  PawnEntry& e = thread->pawn_hash.entries[board->pawn_key & (PAWN_HASH_SIZE - 1)];
  thread->pawn_probes++;
  if (e.key == board->pawn_key && eval_caches_trusted(thread)) [[likely]] {
    thread->pawn_hits++;
    return &e;
  }
  compute_pawn_entry(board, e);
  return &e;
}
