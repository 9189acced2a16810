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

// Per colour, the squares ahead of its pawns (front) and those its pawns
// attack now or after advancing (span).
struct PawnFills {
  Bitboard front[2], span[2];
};

PawnFills pawn_fills(const Board* board) {
  PawnFills fills;
  fills.front[0] = fill_north(board->bb[WHITE_PAWN] << 8);
  fills.front[1] = fill_south(board->bb[BLACK_PAWN] >> 8);
  fills.span[0] = sideways(fills.front[0]);
  fills.span[1] = sideways(fills.front[1]);
  return fills;
}

// The ranks past each colour's third, where a pawn can be a candidate.
constexpr Bitboard PAST_THIRD_RANK[2] = {0xFFFFFFFFFF000000ULL, 0x000000FFFFFFFFFFULL};

// One colour's pawns sorted by the rules that score them, worked out for
// all of its pawns at once rather than pawn by pawn.
struct PawnFlags {
  Bitboard doubled;      // another own pawn on the file
  Bitboard stuck;        // no own pawn can ever cover the stop square
  Bitboard isolated;     // no own pawn on a neighbouring file
  Bitboard unopposed;    // no enemy pawn ahead on the file
  Bitboard phalanx;      // an own pawn beside it
  Bitboard supported;    // an own pawn defends it
  Bitboard outpost;      // not passed, on a square no enemy pawn can ever attack
};

PawnFlags pawn_flags(const Board* board, const PawnEntry& e, const PawnFills& fills, int c) {
  Bitboard own = board->bb[make_piece(PAWN, c)];
  Bitboard behind = c ? fill_north(own << 8) : fill_south(own >> 8);
  Bitboard file = fills.front[c] | behind;
  PawnFlags f;
  f.doubled = own & file;
  f.stuck = own & ~(c ? fills.span[c] << 8 : fills.span[c] >> 8);
  f.isolated = own & ~sideways(file | own);
  f.unopposed = own & ~fills.front[c ^ 1];
  f.phalanx = own & sideways(own);
  f.supported = own & (c ? ((own >> 9) & ~FILE_H) | ((own >> 7) & ~FILE_A)
                         : ((own << 7) & ~FILE_H) | ((own << 9) & ~FILE_A));
  f.outpost = own & ~e.passed & e.outposts[c];
  return f;
}

// The terms of one pawn.
PawnSums score_pawn(const PawnFlags& f, int c, int sq) {
  const ParamBlock& p = params;
  int r = c ? 7 - (sq >> 3) : sq >> 3;
  int rel = c ? sq ^ 56 : sq;
  PawnSums v{p.pst[PAWN][rel].op, p.pst[PAWN][rel].en};
  if ((f.doubled >> sq) & 1) {
    v.op += p.pawn_doubled_op;
    v.en += p.pawn_doubled_en;
  }
  if ((f.stuck >> sq) & 1) {
    if (r < 4) {
      v.op += p.pawn_backward_op;
      v.en += p.pawn_backward_en;
    }
    if ((f.isolated >> sq) & 1) {
      v.op += p.pawn_isolated_op;
      v.en += p.pawn_isolated_en;
    }
    if ((f.unopposed >> sq) & 1) {
      v.op += p.pawn_weak_op;
      v.en += p.pawn_weak_en;
    }
  }
  int bonus = 0;
  if ((f.phalanx >> sq) & 1) bonus += p.phalanx[r];
  if ((f.supported >> sq) & 1) bonus += supported_bonus[rel];
  v.op += bonus;
  v.en += bonus;
  if ((f.outpost >> sq) & 1) v.op += 4;
  return v;
}

// An unopposed pawn beyond its third rank, not passed, with at least as
// many own pawns beside it as enemy pawns guarding its way.
Bitboard candidates(const Board* board, const PawnEntry& e, const PawnFlags& f, int c) {
  Bitboard own = board->bb[make_piece(PAWN, c)];
  Bitboard theirs = board->bb[make_piece(PAWN, c ^ 1)];
  Bitboard found = 0;
  for (Bitboard maybe = f.unopposed & ~e.passed & PAST_THIRD_RANK[c]; maybe;) {
    int sq = pop_lsb(maybe);
    int stop = c ? sq - 8 : sq + 8;
    if (popcount(passed_span[c][stop] & theirs) <= popcount(beside[sq] & own)) found |= square_bit(sq);
  }
  return found;
}

// The files of a colour's pawns, as the bits of one byte.
uint16_t pawn_files(Bitboard pawns) {
  pawns |= pawns >> 32;
  pawns |= pawns >> 16;
  return static_cast<uint16_t>((pawns | pawns >> 8) & 0xFF);
}

}  // namespace

// Out of line: the pawn hash answers almost every probe, and the
// evaluation's hot path stays shorter without this inlined in it.
[[gnu::noinline]] void compute_pawn_entry(const Board* board, PawnEntry& e) {
  Bitboard w = board->bb[WHITE_PAWN], b = board->bb[BLACK_PAWN];
  const PawnFills fills = pawn_fills(board);
  e.key = board->pawn_key;
  e.outposts[0] = OUTPOST_RANKS[0] & ~fills.span[1];
  e.outposts[1] = OUTPOST_RANKS[1] & ~fills.span[0];
  e.passed = (w & ~(fills.front[1] | fills.span[1])) | (b & ~(fills.front[0] | fills.span[0]));
  e.candidates = 0;
  e.kings[0] = e.kings[1] = NO_SQUARE;
  for (int c = 0; c < 2; c++) {
    PawnFlags f = pawn_flags(board, e, fills, c);
    int op = 0, en = 0;
    for (const uint8_t* sq = board->plist[make_piece(PAWN, c)]; *sq != NO_SQUARE; sq++) {
      PawnSums v = score_pawn(f, c, *sq);
      op += v.op;
      en += v.en;
    }
    e.op[c] = static_cast<int16_t>(op);
    e.en[c] = static_cast<int16_t>(en);
    e.files[c] = pawn_files(board->bb[make_piece(PAWN, c)]);
    e.candidates |= candidates(board, e, f, c);
  }
}

void pawn_terms_by_square(const Board* board, const PawnEntry& e, int op[64], int en[64]) {
  const PawnFills fills = pawn_fills(board);
  for (int c = 0; c < 2; c++) {
    PawnFlags f = pawn_flags(board, e, fills, c);
    for (const uint8_t* sq = board->plist[make_piece(PAWN, c)]; *sq != NO_SQUARE; sq++) {
      PawnSums v = score_pawn(f, c, *sq);
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
