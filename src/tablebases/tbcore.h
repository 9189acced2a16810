#pragma once
// Tablebase core: the registry of available material signatures, the mapped
// files and their decoding records, and the numbering of positions inside a
// table. Works on the tablebase code's own position record, never on Board.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/file_map.h"

constexpr int TBMAX_PIECE = 254;    // pawnless signatures of up to six pieces
constexpr int TBMAX_PAWN = 256;     // signatures with pawns
constexpr int HSHMAX = 5;           // keys per hash bucket
constexpr int EGTB_HASH_BUCKETS = 1024;
constexpr int EGTB_DTZ_SLOTS = 64;
constexpr int EGTB_MAX_NUM = 6;     // most pieces (kings included) in one table
constexpr int EGTB_PATH_LIMIT = 259;

constexpr uint32_t EGTB_WDL_MAGIC = 0x5d23e871;
constexpr uint32_t EGTB_DTZ_MAGIC = 0xa50c66d7;

// A position as the tables see it. Piece codes: 1 pawn .. 6 king for white,
// the same plus 8 for black.
struct EgtbPosition {
  uint64_t white, black;
  uint64_t kings, queens, rooks, bishops, knights, pawns;
  uint8_t rule50;
  uint8_t ep;    // en-passant target square, 0 = none
  uint8_t turn;  // 1 white to move, 0 black to move
};

// Bitboard of one piece code; codes 0, 7, 8 and 15 give the empty set.
uint64_t egtb_pieces(const EgtbPosition& pos, int code);

// Material key: depends only on how many pieces of each kind and colour
// there are (kings excluded). With swap the colours are exchanged first.
uint64_t egtb_material_key(const EgtbPosition& pos, bool swap);
uint64_t egtb_counts_key(const int counts[16], bool swap);

// Signature text such as "KRPvKR"; with swap black's pieces are named first.
void egtb_material_name(const EgtbPosition& pos, char* out, bool swap);

// Decoding state of one stored part of a table: where its sections lie in
// the mapped file and the canonical code it is compressed with.
struct PairDecoder {
  const uint8_t* index;     // block index, 6 bytes per entry
  const uint8_t* sizes;     // block sizes, u16 each
  const uint8_t* data;      // compressed blocks
  const uint8_t* offsets;   // first symbol of each code length, u16 from min_len
  const uint8_t* patterns;  // three bytes per symbol
  uint8_t* symlen;          // owned: values per symbol, minus one
  uint32_t block_size_log, idx_bits, min_len, max_len;
  uint32_t base[33];        // smallest left-aligned code of each length
  // Limits that keep every read inside the file, whatever its contents.
  uint64_t table_size;
  uint64_t index_entries;
  uint32_t size_entries, real_blocks, symbols;
};

// One stored part: its decoder and the piece order and index factors of the
// side (and pawn file) it belongs to. DTZ parts add their flags and maps.
struct EgtbPart {
  PairDecoder decoder;
  int32_t factor[EGTB_MAX_NUM];
  uint8_t pieces[EGTB_MAX_NUM];
  uint8_t norm[EGTB_MAX_NUM];
  uint8_t flags;
  uint16_t map_offset[4];
  uint8_t present;  // 0 when the file stores no such part
};

// What a WDL and a DTZ table of the same signature have in common.
struct EgtbMaterial {
  uint64_t key;           // key of the signature as named by its file
  uint8_t num;            // pieces including both kings
  uint8_t symmetric;
  uint8_t has_pawns;
  uint8_t king_encoding;  // pawnless: 0 with three unique pieces, else 2
  uint8_t pawns[2];       // with pawns: leading colour's count, the other's
  uint8_t counts[16];     // pieces per code, as named by the file
};

// Registry record of one WDL table. Parts are [pawn file][side]; pawnless
// tables use file 0.
struct EgtbTable {
  FileView view;
  EgtbMaterial mat;
  std::atomic<uint8_t> ready;
  EgtbPart part[4][2];
};

// A loaded DTZ table; only one side to move is stored. Parts by pawn file.
struct EgtbDtzTable {
  FileView view;
  EgtbMaterial mat;
  EgtbPart part[4];
  const uint8_t* map_start;
};

struct EgtbHashSlot {
  std::atomic<uint64_t> key;  // cleared when the table fails to load
  EgtbTable* table;           // null while the slot is free
};

struct EgtbDtzSlot {
  uint64_t key1, key2;
  EgtbDtzTable* table;
};

// ---- registry (tb_registry.cpp) ----
extern uint32_t egtb_max_pieces;
extern std::mutex egtb_lock;

void egtb_setup(const char* path);
FileHandle egtb_open_file(const char* name, const char* suffix);
const uint8_t* egtb_map_file(const char* name, const char* suffix, FileView* view);
void egtb_release_mapping(FileView* view);
void egtb_register(const char* name);
EgtbHashSlot* egtb_find_slot(uint64_t key);
EgtbTable* egtb_find(uint64_t key);
// The DTZ table of the position's material through the cache; null when
// unavailable. Not thread-safe: used by the root probe only.
EgtbDtzTable* egtb_dtz_table(const EgtbPosition& pos);
// Registered records (pawnless plus pawn) and the directories searched.
int egtb_table_count();
int egtb_directory_count();
const char* egtb_directory(int i);

// ---- decoding (tb_decode.cpp) ----
// Both loaders check every section against the file size and return false
// on any inconsistency; the caller releases what was set up.
bool egtb_load_wdl(EgtbTable* table);
bool egtb_load_dtz(EgtbDtzTable* table);
void egtb_free_parts(EgtbPart* parts, int count);
// Stored byte for an index, or -1 when the file turns out to be inconsistent.
int decode_value(const PairDecoder& d, uint64_t idx);
// WDL -2..2 of a position in its table (captures not resolved).
int egtb_probe_table_wdl(const EgtbPosition& pos, int* success);
// Stored distance for a position whose WDL value is wdl != 0; *success is
// 1, 0 (failure) or -1 (this side to move is not stored).
int egtb_probe_table_dtz(const EgtbPosition& pos, int wdl, int* success);

// ---- indexing (tb_index.cpp) ----
void egtb_init_index_tables();
// Norm, factors and table size of a part; 0 when the description is
// inconsistent with the material.
uint64_t set_groups_pawnless(EgtbPart& part, const EgtbMaterial& mat, int order);
uint64_t set_groups_pawns(EgtbPart& part, const EgtbMaterial& mat, int order, int order2, int file);

struct EgtbOrientation {
  int bside;  // stored side to read
  int cflip;  // XOR on piece codes
  int mflip;  // XOR on squares (pawn tables)
};
EgtbOrientation egtb_orientation(const EgtbPosition& pos, const EgtbMaterial& mat);

// Square lists: fill squares[0..num-1]; false when the position does not
// match the description.
bool square_list_pawnless(const EgtbPosition& pos, const EgtbPart& part, int num, int cflip,
                          uint8_t* squares);
// Leading pawns into squares[0..pawns[0]-1]; returns the pawn file 0..3, or
// -1 on a mismatch.
int square_list_leading(const EgtbPosition& pos, int leading_code, const EgtbMaterial& mat,
                        const EgtbOrientation& o, uint8_t* squares);
bool square_list_rest(const EgtbPosition& pos, const EgtbPart& part, const EgtbMaterial& mat,
                      const EgtbOrientation& o, uint8_t* squares);

uint64_t index_pawnless(int king_encoding, const uint8_t* norm, uint8_t* squares,
                        const int32_t* factor, int num);
uint64_t index_pawns(const EgtbMaterial& mat, const uint8_t* norm, uint8_t* squares,
                     const int32_t* factor);
