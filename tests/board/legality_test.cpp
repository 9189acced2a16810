#include <gtest/gtest.h>

#include <random>

#include "board/legality.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board_support.h"

using board_test::setup;

// Against the plain answer: make the move and look at both kings. In and out
// of check, the shortcuts that skip most attack tests must give the same
// answer.
TEST(Legality, AgreesWithMakingTheMove) {
  auto records = board_test::perft_records();
  TARN_REQUIRE_SHARED("perft.epd");
  std::mt19937 rng(21);
  int positions = 0, checks = 0, evasions = 0;
  MoveEntry list[MAX_MOVES];
  for (int round = 0; round < 120; ++round) {
    Board* board = setup(records[round % records.size()].fen.c_str());
    for (int step = 0; step < 50; ++step, ++positions) {
      int side = board->side, from_king = king_square(board, side ^ 1);
      bool in_check = attacked(board, king_square(board, side), side ^ 1);
      Bitboard lines = king_lines(board, side), pinned = pinned_pieces(board, side);
      Bitboard targets = in_check ? evasion_targets(board, side) : 0;
      CheckSquares check_squares;
      find_check_squares(board, side, check_squares);
      gen_full_list(board, side, list);
      for (MoveEntry* e = list; e->move != MOVE_END; ++e) {
        int from = move_from(e->move), to = move_to(e->move);
        // The entry names the mover and what stands on the destination (search reads both).
        ASSERT_EQ(std::pair(e->piece, e->captured), std::pair(board->squares[from], board->squares[to])) << e->move;
        bool castling = piece_type(e->piece) == KING && (to - from == 2 || from - to == 2);
        bool en_passant = piece_type(e->piece) == PAWN && to == board->ep;
        bool claimed = is_legal(board, side, e->move);
        if (!in_check) {
          ASSERT_EQ(is_legal_out_of_check(board, side, e->move, lines), claimed) << e->move;
          ASSERT_EQ(is_legal_out_of_check(board, side, e->move, pinned), claimed) << board->key << " " << e->move;
        } else {
          ASSERT_EQ(is_legal_in_check(board, side, e->move, targets), claimed) << board->key << " " << e->move;
          evasions += claimed;
        }
        int check = gives_check(board, side, *e);
        ASSERT_EQ(gives_check(board, side, *e, check_squares), check) << board->key << " " << e->move;
        bool unsafe_path = castling && (attacked(board, from, side ^ 1) || attacked(board, (from + to) / 2, side ^ 1));
        make_move(board, e->move);
        bool safe = !attacked(board, king_square(board, side), side ^ 1);
        bool checking = attacked(board, from_king, side);
        unmake_move(board);
        ASSERT_EQ(claimed, safe && !unsafe_path) << board->key << " " << e->move;
        // Known blind spots: the castling rook, en-passant discoveries.
        if (castling) {
          ASSERT_EQ(check, 0);
        } else if (claimed && (!en_passant || check)) {
          ASSERT_EQ(check != 0, checking) << board->key << " " << e->move;
        }
        checks += claimed && checking;
      }
      board_test::random_walk(board, rng, 1);
    }
  }
  EXPECT_GT(positions, 3000);
  EXPECT_GT(checks, 1000);
  EXPECT_GT(evasions, 100);
}
