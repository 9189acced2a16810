#include "search/move_order.h"

#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "board/legality.h"
#include "board/movegen.h"
#include "board/see.h"
#include "search/search_thread.h"

const int16_t victim_value[16] = {200, 210, 220, 220, 230, 240, 250, 0,
                                  200, 210, 220, 220, 230, 240, 250, 0};

namespace {

constexpr int WINNING_CAPTURE = 180;

int recapture_bonus(const Board* board, Move move) {
  const Move last = board->thread->last_move;
  return last != 0 && move_to(last) == move_to(move) ? 7 : 0;
}

// Scores captures and promotions as if every exchange held; the picker
// settles the pending ones (exchange_pending) as it reaches them.
void score_captures(const Board* board, MoveEntry* list) {
  for (MoveEntry* e = list; e->move != MOVE_END; ++e) {
    int score = victim_value[e->captured] - piece_type(e->piece);
    if (e->move & (PROMOTE_KNIGHT | PROMOTE_BISHOP | PROMOTE_ROOK)) score = 8;
    e->score = static_cast<int16_t>(score + recapture_bonus(board, e->move));
  }
}

// Whether a capture loses more than 74 by the exchange on its target.
bool losing_exchange(Board* board, const MoveEntry& entry) {
  const int from = move_from(entry.move);
  return !swap_at_least(board, piece_colour(entry.piece), from, move_to(entry.move), occupancy(board), false, -74);
}

// A capture whose exchange decides its score: the mover is worth more than
// the victim. Its score stays the capture's as if it held, an upper bound,
// until the exchange is looked at. Under-promotions score 8 either way.
bool exchange_pending(const MoveEntry& e) {
  const int victim_type = piece_type(e.captured);
  return coarse_value[piece_type(e.piece)] > coarse_value[victim_type] && victim_type != KING &&
         !(e.move & (PROMOTE_KNIGHT | PROMOTE_BISHOP | PROMOTE_ROOK));
}

// Scores a pending capture by its exchange: a losing one drops to 8 plus
// the victim's type.
void settle_exchange(Board* board, MoveEntry& e) {
  if (losing_exchange(board, e))
    e.score = static_cast<int16_t>(8 + piece_type(e.captured) + recapture_bonus(board, e.move));
}

// select_best for the captures, whose `pending` flags (index for index)
// mark exchanges not yet looked at. Only the capture the selection lands on
// has its exchange looked at, until it stands: a settled score is never
// higher, so the capture finally picked is the first of the highest, as if
// all had been settled first. Captures never picked (the node is cut off
// first) cost no exchange.
void pick_capture(Board* board, MoveEntry* cursor, int16_t* pending) {
  MoveEntry* best = best_entry(cursor);
  while (pending[best - cursor]) {
    pending[best - cursor] = 0;
    const int16_t held = best->score;
    settle_exchange(board, *best);
    if (best->score == held) break;
    best = best_entry(cursor);
  }
  if (best == cursor) return;
  const MoveEntry entry = *cursor;
  *cursor = *best;
  *best = entry;
  const int16_t flag = pending[0];
  pending[0] = pending[best - cursor];
  pending[best - cursor] = flag;
}

// In check the picker's quiet stage ends at its first quiet move but the
// evasion killer (90) and the countermove (70): every other one keys 1, and
// its entry keeps the generator's score of 0, which the picker reads only
// as "below 4", as it would 1. Keys are written eight at a time, so up to
// seven past the `count` are overwritten.
void key_evasions(const PlyRecord& record, Move counter, MoveEntry* list, int count, int16_t* keys) {
#if defined(__SSE2__)
  const __m128i ones = _mm_set1_epi16(1);
  for (int k = 0; k < count; k += 8) _mm_storeu_si128(reinterpret_cast<__m128i*>(keys + k), ones);
#else
  for (int k = 0; k < count; ++k) keys[k] = 1;
#endif
  const Move killer = record.evasion_killer;
  if (killer == 0 && counter == 0) return;
  for (int k = 0; k < count; ++k) {
    const Move m = list[k].move;
    if (m != killer && m != counter) continue;
    const int16_t score = m == killer ? 90 : 70;
    list[k].score = score;
    keys[k] = score;
  }
}

// Scores the quiet moves and writes each score to `keys` too, their packed
// copy. History is never negative: the shift is its division by 128.
void score_quiets(Board* board, const PlyRecord& record, MoveEntry* list, int count, bool in_check,
                  int16_t* keys) {
  const SearchThread* thread = thread_of(board);
  const Move counter = current_countermove(board);
  if (in_check) {
    key_evasions(record, counter, list, count, keys);
    return;
  }
  // A move to none of the killers' and countermove's destinations is none of
  // them: most moves are spared the comparisons.
  const Bitboard killer_targets = square_bit(move_to(record.null_killer)) | square_bit(move_to(record.killer1)) |
                                  square_bit(move_to(record.killer2)) | square_bit(move_to(counter));
  for (MoveEntry* e = list; e->move != MOVE_END; ++e, ++keys) {
    const Move m = e->move;
    int score = static_cast<uint16_t>(thread->hist_table[e->piece][move_to(m)]) >> 7;
    if (killer_targets & square_bit(move_to(m))) {
      if (m == record.null_killer || m == record.killer1 || (counter != 0 && m == counter))
        score += 64;
      else if (m == record.killer2)
        score += 54;
    }
    e->score = static_cast<int16_t>(score);
    *keys = static_cast<int16_t>(score);
  }
}

// select_best over the list from `cursor` to `end`, reading the scores from
// their packed copy `keys` (the cursor's own first), which follows the swap.
void select_best_keyed(MoveEntry* cursor, const MoveEntry* end, int16_t* keys) {
  const int best = first_highest(keys, static_cast<int>(end - cursor));
  if (best == 0) return;
  const MoveEntry held = *cursor;
  *cursor = cursor[best];
  cursor[best] = held;
  keys[best] = keys[0];
  keys[0] = cursor->score;
}

// The quiet stage's move at `cursor`; the stage ends with the first move
// scored below 4 or after 16 moves searched.
MoveEntry* pick_quiet(SearchThread* thread, PlyRecord& record, MoveEntry* cursor) {
  if (cursor->move == MOVE_END) return nullptr;
  const MoveEntry* end = thread->list_start[thread->ply + 1] - 1;
  select_best_keyed(cursor, end, thread->order_keys + (cursor - thread->move_stack));
  if (cursor->score < 4 || record.moves_searched > 15) record.stage = STAGE_REST;
  return cursor;
}

void set_list_end(SearchThread* thread, int ply, MoveEntry* terminator) {
  terminator->move = MOVE_END;
  thread->list_start[ply + 1] = terminator + 1;
}

}  // namespace

// The eight keys past the end are overwritten with the lowest key there is,
// so that every group is compared whole: a real key is never below it, and
// the first hit is always a real one.
int first_highest(int16_t* keys, int count) {
#if defined(__SSE2__)
  const __m128i floor = _mm_set1_epi16(INT16_MIN);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(keys + count), floor);
  __m128i top = floor;
  for (int k = 0; k < count; k += 8)
    top = _mm_max_epi16(top, _mm_loadu_si128(reinterpret_cast<const __m128i*>(keys + k)));
  top = _mm_max_epi16(top, _mm_shuffle_epi32(top, 0x4E));
  top = _mm_max_epi16(top, _mm_shuffle_epi32(top, 0xB1));
  top = _mm_max_epi16(top, _mm_shufflehi_epi16(_mm_shufflelo_epi16(top, 0xB1), 0xB1));
  for (int k = 0;; k += 8) {
    const __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(keys + k));
    const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(group, top)));
    if (hits) return k + std::countr_zero(hits) / 2;
  }
#else
  int best = 0;
  for (int k = 1; k < count; ++k) best = keys[k] > keys[best] ? k : best;
  return best;
#endif
}

Move current_countermove(const Board* board) {
  const Move last = board->thread->last_move;
  if (last == 0) return 0;
  const int to = move_to(last);
  return thread_of(board)->countermoves[board->squares[to]][to];
}

void reset_move_order(SearchThread* thread) {
  for (int p = 0; p < MAX_PLY; ++p) {
    PlyRecord& record = thread->stack[p];
    record.hash_move = 0;
    record.null_killer = record.killer1 = record.killer2 = record.evasion_killer = 0;
  }
  for (auto& row : thread->hist_table)
    for (int16_t& h : row) h = 2048;
  for (auto& row : thread->countermoves)
    for (Move& m : row) m = 0;
}

bool scored_as_losing(const MoveEntry& capture) { return capture.score <= WINNING_CAPTURE; }

void score_moves(Board* board, MoveEntry* list) {
  const SearchThread* thread = thread_of(board);
  const PlyRecord& record = thread->stack[thread->ply];
  const Move counter = current_countermove(board);
  for (MoveEntry* e = list; e->move != MOVE_END; ++e) {
    const Move m = e->move;
    if (m == record.hash_move && m != 0) {
      e->score = HASH_MOVE_SCORE;
    } else if (e->captured != 0 || (m & PROMOTE_QUEEN)) {
      e->score = static_cast<int16_t>(victim_value[e->captured] - piece_type(e->piece));
    } else {
      int score = thread->hist_table[e->piece][move_to(m)] / 128;
      if (m == record.null_killer || m == record.killer1 || m == record.killer2 ||
          (counter != 0 && m == counter))
        score += 64;
      e->score = static_cast<int16_t>(score);
    }
  }
}

MoveEntry* next_move(Board* board, bool in_check) {
  SearchThread* thread = thread_of(board);
  const int ply = thread->ply;
  PlyRecord& record = thread->stack[ply];
  if (record.stage == STAGE_HASH) {
    record.stage = STAGE_CAPTURES_GEN;
    record.list = thread->list_start[ply];
    record.cursor = record.list;
    if (record.hash_move != 0) {
      MoveEntry* e = record.list;
      const Move m = record.hash_move;
      e->move = m;
      e->score = HASH_MOVE_SCORE;
      e->piece = board->squares[move_from(m)];
      e->captured = board->squares[move_to(m)];
      set_list_end(thread, ply, e + 1);
      return e;
    }
  } else {
    ++record.cursor;
  }
  MoveEntry* cursor = record.cursor;
  if (record.stage == STAGE_CAPTURES_GEN) {
    const int side = board->side;
    MoveEntry* end = gen_pawn_captures(board, side, cursor);
    end = gen_piece_captures(board, side, end);
    end = gen_promotions(board, side, true, end);
    set_list_end(thread, ply, end);
    score_captures(board, cursor);
    int16_t* pending = thread->order_keys + (cursor - thread->move_stack);
    for (const MoveEntry* e = cursor; e != end; ++e) *pending++ = exchange_pending(*e);
    record.stage = STAGE_CAPTURES;
  }
  if (record.stage == STAGE_CAPTURES) {
    int16_t* pending = thread->order_keys + (cursor - thread->move_stack);
    if (cursor->move != MOVE_END) {
      pick_capture(board, cursor, pending);
      if (cursor->score > WINNING_CAPTURE) return cursor;
    }
    MoveEntry* quiet_start = thread->list_start[ply + 1] - 1;  // the terminator
    for (MoveEntry* e = cursor; e != quiet_start; ++e, ++pending)
      if (*pending) settle_exchange(board, *e);
    MoveEntry* end = gen_quiets(board, board->side, quiet_start);
    set_list_end(thread, ply, end);
    int16_t* keys = thread->order_keys + (cursor - thread->move_stack);
    for (const MoveEntry* e = cursor; e != quiet_start; ++e) *keys++ = e->score;
    score_quiets(board, record, quiet_start, static_cast<int>(end - quiet_start), in_check, keys);
    record.stage = STAGE_QUIETS;
  }
  if (record.stage == STAGE_QUIETS) return pick_quiet(thread, record, cursor);
  return cursor->move == MOVE_END ? nullptr : cursor;
}

MoveEntry* next_quiet_move(Board* board, PlyRecord& record) {
  return pick_quiet(thread_of(board), record, ++record.cursor);
}

int game_over(Board* board, bool in_check) {
  SearchThread* thread = thread_of(board);
  PlyRecord& record = thread->stack[thread->ply];
  record.stage = STAGE_HASH;
  record.moves_searched = 0;
  while (MoveEntry* e = next_move(board, in_check)) {
    if (e->move != 0 && is_legal(board, board->side, e->move)) return 0;
  }
  return in_check ? 1 : 2;
}

void history_bonus(SearchThread* thread, int code, int to) {
  int16_t& h = thread->hist_table[code][to];
  h = static_cast<int16_t>(h + (8192 - h) / 64);
}

void history_malus(SearchThread* thread, int code, int to) {
  int16_t& h = thread->hist_table[code][to];
  h = static_cast<int16_t>(h - h / 128);
}

void record_cutoff(Board* board, PlyRecord& record, Move best, bool in_check) {
  SearchThread* thread = thread_of(board);
  const Move last = thread->last_move;
  if (in_check) {
    record.evasion_killer = best;
  } else if (last == 0) {
    record.null_killer = best;
    return;
  } else if (best != record.killer1) {
    record.killer2 = record.killer1;
    record.killer1 = best;
  }
  if (last != 0) {
    const int to = move_to(last);
    thread->countermoves[board->squares[to]][to] = best;
  }
}
