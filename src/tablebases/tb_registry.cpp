// Finding the table files of a directory list, registering the signatures
// present in a hash keyed by material, mapping files on demand and keeping
// the small cache of distance-to-zeroing tables.
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tablebases/tb_moves.h"
#include "tablebases/tbcore.h"

uint32_t egtb_max_pieces = 0;
std::mutex egtb_lock;

static EgtbTable pawnless_tables[TBMAX_PIECE];
static EgtbTable pawn_tables[TBMAX_PAWN];
static int pawnless_count = 0;
static int pawn_count = 0;
static EgtbHashSlot egtb_hash[EGTB_HASH_BUCKETS][HSHMAX];
static EgtbDtzSlot dtz_cache[EGTB_DTZ_SLOTS];
static std::string path_copy;
static std::vector<std::string> directories;
static bool index_tables_built = false;

// Key constants by piece code: white pawn..queen at 1..5, black at 9..13.
static const uint64_t key_constant[16] = {
    0, 0xec0ade190c0f6003, 0xd2fb81862830191f, 0xaadc1a2be446234d, 0x985deb9fc49333f9,
    0xa3ec1abc71e90863, 0, 0,
    0, 0xa24f0f571bb202e7, 0xbaeb854cd3259441, 0xd5a4c95928f2fbe3, 0xfd7866b439b94495,
    0xd6e4e47d24962951, 0, 0};

static const char piece_letter[] = " PNBRQK";

uint64_t egtb_pieces(const EgtbPosition& pos, int code) {
  uint64_t colour;
  if (code >= 1 && code <= 6) colour = pos.white;
  else if (code >= 9 && code <= 14) colour = pos.black;
  else return 0;
  switch (code & 7) {
    case 1: return pos.pawns & colour;
    case 2: return pos.knights & colour;
    case 3: return pos.bishops & colour;
    case 4: return pos.rooks & colour;
    case 5: return pos.queens & colour;
    default: return pos.kings & colour;
  }
}

uint64_t egtb_counts_key(const int counts[16], bool swap) {
  uint64_t key = 0;
  for (int code = 1; code <= 5; code++) {
    int white = counts[code], black = counts[code + 8];
    if (swap) std::swap(white, black);
    key += (uint64_t)white * key_constant[code] + (uint64_t)black * key_constant[code + 8];
  }
  return key;
}

static void position_counts(const EgtbPosition& pos, int counts[16]) {
  for (int code = 0; code < 16; code++) counts[code] = std::popcount(egtb_pieces(pos, code));
}

uint64_t egtb_material_key(const EgtbPosition& pos, bool swap) {
  int counts[16];
  position_counts(pos, counts);
  return egtb_counts_key(counts, swap);
}

void egtb_material_name(const EgtbPosition& pos, char* out, bool swap) {
  int counts[16];
  position_counts(pos, counts);
  for (int half = 0; half < 2; half++) {
    int colour = (half == 0) != swap ? 0 : 8;
    if (half == 1) *out++ = 'v';
    *out++ = 'K';
    for (int type = 5; type >= 1; type--)
      for (int n = 0; n < counts[type + colour]; n++) *out++ = piece_letter[type];
  }
  *out = 0;
}

FileHandle egtb_open_file(const char* name, const char* suffix) {
  size_t tail = std::strlen(name) + std::strlen(suffix) + 1;
  for (const std::string& dir : directories) {
    if (dir.size() + tail > EGTB_PATH_LIMIT) return FILE_HANDLE_INVALID;
    std::string candidate = dir + "/" + name + suffix;
    FileHandle h = file_open_read(candidate.c_str());
    if (h != FILE_HANDLE_INVALID) return h;
  }
  return FILE_HANDLE_INVALID;
}

const uint8_t* egtb_map_file(const char* name, const char* suffix, FileView* view) {
  FileHandle h = egtb_open_file(name, suffix);
  if (h == FILE_HANDLE_INVALID) return nullptr;
  unsigned long error = 0;
  FileMapStatus status = file_map_whole(h, view, &error);
  if (status == FILE_MAP_OBJECT_FAILED) {
    std::fprintf(stderr, "CreateFileMapping() failed.\n");
    std::exit(1);
  }
  if (status == FILE_MAP_VIEW_FAILED) {
    std::fprintf(stderr, "MapViewOfFile() failed, name = %s%s, error = %lu.\n", name, suffix, error);
    std::exit(1);
  }
  file_close(h);
  return view->data;
}

void egtb_release_mapping(FileView* view) {
  FileUnmapErrors errors = file_unmap(view);
  if (errors.view) std::fprintf(stderr, "unmap failed, error code %d", errors.view);
  if (errors.mapping) std::fprintf(stderr, "CloseHandle failed, error code %d", errors.mapping);
}

static void enter_hash(uint64_t key, EgtbTable* table) {
  EgtbHashSlot* bucket = egtb_hash[key >> 54];
  for (int i = 0; i < HSHMAX; i++)
    if (!bucket[i].table) {
      bucket[i].key.store(key, std::memory_order_relaxed);
      bucket[i].table = table;
      return;
    }
  std::fprintf(stderr, "HSHMAX too low!\n");
  std::exit(1);
}

void egtb_register(const char* name) {
  int counts[16] = {0};
  int colour = 0;
  for (const char* c = name; *c; c++) {
    switch (*c) {
      case 'K': counts[6 + colour]++; break;
      case 'Q': counts[5 + colour]++; break;
      case 'R': counts[4 + colour]++; break;
      case 'B': counts[3 + colour]++; break;
      case 'N': counts[2 + colour]++; break;
      case 'P': counts[1 + colour]++; break;
      case 'v': colour = 8; break;
      default: break;
    }
  }
  uint64_t key = egtb_counts_key(counts, false);
  uint64_t key2 = egtb_counts_key(counts, true);
  bool has_pawns = counts[1] + counts[9] > 0;

  EgtbTable* table;
  if (!has_pawns) {
    if (pawnless_count == TBMAX_PIECE) {
      std::fprintf(stderr, "TBMAX_PIECE limit too low!\n");
      std::exit(1);
    }
    table = &pawnless_tables[pawnless_count++];
  } else {
    if (pawn_count == TBMAX_PAWN) {
      std::fprintf(stderr, "TBMAX_PAWN limit too low!\n");
      std::exit(1);
    }
    table = &pawn_tables[pawn_count++];
  }
  EgtbMaterial& mat = table->mat;
  mat = EgtbMaterial{};
  mat.key = key;
  table->ready.store(0, std::memory_order_relaxed);
  int num = 0;
  for (int c = 0; c < 16; c++) {
    num += counts[c];
    mat.counts[c] = (uint8_t)counts[c];
  }
  mat.num = (uint8_t)num;
  mat.symmetric = key == key2;
  mat.has_pawns = has_pawns;
  if ((uint32_t)num > egtb_max_pieces) egtb_max_pieces = (uint32_t)num;

  if (has_pawns) {
    int white = counts[1], black = counts[9];
    // The colour with fewer (but some) pawns leads; white on equal counts.
    if (black > 0 && (white == 0 || black < white)) std::swap(white, black);
    mat.pawns[0] = (uint8_t)white;
    mat.pawns[1] = (uint8_t)black;
  } else {
    int unique = 0;
    for (int c = 0; c < 16; c++) unique += counts[c] == 1;
    mat.king_encoding = unique >= 3 ? 0 : 2;
  }
  enter_hash(key, table);
  if (key2 != key) enter_hash(key2, table);
}

EgtbHashSlot* egtb_find_slot(uint64_t key) {
  EgtbHashSlot* bucket = egtb_hash[key >> 54];
  for (int i = 0; i < HSHMAX; i++)
    if (bucket[i].table && bucket[i].key.load(std::memory_order_relaxed) == key) return &bucket[i];
  return nullptr;
}

EgtbTable* egtb_find(uint64_t key) {
  EgtbHashSlot* slot = egtb_find_slot(key);
  return slot ? slot->table : nullptr;
}

static void free_dtz_table(EgtbDtzTable* table) {
  if (!table) return;
  if (table->view.data) egtb_release_mapping(&table->view);
  egtb_free_parts(table->part, 4);
  delete table;
}

static EgtbDtzTable* load_dtz_entry(const EgtbPosition& pos, const EgtbTable* registered) {
  EgtbDtzTable* table = new EgtbDtzTable{};
  table->mat = registered->mat;
  char name[16];
  egtb_material_name(pos, name, egtb_material_key(pos, false) != registered->mat.key);
  if (!egtb_map_file(name, ".rtbz", &table->view)) {
    delete table;
    return nullptr;
  }
  uint32_t magic = 0;
  if (table->view.size >= 4) std::memcpy(&magic, table->view.data, 4);
  if (magic != EGTB_DTZ_MAGIC || !egtb_load_dtz(table)) {
    std::fprintf(stderr, "Corrupted table.\n");
    free_dtz_table(table);
    return nullptr;
  }
  return table;
}

EgtbDtzTable* egtb_dtz_table(const EgtbPosition& pos) {
  uint64_t key = egtb_material_key(pos, false);
  if (key == dtz_cache[0].key1 || key == dtz_cache[0].key2) return dtz_cache[0].table;
  for (int i = 1; i < EGTB_DTZ_SLOTS; i++) {
    if (dtz_cache[i].key1 != key) continue;
    EgtbDtzSlot hit = dtz_cache[i];
    std::memmove(&dtz_cache[1], &dtz_cache[0], sizeof(EgtbDtzSlot) * i);
    dtz_cache[0] = hit;
    return hit.table;
  }
  EgtbTable* registered = egtb_find(key);
  if (!registered) return nullptr;
  free_dtz_table(dtz_cache[EGTB_DTZ_SLOTS - 1].table);
  std::memmove(&dtz_cache[1], &dtz_cache[0], sizeof(EgtbDtzSlot) * (EGTB_DTZ_SLOTS - 1));
  int counts[16];
  for (int c = 0; c < 16; c++) counts[c] = registered->mat.counts[c];
  dtz_cache[0].key1 = registered->mat.key;
  dtz_cache[0].key2 = egtb_counts_key(counts, true);
  dtz_cache[0].table = load_dtz_entry(pos, registered);
  return dtz_cache[0].table;
}

static void release_all() {
  for (EgtbTable* tables : {pawnless_tables, pawn_tables}) {
    int count = tables == pawnless_tables ? pawnless_count : pawn_count;
    for (int i = 0; i < count; i++) {
      if (tables[i].view.data) egtb_release_mapping(&tables[i].view);
      egtb_free_parts(&tables[i].part[0][0], 8);
      tables[i].ready.store(0, std::memory_order_relaxed);
    }
  }
  for (EgtbDtzSlot& slot : dtz_cache) {
    free_dtz_table(slot.table);
    slot = EgtbDtzSlot{};
  }
  for (auto& bucket : egtb_hash)
    for (EgtbHashSlot& slot : bucket) {
      slot.key.store(0, std::memory_order_relaxed);
      slot.table = nullptr;
    }
  pawnless_count = pawn_count = 0;
  egtb_max_pieces = 0;
  path_copy.clear();
  directories.clear();
}

static void split_path(const char* path) {
  path_copy = path;
  size_t start = 0;
  while (start <= path_copy.size()) {
    size_t end = path_copy.find(';', start);
    if (end == std::string::npos) end = path_copy.size();
    if (end > start) directories.push_back(path_copy.substr(start, end - start));
    start = end + 1;
  }
}

// The candidate signatures of up to six pieces, in the order they are
// looked for; the letters come from "QRBNP" and never repeat in another order.
static void discover_tables() {
  static const char letters[] = "KQRBNP";
  char name[16];
  auto try_name = [&name]() {
    FileHandle h = egtb_open_file(name, ".rtbw");
    if (h == FILE_HANDLE_INVALID) return;
    file_close(h);
    egtb_register(name);
  };
  for (int i = 1; i <= 5; i++) {
    std::snprintf(name, sizeof name, "K%cvK", letters[i]);
    try_name();
  }
  for (int i = 1; i <= 5; i++)
    for (int j = i; j <= 5; j++) {
      std::snprintf(name, sizeof name, "K%cvK%c", letters[i], letters[j]);
      try_name();
    }
  for (int i = 1; i <= 5; i++)
    for (int j = i; j <= 5; j++) {
      std::snprintf(name, sizeof name, "K%c%cvK", letters[i], letters[j]);
      try_name();
    }
  for (int i = 1; i <= 5; i++)
    for (int j = i; j <= 5; j++)
      for (int k = 1; k <= 5; k++) {
        std::snprintf(name, sizeof name, "K%c%cvK%c", letters[i], letters[j], letters[k]);
        try_name();
      }
  for (int i = 1; i <= 5; i++)
    for (int j = i; j <= 5; j++)
      for (int k = j; k <= 5; k++) {
        std::snprintf(name, sizeof name, "K%c%c%cvK", letters[i], letters[j], letters[k]);
        try_name();
      }
  for (int i = 1; i <= 5; i++)
    for (int j = i; j <= 5; j++)
      for (int k = i; k <= 5; k++)
        for (int l = (k == i ? j : k); l <= 5; l++) {
          std::snprintf(name, sizeof name, "K%c%cvK%c%c", letters[i], letters[j], letters[k], letters[l]);
          try_name();
        }
  for (int i = 1; i <= 5; i++)
    for (int j = i; j <= 5; j++)
      for (int k = j; k <= 5; k++)
        for (int l = 1; l <= 5; l++) {
          std::snprintf(name, sizeof name, "K%c%c%cvK%c", letters[i], letters[j], letters[k], letters[l]);
          try_name();
        }
  for (int i = 1; i <= 5; i++)
    for (int j = i; j <= 5; j++)
      for (int k = j; k <= 5; k++)
        for (int l = k; l <= 5; l++) {
          std::snprintf(name, sizeof name, "K%c%c%c%cvK", letters[i], letters[j], letters[k], letters[l]);
          try_name();
        }
}

void egtb_setup(const char* path) {
  if (index_tables_built) {
    release_all();
  } else {
    egtb_init_index_tables();
    egtb_init_move_tables();
    index_tables_built = true;
  }
  if (!path || !*path || std::strcmp(path, "<empty>") == 0) return;
  split_path(path);
  discover_tables();
  std::printf("info string found %d tablebases\n", pawnless_count + pawn_count);
  std::fflush(stdout);
}

int egtb_table_count() { return pawnless_count + pawn_count; }
int egtb_directory_count() { return (int)directories.size(); }
const char* egtb_directory(int i) { return directories[i].c_str(); }
