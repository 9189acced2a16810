#include "board/keys.h"

#include "board/bitboard.h"
#include "board/board.h"
#include "core/message.h"

uint64_t zobrist[1024];
uint64_t zobrist_state[66];
const uint64_t side_key[2] = {0, ~uint64_t{0}};

namespace {

uint32_t lcg_state;

uint32_t next_lcg() {
  lcg_state = lcg_state * 98765u + 123456789u;
  return lcg_state;
}

uint64_t draw_key() {
  uint64_t high = next_lcg();
  uint64_t low = next_lcg();
  return (high << 32) | low;
}

// Keys too close to an earlier one (in either half) make collisions between
// positions differing in few pieces likelier.
bool poor_key(uint64_t candidate, int count) {
  for (int i = 0; i < count; ++i) {
    uint64_t diff = candidate ^ zobrist[i];
    uint32_t low = static_cast<uint32_t>(diff), high = static_cast<uint32_t>(diff >> 32);
    if (low == 0 || popcount(low) < 4 || popcount(high) < 4) return true;
  }
  return false;
}

}  // namespace

void init_keys() {
  static bool done = false;
  if (done) return;
  done = true;
  lcg_state = 1;
  for (int i = 0; i < 1024; ++i) {
    uint64_t candidate = draw_key();
    for (int attempt = 1; i > 0 && poor_key(candidate, i); ++attempt) {
      if (attempt == 5) {
        print_message("bad hashcode");
        break;
      }
      candidate = draw_key();
    }
    zobrist[i] = candidate;
  }
  for (auto& key : zobrist_state) key = draw_key();
}

uint64_t placement_key(const Board* board) {
  uint64_t key = 0;
  for (int sq = 0; sq < 64; ++sq)
    if (board->squares[sq]) key ^= zobrist[board->squares[sq] * 64 + sq];
  return key;
}

uint64_t pawn_placement_key(const Board* board) {
  uint64_t key = 0;
  for (int sq = 0; sq < 64; ++sq)
    if (piece_type(board->squares[sq]) == PAWN) key ^= zobrist[board->squares[sq] * 64 + sq];
  return key;
}

uint64_t full_key(const Board* board) {
  return board->key ^ zobrist_state[board->ep] ^ zobrist_state[board->castle] ^ side_key[board->side];
}
