// Reading the compressed tables in place. A file is a header describing how
// its parts are indexed and compressed, then per part a block index, a table
// of block sizes and the blocks of canonical codes for symbols that expand
// into runs of values. Files are trusted only as far as their magic number:
// every offset is checked against the file size, so a damaged file makes a
// lookup fail instead of reading outside the mapping.
#include <cstdio>
#include <cstring>

#include "tablebases/tbcore.h"

static uint32_t read_le32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;  // the engine runs on little-endian machines only
}

static uint32_t read_le16(const uint8_t* p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }

static uint32_t read_be32(const uint8_t* p) {
  return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | (uint32_t)p[3];
}

// Reads a big-endian word of a block, or zeros past the block's end: valid
// data never needs them, but the reader fetches ahead of the bits it uses.
static uint32_t block_word(const uint8_t* p, const uint8_t* end) {
  if (p + 4 <= end) return read_be32(p);
  uint32_t v = 0;
  for (int i = 0; i < 4; i++) v = v << 8 | (p + i < end ? p[i] : 0);
  return v;
}

struct SectionSizes {
  uint64_t index, sizes, data;
};

void egtb_free_parts(EgtbPart* parts, int count) {
  for (int i = 0; i < count; i++) {
    delete[] parts[i].decoder.symlen;
    parts[i] = EgtbPart{};
  }
}

// Values each symbol stands for, minus one, computed children first with an
// explicit stack; a pattern that refers back to itself makes the part unusable.
static bool compute_symbol_lengths(PairDecoder& d) {
  uint32_t n = d.symbols;
  uint8_t state[4096] = {0};  // 0 new, 1 children pending, 2 done
  uint16_t stack[2 * 4096 + 2];
  for (uint32_t s = 0; s < n; s++) {
    if (state[s] == 2) continue;
    int top = 0;
    stack[top++] = (uint16_t)s;
    while (top > 0) {
      uint32_t t = stack[top - 1];
      const uint8_t* w = d.patterns + 3 * t;
      uint32_t left = w[0] | (uint32_t)(w[1] & 15) << 8;
      uint32_t right = (uint32_t)(w[1] >> 4) | (uint32_t)w[2] << 4;
      if (state[t] == 2) {
        top--;
      } else if (right == 4095) {
        d.symlen[t] = 0;
        state[t] = 2;
        top--;
      } else if (left >= n || right >= n) {
        return false;
      } else if (state[t] == 0) {
        state[t] = 1;
        if (state[left] == 1 || state[right] == 1) return false;
        if (top + 2 > (int)(sizeof stack / sizeof stack[0])) return false;
        if (state[right] == 0) stack[top++] = (uint16_t)right;
        if (state[left] == 0) stack[top++] = (uint16_t)left;
      } else {
        if (state[left] != 2 || state[right] != 2) return false;
        d.symlen[t] = (uint8_t)(d.symlen[left] + d.symlen[right] + 1);
        state[t] = 2;
        top--;
      }
    }
  }
  return true;
}

// Sets up the decoder of one part from its header at file offset q (moved to
// the next header) for a part of n index values.
static bool read_part_header(const FileView& v, uint64_t& q, uint64_t n, bool wdl, EgtbPart& part,
                             SectionSizes& sizes) {
  PairDecoder& d = part.decoder;
  d = PairDecoder{};
  sizes = SectionSizes{0, 0, 0};
  if (q + 2 > v.size) return false;
  const uint8_t* h = v.data + q;
  part.flags = h[0];
  part.present = 1;
  d.table_size = n;
  if (h[0] & 0x80) {
    d.min_len = wdl ? h[1] : 0;
    q += 2;
    return true;
  }
  if (q + 12 > v.size) return false;
  d.block_size_log = h[1];
  d.idx_bits = h[2];
  uint32_t extra = h[3];
  d.real_blocks = read_le32(h + 4);
  d.max_len = h[8];
  d.min_len = h[9];
  if (d.idx_bits < 1 || d.idx_bits > 32 || d.block_size_log > 30) return false;
  if (d.min_len < 1 || d.min_len > d.max_len || d.max_len > 32) return false;
  uint32_t lengths = d.max_len - d.min_len + 1;
  if (q + 12 + 2 * lengths > v.size) return false;
  d.offsets = h + 10;
  d.symbols = read_le16(h + 10 + 2 * lengths);
  if (d.symbols == 0 || d.symbols > 4096) return false;
  if (q + 12 + 2 * lengths + 3 * d.symbols > v.size) return false;
  d.patterns = h + 12 + 2 * lengths;
  q += 12 + 2 * lengths + 3 * d.symbols + (d.symbols & 1);

  d.index_entries = (n + (1ULL << d.idx_bits) - 1) >> d.idx_bits;
  d.size_entries = d.real_blocks + extra;
  if (d.real_blocks > (1u << 31) || d.size_entries < d.real_blocks) return false;
  sizes.index = 6 * d.index_entries;
  sizes.sizes = 2 * (uint64_t)d.size_entries;
  sizes.data = (uint64_t)d.real_blocks << d.block_size_log;

  d.symlen = new uint8_t[d.symbols];
  if (!compute_symbol_lengths(d)) return false;

  // Canonical code: base[l] is the smallest code of length l, left-aligned.
  d.base[d.max_len] = 0;
  for (uint32_t l = d.max_len - 1; l >= d.min_len; l--)
    d.base[l] = (d.base[l + 1] + read_le16(d.offsets + 2 * (l - d.min_len)) -
                 read_le16(d.offsets + 2 * (l + 1 - d.min_len))) / 2;
  for (uint32_t l = d.min_len; l <= d.max_len; l++) d.base[l] <<= 32 - l;
  return true;
}

// Places the three sections of each part in turn: all block indexes, then
// all size tables, then each part's data on a 64-byte boundary.
static bool place_sections(const FileView& v, uint64_t pos, EgtbPart* const* parts,
                           const SectionSizes* sizes, int count) {
  for (int i = 0; i < count; i++) {
    parts[i]->decoder.index = v.data + pos;
    pos += sizes[i].index;
  }
  for (int i = 0; i < count; i++) {
    parts[i]->decoder.sizes = v.data + pos;
    pos += sizes[i].sizes;
  }
  for (int i = 0; i < count; i++) {
    pos = (pos + 63) & ~63ULL;
    parts[i]->decoder.data = v.data + pos;
    pos += sizes[i].data;
  }
  return pos <= v.size;
}

// Both kinds of table start with the same header byte: its pawn bit must
// agree with the material the file name promised.
static bool header_fits(const FileView& v, const EgtbMaterial& mat) {
  if (v.size < 6 || mat.num > EGTB_MAX_NUM) return false;
  return ((v.data[4] >> 1) & 1) == mat.has_pawns;
}

bool egtb_load_wdl(EgtbTable* t) {
  const FileView& v = t->view;
  const EgtbMaterial& mat = t->mat;
  int num = mat.num;
  if (!header_fits(v, mat)) return false;
  bool split = v.data[4] & 1;

  EgtbPart* parts[8];
  SectionSizes sizes[8];
  uint64_t table_size[8];
  int count = 0;
  int sides = split ? 2 : 1;
  uint64_t q = 5;
  if (!mat.has_pawns) {
    if (q + 1 + num > v.size) return false;
    for (int s = 0; s < sides; s++) {
      EgtbPart& part = t->part[0][s];
      int shift = 4 * s;
      for (int i = 0; i < num; i++) part.pieces[i] = (v.data[q + 1 + i] >> shift) & 15;
      table_size[count] = set_groups_pawnless(part, mat, (v.data[q] >> shift) & 15);
      if (table_size[count] == 0) return false;
      parts[count++] = &part;
    }
    q += num + 1;
  } else {
    bool both = mat.pawns[1] > 0;
    for (int f = 0; f < 4; f++) {
      uint64_t block = (uint64_t)num + 1 + both;
      if (q + block > v.size) return false;
      for (int s = 0; s < sides; s++) {
        EgtbPart& part = t->part[f][s];
        int shift = 4 * s;
        for (int i = 0; i < num; i++) part.pieces[i] = (v.data[q + 1 + both + i] >> shift) & 15;
        int order = (v.data[q] >> shift) & 15;
        int order2 = both ? (v.data[q + 1] >> shift) & 15 : 15;
        table_size[count] = set_groups_pawns(part, mat, order, order2, f);
        if (table_size[count] == 0) return false;
        parts[count++] = &part;
      }
      q += block;
    }
  }
  q += q & 1;
  for (int i = 0; i < count; i++)
    if (!read_part_header(v, q, table_size[i], true, *parts[i], sizes[i])) return false;
  return place_sections(v, q, parts, sizes, count);
}

// Reads the four value maps of a part that has them.
static bool read_value_maps(const FileView& v, uint64_t& q, uint64_t map_start, EgtbPart& part) {
  for (int k = 0; k < 4; k++) {
    if (q >= v.size || q + 1 - map_start > 0xFFFF) return false;
    part.map_offset[k] = (uint16_t)(q + 1 - map_start);
    q += 1 + (uint64_t)v.data[q];
  }
  return q <= v.size;
}

bool egtb_load_dtz(EgtbDtzTable* t) {
  const FileView& v = t->view;
  const EgtbMaterial& mat = t->mat;
  int num = mat.num;
  if (!header_fits(v, mat)) return false;
  EgtbPart* parts[4];
  SectionSizes sizes[4];
  uint64_t table_size[4];
  int count = mat.has_pawns ? 4 : 1;
  uint64_t q = 5;
  if (!mat.has_pawns) {
    if (q + 1 + num > v.size) return false;
    for (int i = 0; i < num; i++) t->part[0].pieces[i] = v.data[q + 1 + i] & 15;
    table_size[0] = set_groups_pawnless(t->part[0], mat, v.data[q] & 15);
    if (table_size[0] == 0) return false;
    parts[0] = &t->part[0];
    q += num + 1;
  } else {
    bool both = mat.pawns[1] > 0;
    for (int f = 0; f < 4; f++) {
      uint64_t block = (uint64_t)num + 1 + both;
      if (q + block > v.size) return false;
      EgtbPart& part = t->part[f];
      for (int i = 0; i < num; i++) part.pieces[i] = v.data[q + 1 + both + i] & 15;
      table_size[f] = set_groups_pawns(part, mat, v.data[q] & 15, both ? v.data[q + 1] & 15 : 15, f);
      if (table_size[f] == 0) return false;
      parts[f] = &part;
      q += block;
    }
  }
  q += q & 1;
  for (int i = 0; i < count; i++)
    if (!read_part_header(v, q, table_size[i], false, *parts[i], sizes[i])) return false;
  uint64_t map_start = q;
  t->map_start = v.data + q;
  bool any_maps = false;
  for (int i = 0; i < count; i++)
    if (parts[i]->flags & 2) {
      if (!read_value_maps(v, q, map_start, *parts[i])) return false;
      any_maps = true;
    }
  if (mat.has_pawns || any_maps) q += q & 1;
  return place_sections(v, q, parts, sizes, count);
}

int decode_value(const PairDecoder& d, uint64_t idx) {
  if (d.idx_bits == 0) return (int)d.min_len;
  if (idx >= d.table_size) return -1;
  uint64_t main_entry = idx >> d.idx_bits;
  int64_t lit = (int64_t)(idx & ((1ULL << d.idx_bits) - 1)) - (int64_t)(1ULL << (d.idx_bits - 1));
  const uint8_t* entry = d.index + 6 * main_entry;
  uint32_t block = read_le32(entry);
  lit += read_le16(entry + 4);
  if (block >= d.size_entries) return -1;
  if (lit < 0) {
    do {
      if (block == 0) return -1;
      block--;
      lit += read_le16(d.sizes + 2 * block) + 1;
    } while (lit < 0);
  } else {
    while (lit > read_le16(d.sizes + 2 * block)) {
      lit -= read_le16(d.sizes + 2 * block) + 1;
      if (++block >= d.size_entries) return -1;
    }
  }
  if (block >= d.real_blocks) return -1;

  const uint8_t* ptr = d.data + ((uint64_t)block << d.block_size_log);
  const uint8_t* end = ptr + (1ULL << d.block_size_log);
  // The next bits of the block, left-aligned; at least 32 are valid.
  uint64_t window = (uint64_t)block_word(ptr, end) << 32 | block_word(ptr + 4, end);
  ptr += 8;
  int available = 64;
  uint32_t sym;
  for (;;) {
    uint32_t code = (uint32_t)(window >> 32);
    uint32_t l = d.min_len;
    while (code < d.base[l]) l++;
    sym = read_le16(d.offsets + 2 * (l - d.min_len)) + ((code - d.base[l]) >> (32 - l));
    if (sym >= d.symbols) return -1;
    if (lit < (int64_t)d.symlen[sym] + 1) break;
    lit -= d.symlen[sym] + 1;
    window <<= l;
    available -= (int)l;
    if (available < 32) {
      window |= (uint64_t)block_word(ptr, end) << (32 - available);
      ptr += 4;
      available += 32;
    }
  }
  while (d.symlen[sym] != 0) {
    const uint8_t* w = d.patterns + 3 * sym;
    uint32_t left = w[0] | (uint32_t)(w[1] & 15) << 8;
    if (lit < (int64_t)d.symlen[left] + 1) {
      sym = left;
    } else {
      lit -= d.symlen[left] + 1;
      sym = (uint32_t)(w[1] >> 4) | (uint32_t)w[2] << 4;
    }
  }
  return d.patterns[3 * sym];
}

// Square list and index of a position in one of its table's parts; null
// when the position does not fit the table's description.
template <typename PartOf>
static const EgtbPart* locate(const EgtbPosition& pos, const EgtbMaterial& mat, int leading_code,
                              PartOf part_of, uint64_t* idx, int* file_out) {
  EgtbOrientation o = egtb_orientation(pos, mat);
  uint8_t sq[EGTB_MAX_NUM];
  if (mat.num > EGTB_MAX_NUM) return nullptr;
  if (!mat.has_pawns) {
    const EgtbPart* part = part_of(0, o.bside);
    if (!part->present || !square_list_pawnless(pos, *part, mat.num, o.cflip, sq)) return nullptr;
    *idx = index_pawnless(mat.king_encoding, part->norm, sq, part->factor, mat.num);
    *file_out = 0;
    return part;
  }
  int file = square_list_leading(pos, leading_code, mat, o, sq);
  if (file < 0) return nullptr;
  const EgtbPart* part = part_of(file, o.bside);
  if (!part->present || !square_list_rest(pos, *part, mat, o, sq)) return nullptr;
  *idx = index_pawns(mat, part->norm, sq, part->factor);
  *file_out = file;
  return part;
}

// First use of a WDL table: map and decode its file. Runs under egtb_lock.
static bool load_wdl_table(EgtbTable* t, const EgtbPosition& pos) {
  char name[16];
  egtb_material_name(pos, name, egtb_material_key(pos, false) != t->mat.key);
  if (!egtb_map_file(name, ".rtbw", &t->view)) {
    std::fprintf(stderr, "Could not find %s.rtbw\n", name);
    return false;
  }
  uint32_t magic = 0;
  if (t->view.size >= 4) std::memcpy(&magic, t->view.data, 4);
  if (magic != EGTB_WDL_MAGIC || !egtb_load_wdl(t)) {
    std::fprintf(stderr, "Corrupted table.\n");
    egtb_release_mapping(&t->view);
    egtb_free_parts(&t->part[0][0], 8);
    return false;
  }
  return true;
}

// A table that cannot be loaded is taken out of the hash under both of its
// keys, so the failure is reported once and later lookups fail at once.
static void disable_table(EgtbTable* t) {
  int counts[16];
  for (int c = 0; c < 16; c++) counts[c] = t->mat.counts[c];
  for (bool swap : {false, true}) {
    EgtbHashSlot* slot = egtb_find_slot(egtb_counts_key(counts, swap));
    if (slot && slot->table == t) slot->key.store(0, std::memory_order_relaxed);
  }
}

int egtb_probe_table_wdl(const EgtbPosition& pos, int* success) {
  uint64_t key = egtb_material_key(pos, false);
  if (key == 0) return 0;
  EgtbTable* t = egtb_find(key);
  if (!t) {
    *success = 0;
    return 0;
  }
  if (!t->ready.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> guard(egtb_lock);
    if (!t->ready.load(std::memory_order_relaxed)) {
      if (!load_wdl_table(t, pos)) {
        disable_table(t);
        *success = 0;
        return 0;
      }
      t->ready.store(1, std::memory_order_release);
    }
  }
  uint64_t idx;
  int file;
  auto part_of = [t](int f, int side) -> const EgtbPart* { return &t->part[f][side]; };
  const EgtbPart* part = locate(pos, t->mat, t->part[0][0].pieces[0], part_of, &idx, &file);
  int value = part ? decode_value(part->decoder, idx) : -1;
  if (value < 0 || value > 4) {
    *success = 0;
    return 0;
  }
  return value - 2;
}

int egtb_probe_table_dtz(const EgtbPosition& pos, int wdl, int* success) {
  EgtbDtzTable* t = egtb_dtz_table(pos);
  if (!t) {
    *success = 0;
    return 0;
  }
  EgtbOrientation o = egtb_orientation(pos, t->mat);
  uint64_t idx;
  int file;
  auto part_of = [t](int f, int) -> const EgtbPart* { return &t->part[f]; };
  const EgtbPart* part = locate(pos, t->mat, t->part[0].pieces[0], part_of, &idx, &file);
  if (!part) {
    *success = 0;
    return 0;
  }
  if (!t->mat.symmetric && (part->flags & 1) != o.bside) {
    *success = -1;
    return 0;
  }
  int res = decode_value(part->decoder, idx);
  if (res < 0) {
    *success = 0;
    return 0;
  }
  if (part->flags & 2) {
    static const int map_of_wdl[5] = {1, 3, 0, 2, 0};
    const uint8_t* value = t->map_start + part->map_offset[map_of_wdl[wdl + 2]] + res;
    if (value >= t->view.data + t->view.size) {
      *success = 0;
      return 0;
    }
    res = *value;
  }
  static const int unhalved_flag[5] = {8, 0, 0, 0, 4};
  if ((wdl & 1) || !(part->flags & unhalved_flag[wdl + 2])) res *= 2;
  *success = 1;
  return res;
}
