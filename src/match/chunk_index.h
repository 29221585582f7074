// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The chunk index: the chunks of many normalized rule texts ("units") in
// hash tables keyed by the text beside their bars, plus a small Aho-Corasick
// automaton for the rest, so that one pass over a target tells every unit's
// matched word count at once.
//
// Contract:
// - `build_chunk_index(units, minbytes, minwords)` cuts every unit into chunks
//   exactly as chunk_match_score does under those sizes (a bar flushes when
//   the chars and words counted since the previous flush reach both sizes, or
//   when it is the unit's last character; bars after the last flush count in
//   the total only) and indexes the distinct chunks. Units and targets are
//   normalized texts (only A-Z, 0-9 and '|'). The index points into the
//   units' storage, which must stay unchanged while the index is used.
// - `match_chunks(index, target, matches)` leaves in matches->matched[u] the
//   sum of the weights of unit u's chunks that occur in `target` as plain
//   substrings (anywhere, mid-word included; an empty chunk never occurs).
//   Most chunks are found from the target's bars: a chunk holding a bar with
//   kAnchorWindow characters after it (or before it) is looked up by the
//   text next to each bar of the target, in a hash table, and confirmed by
//   comparing it in place. The few chunks without such a bar (single words,
//   very short chunks) go through an Aho-Corasick automaton, walked only
//   when there are any. So a target costs a couple of lookups per word, a
//   comparison per candidate, and the postings of the chunks found; units
//   none of whose chunks occur are never touched.
// - `indexed_score` then equals chunk_match_score(unit, target, proportional)
//   bit for bit under the same sizes and threshold: both end in finish_chunk_score
//   with the same exact integer counts.
// - Memory is a fixed function of the units' distinct chunks: about 90 bytes
//   per chunk (its view, tail, postings start, candidate entry and hash
//   slots), 17 bytes per automaton node for the few unanchored chunks, 8
//   bytes per (chunk, unit) pair; ChunkMatches adds 4 bytes per unit, per
//   chunk and per node, and 16 per target bar. Building touches a few times
//   that in temporary arrays: start-up cost is mostly the first touch of
//   memory.
#ifndef TARSIL_MATCH_CHUNK_INDEX_H_
#define TARSIL_MATCH_CHUNK_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace tarsil {

// One chunk of a rule: rule.substr(start, length), weighing `weight` words.
struct ChunkSpan {
  uint32_t start = 0;
  uint32_t length = 0;
  int32_t weight = 0;
};

// A unit that contains a chunk, and the chunk's total weight in that unit
// (a chunk met twice in a unit counts twice).
struct ChunkPosting {
  uint32_t unit = 0;
  int32_t weight = 0;
};

// The automaton holds a prefix of each chunk that is not anchored (the whole
// chunk when shorter): the chunks sharing one prefix form a group, and a hit of the
// prefix is confirmed by comparing the rest of each chunk of the group in
// place. Prefixes are kChunkPrefix characters long, doubled (up to
// kLongestPrefix) for chunks that would otherwise form a group of more than
// kGroupSize. This keeps the trie small (and so the start-up cheap) whatever
// the chunk sizes, and the comparisons per hit few.
inline constexpr std::size_t kChunkPrefix = 10;
inline constexpr std::size_t kLongestPrefix = 20;
inline constexpr uint32_t kGroupSize = 4;

// A trie node, numbered breadth first (0 is the root), so that the children
// of node v are the nodes first_child .. next node's first_child - 1, in
// ascending order of their edge symbols.
struct ChunkNode {
  uint32_t first_child = 0;
  uint32_t fail = 0;    // longest proper suffix that is a node
  uint32_t output = 0;  // nearest node on the fail chain ending a group; 0: none
  uint32_t group = 0;   // group id + 1 when a prefix ends here, else 0
};

// The distinct chunks sharing one prefix: chunk ids first .. end - 1.
struct ChunkGroup {
  uint32_t first = 0;
  uint32_t end = 0;
  uint32_t prefix_length = 0;
};

// Normalized text has 37 symbols: 0-9 are codes 0-9, A-Z 10-35, '|' 36; any
// other byte is code 37 and has no transition.
inline constexpr std::size_t kSymbolCodes = 38;
// Nodes with full transition rows (at most about 600 KB): the shallow states,
// where a walk spends most of its time; with the bundled rule set and the
// default sizes, every state of the automaton.
inline constexpr std::size_t kDenseNodes = 4096;

// The text next to a bar by which a chunk is looked up: kAnchorWindow
// characters after the chunk's first bar (or, when the chunk has fewer there,
// before its last bar). Chunks sharing that text with more than kGroupSize
// others are looked up again by a window twice as long, up to
// kAnchorLevels lengths.
inline constexpr std::size_t kAnchorWindow = 10;
inline constexpr std::size_t kAnchorLevels = 4;

// A chunk found from a bar: the chunk starts `bar` characters before the
// target bar it is looked up from. Anchored chunks are longer than
// kAnchorWindow; their first 8 and last 4 characters are kept here so that
// most candidates are told apart without reading the chunk.
struct AnchoredChunk {
  const char* text = nullptr;
  uint64_t head = 0;
  uint32_t length = 0;
  uint32_t bar = 0;
  uint32_t chunk = 0;
  uint32_t last = 0;
};

// A hash slot: the hash of a window (0: free slot) and the chunks looked up
// by it, anchored[first .. first + (count_deeper >> 1)); the low bit of
// count_deeper says that some chunks sharing the window are looked up by the
// next, longer one.
struct AnchorSlot {
  uint64_t hash = 0;
  uint32_t first = 0;
  uint32_t count_deeper = 0;
};

// The groups of one side: an open addressing table (size a power of two)
// and a filter of eight bits per slot, set by the groups' hashes, small
// enough to stay in a fast cache: the text beside most bars of a file that
// is no license costs no visit to the table.
struct AnchorTable {
  std::vector<AnchorSlot> slots;
  std::vector<uint64_t> filter;  // bit (hash >> filter_shift) is set for every group's hash
  unsigned filter_shift = 63;
};

struct ChunkIndex {
  int minbytes = 0;
  int minwords = 0;
  std::vector<int32_t> unit_total;  // bars of each unit (its word count)
  std::vector<ChunkNode> nodes;     // plus one sentinel holding the end of the children
  std::vector<uint8_t> symbol;      // the edge character into each node; top bit: it reports
  // The automaton's full transitions for the first nodes (the shallow ones,
  // where a scan spends most of its time): row v, column symbol_code(c); the
  // top bit marks a destination that ends a prefix or has one on its chain.
  std::size_t dense_nodes = 0;
  std::vector<uint32_t> dense;
  std::vector<ChunkGroup> groups;
  std::vector<std::string_view> chunks;  // the distinct chunks, sorted; ids are positions
  std::vector<uint32_t> chunk_tail;      // per chunk: length << 8 | last character
  std::vector<uint32_t> posting_start;   // per chunk id, into postings; one extra end entry
  std::vector<ChunkPosting> postings;
  // Chunk ids below automaton_chunks go through the automaton (whose groups
  // cover exactly them); the others are anchored.
  uint32_t automaton_chunks = 0;
  std::vector<AnchoredChunk> anchored;  // grouped by window
  // For the chunks looked up by the window after their first bar, and for
  // those looked up before their last bar.
  AnchorTable after;
  AnchorTable before;
};

// Per-target results of match_chunks, reusable from one target to the next.
struct ChunkMatches {
  std::vector<int32_t> matched;      // per unit
  std::vector<uint32_t> touched;     // units whose matched value is not 0
  std::vector<uint32_t> seen;        // per chunk: generation of the last target it was found in
  std::vector<uint32_t> state_done;  // per node: generation its chunks were all found in
  uint32_t generation = 0;
  std::vector<uint32_t> bars;  // scratch: the target's bar positions, bar_count of them
  std::size_t bar_count = 0;
  std::vector<std::pair<uint32_t, uint32_t>> reports;  // scratch: (position, state) of prefix ends
  std::vector<std::pair<uint32_t, const AnchorSlot*>> hits;  // scratch: bars whose window is known
};

// Replaces *spans with the chunks of `rule` cut with the given sizes, in rule
// order, and returns the rule's word count. Words after the last flush belong
// to no chunk; empty chunks are listed (they never match).
int cut_chunks(std::string_view rule, int minbytes, int minwords, std::vector<ChunkSpan>* spans);

// Returns the index of `units` for the given chunk sizes. Never fails.
// `dense_limit` caps the automaton's nodes with full transition rows (the
// root always has one); results never depend on it.
ChunkIndex build_chunk_index(const std::vector<std::string_view>& units, int minbytes, int minwords,
                             std::size_t dense_limit = kDenseNodes);

// Fills `matches` for `target` (resizing it to the index on first use).
void match_chunks(const ChunkIndex& index, std::string_view target, ChunkMatches* matches);

// Returns unit `unit`'s chunk match score for the last target given to
// match_chunks, under `threshold`; `target_words` is that target's word
// count (used in proportional mode only). Never fails.
float indexed_score(const ChunkIndex& index, const ChunkMatches& matches, uint32_t unit,
                    int target_words, bool proportional, float threshold);

}  // namespace tarsil

#endif  // TARSIL_MATCH_CHUNK_INDEX_H_
