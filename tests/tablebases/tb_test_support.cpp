#include "tb_test_support.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "board/attacks.h"
#include "board/board_thread.h"
#include "board/fen.h"
#include "board/keys.h"
#include "support/shared_data.h"
#include "tablebases/tbprobe.h"

namespace tb_test {

static void add_piece(EgtbPosition* pos, int code, int square) {
  uint64_t bit = 1ULL << square;
  (code < 8 ? pos->white : pos->black) |= bit;
  switch (code & 7) {
    case 1: pos->pawns |= bit; break;
    case 2: pos->knights |= bit; break;
    case 3: pos->bishops |= bit; break;
    case 4: pos->rooks |= bit; break;
    case 5: pos->queens |= bit; break;
    default: pos->kings |= bit; break;
  }
}

EgtbPosition position_from_fen(const std::string& fen, int rule50) {
  EgtbPosition pos{};
  int rank = 7, file = 0;
  size_t i = 0;
  for (; i < fen.size() && fen[i] != ' '; i++) {
    char c = fen[i];
    if (c == '/') {
      rank--;
      file = 0;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
    } else {
      const char* letters = "PNBRQK";
      const char* at = std::strchr(letters, c & ~32);
      int code = (int)(at - letters) + 1 + ((c & 32) ? 8 : 0);
      add_piece(&pos, code, rank * 8 + file);
      file++;
    }
  }
  pos.turn = (i + 1 < fen.size() && fen[i + 1] == 'b') ? 0 : 1;
  size_t ep_at = fen.find(' ', i + 1);
  ep_at = fen.find(' ', ep_at + 1);  // skip castling
  if (ep_at != std::string::npos && ep_at + 2 < fen.size() + 1 && fen[ep_at + 1] != '-')
    pos.ep = (uint8_t)((fen[ep_at + 2] - '1') * 8 + (fen[ep_at + 1] - 'a'));
  pos.rule50 = (uint8_t)rule50;
  return pos;
}

std::string syzygy_dir() { return tarn_test::shared_path("syzygy"); }

std::string setup_capturing(const std::string& path) {
  std::fflush(stdout);
  char name[] = "/tmp/tb_setup_XXXXXX";
  int fd = mkstemp(name);
  int saved = dup(1);
  dup2(fd, 1);
  egtb_setup(path.c_str());
  std::fflush(stdout);
  dup2(saved, 1);
  close(saved);
  std::string out;
  char buf[256];
  lseek(fd, 0, SEEK_SET);
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, (size_t)n);
  close(fd);
  unlink(name);
  return out;
}

bool place(EgtbPosition* pos, const int* codes, const int* squares, int count, bool white_to_move) {
  *pos = EgtbPosition{};
  for (int i = 0; i < count; i++) {
    if ((pos->white | pos->black) >> squares[i] & 1) return false;
    add_piece(pos, codes[i], squares[i]);
  }
  pos->turn = white_to_move ? 1 : 0;
  return true;
}

std::string fen_of(const EgtbPosition& pos) {
  std::string fen;
  for (int rank = 7; rank >= 0; rank--) {
    int empty = 0;
    for (int file = 0; file < 8; file++) {
      int sq = rank * 8 + file;
      char c = 0;
      for (int code = 1; code < 16 && !c; code++)
        if (egtb_pieces(pos, code) >> sq & 1) c = "?PNBRQK??pnbrqk"[code];
      if (!c) {
        empty++;
        continue;
      }
      if (empty) fen += (char)('0' + empty);
      empty = 0;
      fen += c;
    }
    if (empty) fen += (char)('0' + empty);
    if (rank) fen += '/';
  }
  fen += pos.turn ? " w - " : " b - ";
  if (pos.ep) {
    fen += (char)('a' + (pos.ep & 7));
    fen += (char)('1' + (pos.ep >> 3));
  } else {
    fen += '-';
  }
  return fen;
}

Board* engine_board(const EgtbPosition& pos) {
  static BoardThread block;  // zero-filled like every thread block
  static bool linked = [] {
    init_attack_tables();
    init_keys();
    link_board_thread(&block);
    return true;
  }();
  (void)linked;
  parse_fen(&block.board, fen_of(pos).c_str());
  return &block.board;
}

}  // namespace tb_test
