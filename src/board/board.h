#pragma once
// The position record. Several redundant views of one position (square
// array, bitboards, square lists, running sums and keys) are kept in step by
// make/unmake so that nothing ever has to rebuild them.
#include <cstdint>

#include "board/bitboard.h"
#include "board/types.h"

struct BoardThread;

// Most pieces of one type a side can have in a legal game, by type 0..6:
// eight pawns, and the original pieces plus eight promoted ones.
constexpr int piece_limit[7] = {0, 8, 10, 10, 10, 9, 1};
constexpr int PLIST_SIZE = 11;  // the largest limit plus the terminating NO_SQUARE

struct Board {
  BoardThread* thread;   // owning block: history, history_count, ply, last_move
  uint8_t squares[64];   // piece code per square, 0 = empty
  Bitboard bb[16];       // by piece code; bb[0] all white, bb[8] all black
  uint8_t plist[16][PLIST_SIZE];  // squares per piece code in order of arrival
  uint8_t slot[64];      // where each occupied square stands in its piece's list
  uint64_t key;          // piece placement only
  uint64_t pawn_key;     // pawns of both colours
  uint32_t signature[2]; // material signature per colour
  uint16_t material[2];  // non-pawn material in points per colour
  uint8_t side;          // side to move
  uint8_t fifty;         // half-move clock
  uint8_t castle;        // castling rights
  uint8_t ep;            // en-passant target square or NO_SQUARE
};

// Running-sum increments by piece type 0..6.
extern const uint32_t signature_value[7];  // 0, 1, 16, 256, 4096, 65536, 0
extern const uint16_t material_value[7];   // 0, 0, 3, 3, 5, 10, 0

// Character tables.
extern const char piece_letters[];   // " PNBRQK pnbrqk": white by type, then black by type
extern const char digit_letters[];   // "0123456789-PNBRQK-onbrqkKQRBNP"
extern const char white_diagram[];   // "-PNBRQK-onbrqkKQRBNP", by type
extern const char black_diagram[];   // "-onbrqkKQRBNP", by type

inline char piece_letter(int code) {
  return piece_letters[piece_type(code) + (piece_colour(code) ? 7 : 0)];
}

inline Bitboard occupancy(const Board* board) { return board->bb[0] | board->bb[8]; }
inline int king_square(const Board* board, int colour) { return board->plist[6 + 8 * colour][0]; }

// Every view recomputed from the square array agrees with the incremental
// one (bitboards, square-list contents, sums, keys). For tests and debugging.
bool board_consistent(const Board* board);
