// The one board thread block of a unit test program, linked on first use
// with the attack and key tables built. Header only, so the support library
// needs no engine layer: each test program links the board through its own.
#pragma once

#include "board/attacks.h"
#include "board/board_thread.h"
#include "board/keys.h"

namespace tarn_test {

inline BoardThread* board_block() {
  static BoardThread block;  // zero-filled like every thread block
  static bool linked = [] {
    init_attack_tables();
    init_keys();
    link_board_thread(&block);
    return true;
  }();
  (void)linked;
  return &block;
}

}  // namespace tarn_test
