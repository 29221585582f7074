// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "match/chunk_index.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <numeric>

#include "match/chunk_score.h"

namespace tarsil {
namespace {

// The distinct chunks met so far, with an open-addressing table from chunk
// text to id (slots hold id + 1; 0 is free).
struct ChunkTable {
  std::vector<std::string_view> chunks;
  std::vector<uint32_t> slots = std::vector<uint32_t>(1024, 0);
};

std::size_t slot_of(const ChunkTable& table, std::string_view chunk) {
  const std::size_t mask = table.slots.size() - 1;
  std::size_t slot = std::hash<std::string_view>{}(chunk)&mask;
  while (table.slots[slot] != 0 && table.chunks[table.slots[slot] - 1] != chunk) {
    slot = (slot + 1) & mask;
  }
  return slot;
}

// Returns the id of `chunk`, adding it when new.
uint32_t chunk_id(ChunkTable* table, std::string_view chunk) {
  const std::size_t slot = slot_of(*table, chunk);
  if (table->slots[slot] != 0) return table->slots[slot] - 1;
  table->chunks.push_back(chunk);
  table->slots[slot] = static_cast<uint32_t>(table->chunks.size());
  if (table->chunks.size() * 2 > table->slots.size()) {
    table->slots.assign(table->slots.size() * 2, 0);
    for (uint32_t id = 0; id < table->chunks.size(); ++id) {
      table->slots[slot_of(*table, table->chunks[id])] = id + 1;
    }
  }
  return static_cast<uint32_t>(table->chunks.size() - 1);
}

// The low bits of ChunkIndex::symbol hold the edge's character; the top bit
// marks a node that ends a prefix or has one on its fail chain.
constexpr uint8_t kSymbolMask = 0x7F;
constexpr uint8_t kReportsFlag = 0x80;

// Returns the child of `node` along `c`, or 0 when there is none (the root
// is nobody's child).
inline uint32_t child_of(const ChunkIndex& index, uint32_t node, uint8_t c) {
  const uint32_t end = index.nodes[node + 1].first_child;
  for (uint32_t i = index.nodes[node].first_child; i < end; ++i) {
    const uint8_t symbol = index.symbol[i] & kSymbolMask;
    if (symbol == c) return i;
    if (symbol > c) break;
  }
  return 0;
}

// Appends the groups of the sorted chunks first .. end - 1, which share their
// first `length` characters when end - first > 1: runs of chunks with the
// same first `length` characters form a group, and a run longer than
// kGroupSize is split again on twice as many characters, so that a prefix hit
// costs few comparisons.
void add_groups(uint32_t first, uint32_t end, std::size_t length, ChunkIndex* index,
                std::vector<std::string_view>* prefixes) {
  uint32_t run = first;
  while (run < end) {
    const std::string_view prefix = index->chunks[run].substr(0, length);
    uint32_t next = run + 1;
    while (next < end && index->chunks[next].substr(0, length) == prefix) ++next;
    if (next - run > kGroupSize && prefix.size() == length && length < kLongestPrefix) {
      add_groups(run, next, length * 2, index, prefixes);
    } else {
      index->groups.push_back(ChunkGroup{run, next, static_cast<uint32_t>(prefix.size())});
      prefixes->push_back(prefix);
    }
    run = next;
  }
}

// Builds the trie of the groups' prefixes (sorted, distinct) straight into
// breadth-first order, which for sorted children is the order of (depth,
// text): level d holds the distinct d-character heads of the prefixes, in
// the prefixes' order. A prefix's end node carries its group id + 1.
void lay_out_trie(const std::vector<std::string_view>& prefixes, ChunkIndex* index) {
  std::vector<uint32_t> head(prefixes.size(), 0);  // node of each prefix's head so far
  std::vector<uint32_t> parent{0};
  index->symbol.assign(1, 0);
  index->nodes.assign(1, ChunkNode{});
  std::size_t longest = 0;
  for (const std::string_view prefix : prefixes) longest = std::max(longest, prefix.size());
  for (std::size_t depth = 1; depth <= longest; ++depth) {
    uint32_t last_parent = 0;
    uint8_t last_symbol = 0;
    bool any = false;
    for (std::size_t j = 0; j < prefixes.size(); ++j) {
      if (prefixes[j].size() < depth) continue;
      const uint8_t c = static_cast<uint8_t>(prefixes[j][depth - 1]);
      if (!any || head[j] != last_parent || c != last_symbol) {
        any = true;
        last_parent = head[j];
        last_symbol = c;
        parent.push_back(head[j]);
        index->symbol.push_back(c);
        index->nodes.push_back(ChunkNode{});
      }
      head[j] = static_cast<uint32_t>(index->nodes.size() - 1);
      if (prefixes[j].size() == depth) index->nodes[head[j]].group = static_cast<uint32_t>(j + 1);
    }
  }
  // Children of consecutive nodes are consecutive: first_child by counting.
  const std::size_t count = index->nodes.size();
  std::vector<uint32_t> children(count, 0);
  for (std::size_t v = 1; v < count; ++v) ++children[parent[v]];
  index->nodes.push_back(ChunkNode{});  // sentinel
  index->nodes[0].first_child = 1;
  for (std::size_t v = 0; v < count; ++v) {
    index->nodes[v + 1].first_child = index->nodes[v].first_child + children[v];
  }
}

// Links every node to its fail and output nodes, in breadth-first order so
// that a node's links are known before its children's.
void link_automaton(ChunkIndex* index) {
  const std::size_t count = index->nodes.size() - 1;
  for (uint32_t v = 1; v < count; ++v) {
    const uint32_t end = index->nodes[v + 1].first_child;
    for (uint32_t w = index->nodes[v].first_child; w < end; ++w) {
      const uint8_t c = index->symbol[w] & kSymbolMask;
      uint32_t f = index->nodes[v].fail;
      uint32_t target = 0;
      for (;;) {
        target = child_of(*index, f, c);
        if (target != 0 || f == 0) break;
        f = index->nodes[f].fail;
      }
      index->nodes[w].fail = target;
      index->nodes[w].output =
          index->nodes[target].group != 0 ? target : index->nodes[target].output;
    }
  }
}

// The symbol of each code, for codes 0-36.
constexpr char kCodeSymbols[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ|";

// The symbol code of each byte.
constexpr std::array<uint8_t, 256> make_symbol_codes() {
  std::array<uint8_t, 256> codes{};
  codes.fill(kSymbolCodes - 1);
  for (std::size_t code = 0; code + 1 < kSymbolCodes; ++code) {
    codes[static_cast<uint8_t>(kCodeSymbols[code])] = static_cast<uint8_t>(code);
  }
  return codes;
}
constexpr std::array<uint8_t, 256> kSymbolCode = make_symbol_codes();

// Marks a dense transition into a node on whose fail chain some prefix ends.
constexpr uint32_t kReportsChunks = 0x80000000u;

// Fills the full transitions of the first nodes: a child where there is one,
// else the transition of the fail node (always an earlier node).
void fill_dense(std::size_t dense_limit, ChunkIndex* index) {
  index->dense_nodes = std::min(std::max<std::size_t>(dense_limit, 1), index->nodes.size() - 1);
  index->dense.assign(index->dense_nodes * kSymbolCodes, 0);
  for (uint32_t v = 0; v < index->dense_nodes; ++v) {
    for (std::size_t code = 0; code + 1 < kSymbolCodes; ++code) {
      const uint32_t child = child_of(*index, v, static_cast<uint8_t>(kCodeSymbols[code]));
      if (child == 0) {
        index->dense[v * kSymbolCodes + code] =
            v == 0 ? 0 : index->dense[index->nodes[v].fail * kSymbolCodes + code];
      } else {
        const ChunkNode& node = index->nodes[child];
        index->dense[v * kSymbolCodes + code] =
            child | (node.group != 0 || node.output != 0 ? kReportsChunks : 0);
      }
    }
  }
}

// Fills the postings: one per (chunk, unit) pair, the weights of that
// unit's occurrences summed, units ascending. `occurrences` holds each
// unit's chunk ids and weights in unit order, `unit_end` where each unit's
// run of them ends.
void fill_postings(const std::vector<std::pair<uint32_t, int32_t>>& occurrences,
                   const std::vector<uint32_t>& unit_end, ChunkIndex* index) {
  const std::size_t chunk_count = index->chunks.size();
  std::vector<uint32_t> last_unit(chunk_count, 0);  // unit + 1 of the chunk's last posting
  std::vector<uint32_t> cursor(chunk_count + 1, 0);
  uint32_t unit = 0;
  for (std::size_t k = 0; k < occurrences.size(); ++k) {
    while (k >= unit_end[unit]) ++unit;
    const uint32_t chunk = occurrences[k].first;
    if (last_unit[chunk] == unit + 1) continue;
    last_unit[chunk] = unit + 1;
    ++cursor[chunk + 1];
  }
  std::partial_sum(cursor.begin(), cursor.end(), cursor.begin());
  index->posting_start = cursor;
  index->postings.assign(cursor[chunk_count], ChunkPosting{});
  std::fill(last_unit.begin(), last_unit.end(), 0);
  unit = 0;
  for (std::size_t k = 0; k < occurrences.size(); ++k) {
    while (k >= unit_end[unit]) ++unit;
    const auto [chunk, weight] = occurrences[k];
    if (last_unit[chunk] == unit + 1) {
      index->postings[cursor[chunk] - 1].weight += weight;
      continue;
    }
    last_unit[chunk] = unit + 1;
    index->postings[cursor[chunk]++] = ChunkPosting{unit, weight};
  }
}

// Returns the first 8 characters of `chunk` as a number ordered like the
// text (big-endian, shorter chunks padded with zero bytes, which no
// normalized text holds).
uint64_t sort_key(std::string_view chunk) {
  uint64_t key = 0;
  const std::size_t head = std::min<std::size_t>(chunk.size(), 8);
  for (std::size_t k = 0; k < 8; ++k) {
    key = key << 8 | (k < head ? static_cast<uint8_t>(chunk[k]) : 0u);
  }
  return key;
}

// Returns the ids of `chunks` in ascending text order: by their first 8
// characters as one number, the full texts compared only on a tie.
std::vector<uint32_t> sorted_chunk_ids(const std::vector<std::string_view>& chunks) {
  std::vector<std::pair<uint64_t, uint32_t>> keyed(chunks.size());
  for (uint32_t id = 0; id < chunks.size(); ++id) keyed[id] = {sort_key(chunks[id]), id};
  std::sort(
      keyed.begin(), keyed.end(),
      [&chunks](const std::pair<uint64_t, uint32_t>& a, const std::pair<uint64_t, uint32_t>& b) {
        if (a.first != b.first) return a.first < b.first;
        return chunks[a.second] < chunks[b.second];
      });
  std::vector<uint32_t> order(chunks.size());
  for (std::size_t r = 0; r < keyed.size(); ++r) order[r] = keyed[r].second;
  return order;
}

// Which bar of a chunk it is looked up by.
enum class Side : uint8_t { kNone, kAfterFirstBar, kBeforeLastBar };

struct Anchor {
  Side side = Side::kNone;
  uint32_t bar = 0;  // offset of the anchoring bar in the chunk
};

// Returns how `chunk` is looked up: by the kAnchorWindow characters after its
// first bar when it has that many, else by those before its last bar, else
// not at all (it goes through the automaton).
Anchor anchor_of(std::string_view chunk) {
  const std::size_t first = chunk.find('|');
  if (first == std::string_view::npos) return {};
  if (chunk.size() - first - 1 >= kAnchorWindow) {
    return Anchor{Side::kAfterFirstBar, static_cast<uint32_t>(first)};
  }
  const std::size_t last = chunk.rfind('|');
  if (last >= kAnchorWindow) return Anchor{Side::kBeforeLastBar, static_cast<uint32_t>(last)};
  return {};
}

inline uint64_t load_word(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Returns a nonzero hash of the `length` (at least 8) characters at `p`,
// distinct per side and level through the seed.
inline uint64_t window_hash(const char* p, std::size_t length, Side side, std::size_t level) {
  constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  uint64_t h = (static_cast<uint64_t>(side) * kAnchorLevels + level + 1) * 0xD6E8FEB86659FD93ull;
  for (std::size_t k = 0; k + 8 < length; k += 8) {
    h = (h ^ load_word(p + k)) * kMultiplier;
    h ^= h >> 29;
  }
  h = (h ^ load_word(p + length - 8)) * kMultiplier;
  h ^= h >> 32;
  h *= 0xD6E8FEB86659FD93ull;
  h ^= h >> 32;
  return h == 0 ? 1 : h;
}

// Sets *hash to the hash of the window of `level` beside the bar at `bar` of
// `text` on `side`; false when the text is too short there.
inline bool window_beside(std::string_view text, std::size_t bar, Side side, std::size_t level,
                          uint64_t* hash) {
  const std::size_t length = kAnchorWindow << level;
  std::size_t start = 0;
  if (side == Side::kAfterFirstBar) {
    if (text.size() - bar - 1 < length) return false;
    start = bar + 1;
  } else {
    if (bar < length) return false;
    start = bar - length;
  }
  *hash = window_hash(text.data() + start, length, side, level);
  return true;
}

// A chunk on its way into the anchor table: looked up by `hash` (its window
// at `level`), or, when `chunk` is kDeeperMark, a note that the group of
// `hash` has members looked up by longer windows.
struct PendingAnchor {
  uint64_t hash = 0;
  uint32_t chunk = 0;
  uint32_t bar = 0;
  Side side = Side::kNone;
  uint8_t level = 0;
};
constexpr uint32_t kDeeperMark = UINT32_MAX;

// Fills *slots (and appends to index->anchored) for the anchored chunks
// looked up from `side`, ids index->automaton_chunks and up. Chunks sharing a
// window form a group; a group of more than kGroupSize sends the members
// that have a longer window on to it, level by level. Groups whose hashes
// coincide are merged: every candidate is compared in full, so a merge costs
// comparisons, never a miss.
void fill_anchors(Side side, const std::vector<Anchor>& anchors, ChunkIndex* index,
                  AnchorTable* table) {
  std::vector<PendingAnchor> pending;
  pending.reserve(anchors.size());
  for (uint32_t chunk = index->automaton_chunks; chunk < index->chunks.size(); ++chunk) {
    const Anchor anchor = anchors[chunk];
    if (anchor.side != side) continue;
    PendingAnchor item{0, chunk, anchor.bar, anchor.side, 0};
    window_beside(index->chunks[chunk], anchor.bar, anchor.side, 0, &item.hash);
    pending.push_back(item);
  }
  const auto by_hash = [](const PendingAnchor& a, const PendingAnchor& b) {
    return a.hash != b.hash ? a.hash < b.hash : a.chunk < b.chunk;
  };
  std::vector<PendingAnchor> settled;
  settled.reserve(pending.size() + pending.size() / 4);
  std::vector<PendingAnchor> next;
  while (!pending.empty()) {
    std::sort(pending.begin(), pending.end(), by_hash);
    next.clear();
    for (std::size_t run = 0; run < pending.size();) {
      std::size_t end = run + 1;
      while (end < pending.size() && pending[end].hash == pending[run].hash) ++end;
      const bool crowded = end - run > kGroupSize;
      bool moved = false;
      for (std::size_t k = run; k < end; ++k) {
        PendingAnchor item = pending[k];
        if (crowded && item.level + 1u < kAnchorLevels &&
            window_beside(index->chunks[item.chunk], item.bar, item.side, item.level + 1u,
                          &item.hash)) {
          ++item.level;
          next.push_back(item);
          moved = true;
        } else {
          settled.push_back(item);
        }
      }
      if (moved) settled.push_back(PendingAnchor{pending[run].hash, kDeeperMark});
      run = end;
    }
    pending.swap(next);
  }
  std::sort(settled.begin(), settled.end(), by_hash);

  std::size_t groups = 0;
  for (std::size_t k = 0; k < settled.size(); ++k) {
    if (k == 0 || settled[k].hash != settled[k - 1].hash) ++groups;
  }
  std::size_t size = 16;
  while (size < groups * 2) size *= 2;
  std::vector<AnchorSlot>* const slots = &table->slots;
  slots->assign(size, AnchorSlot{});
  // Eight filter bits per slot: about one window in sixteen that belongs to
  // no group passes the filter.
  std::size_t filter_bits = 64;
  table->filter_shift = 58;
  while (filter_bits < size * 8) {
    filter_bits *= 2;
    --table->filter_shift;
  }
  table->filter.assign(filter_bits / 64, 0);
  for (std::size_t run = 0; run < settled.size();) {
    const uint64_t hash = settled[run].hash;
    AnchorSlot slot{hash, static_cast<uint32_t>(index->anchored.size()), 0};
    bool deeper = false;
    for (; run < settled.size() && settled[run].hash == hash; ++run) {
      const PendingAnchor& item = settled[run];
      if (item.chunk == kDeeperMark) {
        deeper = true;
        continue;
      }
      const std::string_view chunk = index->chunks[item.chunk];
      uint32_t last = 0;
      std::memcpy(&last, chunk.data() + chunk.size() - sizeof last, sizeof last);
      index->anchored.push_back(AnchoredChunk{chunk.data(), load_word(chunk.data()),
                                              static_cast<uint32_t>(chunk.size()), item.bar,
                                              item.chunk, last});
    }
    const auto count = static_cast<uint32_t>(index->anchored.size() - slot.first);
    slot.count_deeper = count << 1 | (deeper ? 1u : 0u);
    std::size_t at = hash & (size - 1);
    while ((*slots)[at].hash != 0) at = (at + 1) & (size - 1);
    (*slots)[at] = slot;
    const uint64_t bit = hash >> table->filter_shift;
    table->filter[bit / 64] |= uint64_t{1} << (bit % 64);
  }
}

// Records that `chunk` occurs in the current target.
inline void note_found(const ChunkIndex& index, uint32_t chunk, ChunkMatches* matches) {
  matches->seen[chunk] = matches->generation;
  const uint32_t end = index.posting_start[chunk + 1];
  for (uint32_t p = index.posting_start[chunk]; p < end; ++p) {
    const ChunkPosting& posting = index.postings[p];
    if (matches->matched[posting.unit] == 0) matches->touched.push_back(posting.unit);
    matches->matched[posting.unit] += posting.weight;
  }
}

// Returns the slot of `hash` in `table`, or nullptr when it has none.
inline const AnchorSlot* find_slot(const AnchorTable& table, uint64_t hash) {
  const uint64_t bit = hash >> table.filter_shift;
  if ((table.filter[bit / 64] >> (bit % 64) & 1) == 0) return nullptr;
  const std::vector<AnchorSlot>& slots = table.slots;
  const std::size_t mask = slots.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    if (slots[at].hash == hash) return &slots[at];
    if (slots[at].hash == 0) return nullptr;
  }
}

// Notes the chunks of `slot`'s group that occur in `target` with their
// anchoring bar at `bar`.
inline void check_group(const ChunkIndex& index, const AnchorSlot& slot, std::string_view target,
                        std::size_t bar, ChunkMatches* matches) {
  const AnchoredChunk* const first = index.anchored.data() + slot.first;
  const AnchoredChunk* const end = first + (slot.count_deeper >> 1);
  for (const AnchoredChunk* candidate = first; candidate < end; ++candidate) {
    if (candidate->bar > bar) continue;
    const std::size_t start = bar - candidate->bar;
    const std::size_t length = candidate->length;
    if (length > target.size() - start) continue;
    uint32_t last = 0;
    std::memcpy(&last, target.data() + start + length - sizeof last, sizeof last);
    if (load_word(target.data() + start) != candidate->head || last != candidate->last ||
        matches->seen[candidate->chunk] == matches->generation ||
        std::memcmp(target.data() + start, candidate->text, length) != 0) {
      continue;
    }
    note_found(index, candidate->chunk, matches);
  }
}

// Finds the anchored chunks looked up from the target's bars on `side`. All
// first lookups are made before any group is checked: they don't depend on
// each other, so their cache misses overlap.
void match_side(const ChunkIndex& index, Side side, const AnchorTable& table,
                std::string_view target, ChunkMatches* matches) {
  std::vector<std::pair<uint32_t, const AnchorSlot*>>& hits = matches->hits;
  hits.clear();
  for (std::size_t k = 0; k < matches->bar_count; ++k) {
    const uint32_t bar = matches->bars[k];
    uint64_t hash = 0;
    if (!window_beside(target, bar, side, 0, &hash)) continue;
    if (const AnchorSlot* slot = find_slot(table, hash)) hits.emplace_back(bar, slot);
  }
  for (const auto& [bar, first_slot] : hits) {
    const AnchorSlot* slot = first_slot;
    check_group(index, *slot, target, bar, matches);
    for (std::size_t level = 1; level < kAnchorLevels && (slot->count_deeper & 1) != 0; ++level) {
      uint64_t hash = 0;
      if (!window_beside(target, bar, side, level, &hash)) break;
      slot = find_slot(table, hash);
      if (slot == nullptr) break;
      check_group(index, *slot, target, bar, matches);
    }
  }
}

// Returns the automaton's state after `state` reads `c`, with
// kReportsChunks set when some prefix ends there.
inline uint32_t automaton_step(const ChunkIndex& index, uint32_t state, char c) {
  const auto code = static_cast<uint8_t>(c);
  uint32_t next = 0;
  while (state >= index.dense_nodes && (next = child_of(index, state, code)) == 0) {
    state = index.nodes[state].fail;
  }
  if (state < index.dense_nodes) return index.dense[state * kSymbolCodes + kSymbolCode[code]];
  return (index.symbol[next] & kReportsFlag) != 0 ? next | kReportsChunks : next;
}

// Confirms, for every prefix that ends at target[i] in state `state`, the
// rest of each chunk of its group not found yet. When that leaves no chunk
// of the state's prefixes unfound, the state is marked done for this target:
// its next hits (short chunks hit often) are passed over by the walk.
void confirm_prefixes(const ChunkIndex& index, std::string_view target, std::size_t i,
                      uint32_t state, ChunkMatches* matches) {
  const ChunkNode* const nodes = index.nodes.data();
  const std::size_t rest_at = i + 1;  // the target position after the prefix
  bool all_found = true;
  for (uint32_t o = nodes[state].group != 0 ? state : nodes[state].output; o != 0;
       o = nodes[o].output) {
    const ChunkGroup& group = index.groups[nodes[o].group - 1];
    for (uint32_t chunk = group.first; chunk < group.end; ++chunk) {
      if (matches->seen[chunk] == matches->generation) continue;
      const uint32_t tail = index.chunk_tail[chunk];
      const std::size_t rest = (tail >> 8) - group.prefix_length;
      // The last character tells most candidates apart before the full compare.
      if (rest > target.size() - rest_at ||
          (rest > 0 &&
           (static_cast<uint8_t>(target[rest_at + rest - 1]) != (tail & 0xFF) ||
            std::memcmp(target.data() + rest_at, index.chunks[chunk].data() + group.prefix_length,
                        rest - 1) != 0))) {
        all_found = false;
        continue;
      }
      note_found(index, chunk, matches);
    }
  }
  if (all_found) matches->state_done[state] = matches->generation;
}

// Sets matches->bars (the first bar_count entries) to the bar positions of
// `target`. Branch-free: every position is written, the count moves on at
// bars; the array only grows, so targets after the longest cost no clearing.
void collect_bars(std::string_view target, ChunkMatches* matches) {
  const std::size_t n = target.size();
  std::vector<uint32_t>& bars = matches->bars;
  if (bars.size() < n + 1) bars.resize(n + 1);
  std::size_t count = 0;
  for (std::size_t at = 0; at < n; ++at) {
    bars[count] = static_cast<uint32_t>(at);
    count += target[at] == '|' ? 1 : 0;
  }
  matches->bar_count = count;
}

// Finds the automaton's chunks in `target`. Two walks, over the first and
// the second half of the target, are interleaved so that their chains of
// lookups overlap in time. The second starts kLongestPrefix - 1 characters
// early without reporting: no prefix is longer, so by the half its state is
// the one a single walk would have there. Where a prefix ends, the walks
// note the position and state without branching (a note is kept or
// overwritten by the next); the notes are confirmed after the walk, where
// states already done are passed over.
void walk_automaton(const ChunkIndex& index, std::string_view target, ChunkMatches* matches) {
  const std::size_t n = target.size();
  const std::size_t half = n / 2;
  const std::size_t warm_from = half >= kLongestPrefix ? half - (kLongestPrefix - 1) : 0;
  uint32_t second = 0;
  for (std::size_t j = warm_from; j < half; ++j) {
    second = automaton_step(index, second, target[j]) & ~kReportsChunks;
  }
  std::vector<std::pair<uint32_t, uint32_t>>& reports = matches->reports;
  if (reports.size() < n + 1) reports.resize(n + 1);
  std::size_t count = 0;
  uint32_t first = 0;
  for (std::size_t k = 0; k < n - half; ++k) {
    if (k < half) {
      first = automaton_step(index, first, target[k]);
      const bool reported = (first & kReportsChunks) != 0;
      first &= ~kReportsChunks;
      reports[count] = {static_cast<uint32_t>(k), first};
      count += reported ? 1 : 0;
    }
    second = automaton_step(index, second, target[half + k]);
    const bool reported = (second & kReportsChunks) != 0;
    second &= ~kReportsChunks;
    reports[count] = {static_cast<uint32_t>(half + k), second};
    count += reported ? 1 : 0;
  }
  for (std::size_t r = 0; r < count; ++r) {
    const auto [at, state] = reports[r];
    if (matches->state_done[state] != matches->generation) {
      confirm_prefixes(index, target, at, state, matches);
    }
  }
}

}  // namespace

int cut_chunks(std::string_view rule, int minbytes, int minwords, std::vector<ChunkSpan>* spans) {
  spans->clear();
  const std::size_t n = rule.size();
  int bars = 0;
  int chars = 0;
  int words = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (rule[i] != '|') {
      ++chars;
      continue;
    }
    ++words;
    ++bars;
    if ((chars >= minbytes && words >= minwords) || i == n - 1) {
      spans->push_back(
          ChunkSpan{static_cast<uint32_t>(start), static_cast<uint32_t>(i - start), words});
      chars = 0;
      words = 0;
      start = i + 1;
    }
  }
  return bars;
}

ChunkIndex build_chunk_index(const std::vector<std::string_view>& units, int minbytes, int minwords,
                             std::size_t dense_limit) {
  ChunkIndex index;
  index.minbytes = minbytes;
  index.minwords = minwords;
  index.unit_total.resize(units.size());
  ChunkTable table;
  std::vector<std::pair<uint32_t, int32_t>> occurrences;  // (chunk id, weight)
  std::vector<uint32_t> unit_end(units.size());
  std::vector<ChunkSpan> spans;
  for (uint32_t u = 0; u < units.size(); ++u) {
    index.unit_total[u] = cut_chunks(units[u], minbytes, minwords, &spans);
    for (const ChunkSpan& span : spans) {
      if (span.length == 0) continue;  // an empty chunk is never found
      occurrences.emplace_back(chunk_id(&table, units[u].substr(span.start, span.length)),
                               span.weight);
    }
    unit_end[u] = static_cast<uint32_t>(occurrences.size());
  }
  table.slots = {};

  const std::vector<std::string_view>& found = table.chunks;
  // Chunk ids follow the sorted order, the automaton's chunks first.
  std::vector<uint32_t> order = sorted_chunk_ids(found);
  std::vector<Anchor> found_anchors(found.size());
  for (uint32_t id = 0; id < found.size(); ++id) found_anchors[id] = anchor_of(found[id]);
  const auto unanchored = std::stable_partition(
      order.begin(), order.end(),
      [&found_anchors](uint32_t id) { return found_anchors[id].side == Side::kNone; });
  index.automaton_chunks = static_cast<uint32_t>(unanchored - order.begin());
  std::vector<Anchor> anchors(found.size());
  std::vector<uint32_t> rank(found.size());
  index.chunks.reserve(found.size());
  index.chunk_tail.reserve(found.size());
  for (uint32_t r = 0; r < order.size(); ++r) {
    rank[order[r]] = r;
    anchors[r] = found_anchors[order[r]];
    const std::string_view chunk = found[order[r]];
    index.chunks.push_back(chunk);
    index.chunk_tail.push_back(static_cast<uint32_t>(chunk.size()) << 8 |
                               static_cast<uint8_t>(chunk.back()));
  }
  order = {};
  found_anchors = {};
  table.chunks = {};
  for (auto& occurrence : occurrences) occurrence.first = rank[occurrence.first];
  rank = {};

  std::vector<std::string_view> prefixes;
  add_groups(0, index.automaton_chunks, kChunkPrefix, &index, &prefixes);

  lay_out_trie(prefixes, &index);
  link_automaton(&index);
  for (std::size_t v = 0; v + 1 < index.nodes.size(); ++v) {
    if (index.nodes[v].group != 0 || index.nodes[v].output != 0) index.symbol[v] |= kReportsFlag;
  }
  fill_dense(dense_limit, &index);
  fill_postings(occurrences, unit_end, &index);
  index.anchored.reserve(index.chunks.size() - index.automaton_chunks);
  fill_anchors(Side::kAfterFirstBar, anchors, &index, &index.after);
  fill_anchors(Side::kBeforeLastBar, anchors, &index, &index.before);
  return index;
}

void match_chunks(const ChunkIndex& index, std::string_view target, ChunkMatches* matches) {
  const std::size_t chunk_count = index.chunks.size();
  if (matches->matched.size() != index.unit_total.size() || matches->seen.size() != chunk_count ||
      matches->state_done.size() != index.nodes.size()) {
    matches->matched.assign(index.unit_total.size(), 0);
    matches->seen.assign(chunk_count, 0);
    matches->state_done.assign(index.nodes.size(), 0);
    matches->touched.clear();
    matches->generation = 0;
  }
  for (const uint32_t u : matches->touched) matches->matched[u] = 0;
  matches->touched.clear();
  if (++matches->generation == 0) {
    std::fill(matches->seen.begin(), matches->seen.end(), 0);
    std::fill(matches->state_done.begin(), matches->state_done.end(), 0);
    matches->generation = 1;
  }
  if (!index.anchored.empty()) {
    collect_bars(target, matches);
    match_side(index, Side::kAfterFirstBar, index.after, target, matches);
    match_side(index, Side::kBeforeLastBar, index.before, target, matches);
  }
  if (!index.groups.empty()) walk_automaton(index, target, matches);
}

float indexed_score(const ChunkIndex& index, const ChunkMatches& matches, uint32_t unit,
                    int target_words, bool proportional, float threshold) {
  // Weights are small integers: their float sum is exact in any order, so the
  // integer sum converted once is the very float the reference accumulates.
  return finish_chunk_score(static_cast<float>(matches.matched[unit]), index.unit_total[unit],
                            target_words, proportional, threshold);
}

}  // namespace tarsil
