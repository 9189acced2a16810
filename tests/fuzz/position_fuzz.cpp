// FEN and EPD records: the reader, the check that refuses positions the
// engine cannot play from, and the EPD analysis searching what it accepts.
#include <cstring>
#include <string>

#include "board/board_thread.h"
#include "board/fen.h"
#include "board/position_check.h"
#include "core/engine_state.h"
#include "fuzz/fuzz_support.h"
#include "search/game_position.h"
#include "tools/epd_analysis.h"

namespace {

constexpr size_t RECORDS = 4;  // each one is searched, so keep inputs quick

std::string game_fen() {
  char fen[FEN_BUFFER];
  board_to_fen(game_board(), fen);
  return fen;
}

// A refused record leaves the game as it was; an accepted one is a
// position to play from that reads back the same from its own FEN.
void check_record(const std::string& record) {
  const std::string before = game_fen();
  const int moves_before = game_thread()->history_count;
  if (set_game_position(record.c_str())) {
    FUZZ_CHECK(game_fen() == before);
    FUZZ_CHECK(game_thread()->history_count == moves_before);
    return;
  }
  fuzz_check_game_board();
  FUZZ_CHECK(position_fault(game_board()) == nullptr);
  const std::string fen = game_fen();
  FUZZ_CHECK(set_game_position(fen.c_str()) == nullptr);
  FUZZ_CHECK(game_fen() == fen);
}

}  // namespace

TARN_FUZZ_TARGET(position) {
  std::string file;
  for (const std::string& record : fuzz_lines(data, size, RECORDS)) {
    check_record(record);
    file += record + "\n";
  }
  fuzz_write_file("fuzz.epd", reinterpret_cast<const uint8_t*>(file.data()), file.size());
  std::strcpy(settings.epd_file, "fuzz.epd");
  control.max_depth = 2;
  analyze_epd(0);
  fuzz_check_game_board();
  return 0;
}
