#include <cstdlib>
#include <cstring>

#include "core/engine_state.h"
#include "core/message.h"
#include "core/output.h"
#include "frontend/search_session.h"
#include "frontend/text.h"
#include "frontend/uci.h"

namespace {

constexpr int OPTION_TEXT_MAX = 255;

// Splits "name <option name> value <word>" into the option name (spaces
// trimmed) and the value word. Without "value" the whole rest is the name
// and the value is empty. Returns false without "name".
bool parse_option(const char* args, char* name, char* value, bool* has_value) {
  name[0] = value[0] = '\0';
  const char* name_at = std::strstr(args, "name");
  if (!name_at) return false;
  const char* name_start = name_at + 4;
  const char* value_at = std::strstr(name_start, "value");
  const char* name_end = value_at ? value_at : name_start + std::strlen(name_start);
  copy_trimmed(name, OPTION_TEXT_MAX, name_start, name_end);
  if (value_at) first_word(value, OPTION_TEXT_MAX, value_at + 5);
  *has_value = value_at != nullptr;
  return true;
}

bool named(const char* name, const char* option) { return std::strcmp(name, option) == 0; }

}  // namespace

void uci_setoption(const char* args) {
  char name[OPTION_TEXT_MAX + 1], value[OPTION_TEXT_MAX + 1];
  bool has_value = false;
  if (!parse_option(args, name, value, &has_value)) return;
  if (named(name, "Clear Hash")) {
    if (control.hash_mode) {
      clear_hash_table();
      print_message("Hash table cleared");
    }
    return;
  }
  // Every other option needs a value.
  if (!has_value) return;
  int number = read_int_clamped(value, -2147483647, 2147483647);

  if (named(name, "Hash")) {
    control.hash_mb = static_cast<int16_t>(clamp_int(number, 0, 8192));
    if (!resize_hash_table()) std::exit(-1);
    print_linef("info string Hash size set to %dM bytes", control.hash_mb);
  } else if (named(name, "Threads")) {
    int threads = clamp_int(number, 1, 64);
    if (threads != control.threads && !change_thread_count(threads)) std::exit(-1);
    control.threads = static_cast<uint8_t>(threads);
    print_linef("info string Threads set to %d", threads);
  } else if (named(name, "Communication Overhead")) {
    int ms = clamp_int(number, 0, 5000);
    control.overhead = ms * 0.001;
    print_linef("info string Communication Overhead set to %d", ms);
  } else if (named(name, "Ponder")) {
    control.ponder = std::strcmp(value, "true") == 0;
  } else if (named(name, "MultiPV")) {
    control.multipv = static_cast<int16_t>(clamp_int(number, 1, 255));
    print_linef("info string MultiPV set to %d", control.multipv);
  } else if (named(name, "OwnBook")) {
    control.own_book = std::strcmp(value, "true") == 0;
    print_linef("info string OwnBook set to %d", control.own_book);
  } else if (named(name, "Log")) {
    settings.log_enabled = std::strstr(value, "true") != nullptr;
    print_linef("info string Log set to %d", settings.log_enabled);
  } else if (named(name, "SyzygyPath")) {
    copy_text(control.syzygy_path, sizeof control.syzygy_path, value);
    reload_tablebases();
    print_linef("info string SyzygyPath set to %s", control.syzygy_path);
  } else if (named(name, "SyzygyProbeDepth5")) {
    control.tb_probe_depth[0] = static_cast<int16_t>(clamp_int(number, 1, 100));
    print_linef("info string SyzygyProbeDepth5 set to %d", control.tb_probe_depth[0]);
  } else if (named(name, "SyzygyProbeDepth6")) {
    control.tb_probe_depth[1] = static_cast<int16_t>(clamp_int(number, 1, 100));
    print_linef("info string SyzygyProbeDepth6 set to %d", control.tb_probe_depth[1]);
  }
}
