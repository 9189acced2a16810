#include "frontend/config.h"

#include <cstdlib>
#include <cstring>

#include "board/types.h"
#include "core/engine_state.h"
#include "core/message.h"
#include "eval/params.h"
#include "frontend/text.h"

namespace {

// The value of a text key: the first word at `from`, where double quotes
// separate words like spaces do, so a quoted value loses its quotes.
void text_value(char* out, int capacity, const char* from) {
  while (*from == ' ' || *from == '"') from++;
  int length = 0;
  while (from[length] && from[length] != ' ' && from[length] != '"') length++;
  int kept = length < capacity - 1 ? length : capacity - 1;
  std::memcpy(out, from, static_cast<size_t>(kept));
  out[kept] = '\0';
}

// A text key is found anywhere in the line; its value starts `skip`
// characters after the key's first letter. A key with nothing after it has
// the empty value: no tablebase path, no book.
bool text_key(const char* line, const char* key, size_t skip, char* out, int capacity) {
  const char* at = std::strstr(line, key);
  if (!at) return false;
  const size_t length = std::strlen(at);
  char value[256];
  text_value(value, sizeof value, at + (length < skip ? length : skip));
  copy_text(out, capacity, value);
  return true;
}

bool pst_key(const char* key, int* type, int* phase) {
  for (int t = 1; t <= 6; t++)
    for (int p = 0; p < 2; p++)
      if (std::strcmp(key, pst_config_name(t, p)) == 0) {
        *type = t;
        *phase = p;
        return true;
      }
  return false;
}

// Keys that set engine settings rather than parameters.
bool engine_key(const char* key, int a) {
  if (!std::strcmp(key, "BookVariety")) {
    control.book_variety = static_cast<int16_t>(clamp_int(a, -32768, 32767));
  } else if (!std::strcmp(key, "BookDepth")) {
    control.book_depth = static_cast<uint8_t>(clamp_int(a, 0, 255));
  } else if (!std::strcmp(key, "SyzygyProbeDepth5")) {
    control.tb_probe_depth[0] = static_cast<int16_t>(clamp_int(a, -32768, 32767));
  } else if (!std::strcmp(key, "SyzygyProbeDepth6")) {
    control.tb_probe_depth[1] = static_cast<int16_t>(clamp_int(a, -32768, 32767));
  } else {
    return false;
  }
  return true;
}

void read_entry(FILE* file, ParamBlock& block, char* line) {
  // The path skips its key and one separator; the book name follows its key.
  if (text_key(line, "SyzygyPath", 11, control.syzygy_path, sizeof control.syzygy_path)) return;
  if (text_key(line, "TarnBook", 8, settings.book_file, sizeof settings.book_file)) return;
  char key[CONFIG_LINE_MAX + 1], first[CONFIG_LINE_MAX + 1], second[CONFIG_LINE_MAX + 1];
  const char* rest = first_word(key, sizeof key, line);
  rest = first_word(first, sizeof first, rest);
  first_word(second, sizeof second, rest);
  int a = read_int_clamped(first, -2147483647, 2147483647);
  int b = read_int_clamped(second, -2147483647, 2147483647);
  int type = 0, phase = 0;
  if (pst_key(key, &type, &phase)) {
    read_pst_rows(file, block, type, phase);
  } else if (!engine_key(key, a)) {
    apply_config_param(block, key, a, b);  // unknown keys are ignored
  }
}

// Reads the next line of at most CONFIG_LINE_MAX characters without its
// line end; false at the end of the file.
bool next_line(FILE* file, char* line) {
  if (!std::fgets(line, CONFIG_LINE_MAX + 1, file)) return false;
  line[std::strcspn(line, "\r\n")] = '\0';
  return true;
}

}  // namespace

void read_pst_rows(FILE* file, ParamBlock& block, int type, int phase) {
  char line[CONFIG_LINE_MAX + 2];
  for (int rank = 7; rank >= 0; rank--) {
    if (!next_line(file, line)) return;
    const char* cursor = line;
    for (int file_index = 0; file_index < 8; file_index++) {
      char word[CONFIG_LINE_MAX + 1];
      cursor = first_word(word, sizeof word, cursor);
      if (!word[0]) break;  // a short row leaves the rest of the rank as it was
      pst_value(block, type, make_square(file_index, rank), phase) =
          static_cast<int16_t>(read_int_clamped(word, -32768, 32767));
    }
  }
}

int read_config(const char* path, ParamBlock& block) {
  FILE* file = std::fopen(path, "r");
  if (!file) return 0;
  clear_pst(block);
  char line[CONFIG_LINE_MAX + 2];
  while (next_line(file, line)) {
    if (line[0] == '\0' || line[0] == '#') continue;
    for (char* c = line; *c; c++)
      if (*c == '=' || *c == ',') *c = ' ';
    read_entry(file, block, line);
  }
  std::fclose(file);
  print_messagef("loaded parameters from %s", path);
  print_message("");
  if (!pst_complete(block)) {
    print_message("file tarn.rc contains invalid PST");
    return 0;
  }
  settings.builtin_pst = 0;
  return 1;
}
