#include "tools/pgn_scan.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "core/engine_state.h"
#include "core/output.h"
#include "eval/params.h"
#include "tools/pgn_emit.h"
#include "tools/pgn_reader.h"

namespace {

// Lines longer than this are cut; move text that long is junk anyway.
constexpr int PGN_LINE_MAX = 65536;

struct ScanState {
  PgnReader reader;
  char line[PGN_LINE_MAX];
  int mode;
  FILE* out;
  int positions;
};

void header_line(ScanState& s, const char* line) {
  if (s.mode == 1) std::fprintf(s.out, "%.255s\n", line);
  if (pgn_reader_header(s.reader, line) && s.reader.games % 100 == 0) {
    print_linef("game %d", s.reader.games);
  }
  if (s.mode == 1 && std::strstr(line, "Round ")) {
    std::fprintf(s.out, "[Tag \"game_%d\"]\n", s.reader.games);
  }
}

void emit(ScanState& s) {
  s.positions += emit_game(s.reader.game, s.mode, s.out);
  pgn_reader_next_game(s.reader);
}

}  // namespace

int scan_pgn(const char* path, int mode) {
  FILE* in = std::fopen(path, "r");
  if (!in) return -1;
  FILE* out = std::fopen(mode == 1 ? "tmp.pgn" : "tmp.epd", "w");
  if (!out) {
    std::fclose(in);
    return -1;
  }
  init_eval_tables();
  settings.log_enabled = 0;

  auto state = std::make_unique<ScanState>();
  ScanState& s = *state;
  pgn_reader_start(s.reader);
  s.mode = mode;
  s.out = out;
  while (read_text_line(in, s.line, PGN_LINE_MAX)) {
    PgnLine kind = pgn_reader_line(s.reader, s.line);
    if (kind == PgnLine::game_ready) emit(s);
    if (kind != PgnLine::moves) header_line(s, s.line);
  }
  if (s.reader.moves_pending) emit(s);
  std::fprintf(out, "\n");
  std::fclose(out);
  std::fclose(in);
  print_linef("games= %d, positions= %d", s.reader.games, s.positions);
  return s.positions;
}
