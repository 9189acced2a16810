#pragma once
// Large tables straight from the operating system. Fresh pages arrive
// zero-filled and are only backed when first touched, so a table whose empty
// form is all zero bytes costs nothing to obtain; big pages, where the system
// offers them, spare the random probes of the hash table most of their
// address-translation misses.
#include <cstddef>

// `bytes` of zero-filled memory aligned to 64 bytes at least, or null.
void* zeroed_alloc(std::size_t bytes);

// Gives back memory from zeroed_alloc; `bytes` as allocated. Null is ignored.
void zeroed_free(void* memory, std::size_t bytes);
