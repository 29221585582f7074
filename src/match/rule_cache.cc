// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "match/rule_cache.h"

#include <dirent.h>
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "match/chunk_score.h"
#include "match/handles.h"
#include "match/string_rules.h"
#include "match/text.h"

namespace tarsil {
namespace {

// A directory entry: its name and the type readdir tells (DT_UNKNOWN when
// the file system does not say).
struct Entry {
  std::string name;
  unsigned char type = DT_UNKNOWN;
};

// Returns the non-hidden entries of `dir` in listing order; false in
// *opened when it cannot be opened.
std::vector<Entry> list_directory(const std::string& dir, bool* opened) {
  std::vector<Entry> entries;
  DirPtr listing(opendir(dir.c_str()));
  *opened = listing != nullptr;
  if (!listing) return entries;
  while (const dirent* entry = readdir(listing.get())) {
    if (!is_hidden_name(entry->d_name)) entries.push_back(Entry{entry->d_name, entry->d_type});
  }
  return entries;
}

// True when `path`, listed with readdir type `type`, is (after following
// symbolic links) a file of type `wanted` (S_IFDIR or S_IFREG), as stat
// would say: the listing's type is taken when it is a plain one, stat is
// asked for links and unknown types only.
bool has_type(const std::string& path, unsigned char type, mode_t wanted) {
  if (type == DT_LNK || type == DT_UNKNOWN) {
    return wanted == S_IFDIR ? is_directory(path) : is_regular_file(path);
  }
  return static_cast<mode_t>(DTTOIF(type)) == wanted;
}

// Reads the regular files of one license directory; *opened tells whether
// the directory could be opened.
CachedLicense load_license(const std::string& root, const std::string& name, bool* opened) {
  CachedLicense license;
  license.name = name;
  license.proportional = is_proportional_license(name);
  const std::string dir = root + "/" + name;
  for (const Entry& entry : list_directory(dir, opened)) {
    CachedReference reference;
    reference.name = entry.name;
    reference.path = dir + "/" + entry.name;
    if (!has_type(reference.path, entry.type, S_IFREG)) continue;
    std::string raw;
    reference.readable = try_read_text_file(reference.path, &raw);
    // A listed entry that stat cannot reach (a directory that may be read
    // but not searched) is passed over, as the license pass would.
    if (!reference.readable && !is_regular_file(reference.path)) continue;
    reference.text = normalize_text(raw);
    reference.text.shrink_to_fit();  // kept for the whole run
    license.references.push_back(std::move(reference));
  }
  return license;
}

// Reads the string-rule files of stringdir/<name>, the way match_string_dir
// walks them.
CachedStringDir load_string_dir(const std::string& root, const std::string& name,
                                unsigned char type) {
  CachedStringDir strings;
  strings.name = name;
  const std::string dir = root + "/" + name;
  if (!has_type(dir, type, S_IFDIR)) return strings;
  bool opened = false;
  const std::vector<Entry> entries = list_directory(dir, &opened);
  strings.usable = opened;
  for (const Entry& entry : entries) {
    CachedStringFile file;
    file.path = dir + "/" + entry.name;
    if (!has_type(file.path, entry.type, S_IFREG)) continue;
    FilePtr stream(std::fopen(file.path.c_str(), "r"));
    file.opened = stream != nullptr;
    if (!file.opened && !is_regular_file(file.path)) continue;  // as for reference texts
    if (stream) {
      std::string line;
      while (read_rule_line(stream.get(), &line)) file.lines.push_back(normalize_text(line));
    }
    strings.files.push_back(std::move(file));
  }
  return strings;
}

// The string directories asked for so far, by name, and the listing of
// stringdir (name -> readdir type) when it could be read.
struct StringDirNames {
  std::unordered_map<std::string, int32_t> loaded;
  bool listed = false;
  std::unordered_map<std::string, unsigned char> listing;
};

// Returns the index of stringdir/<name> in cache->string_dirs, loading it
// the first time the name is asked for. A name missing from a readable
// listing of stringdir is no directory there, and costs no system call.
int32_t string_dir_index(RuleCache* cache, StringDirNames* names, const std::string& name) {
  const auto [it, fresh] =
      names->loaded.try_emplace(name, static_cast<int32_t>(cache->string_dirs.size()));
  if (fresh) {
    unsigned char type = DT_UNKNOWN;
    bool absent = false;
    if (names->listed) {
      const auto listed = names->listing.find(name);
      absent = listed == names->listing.end();
      if (!absent) type = listed->second;
    }
    CachedStringDir absent_dir;
    absent_dir.name = name;
    cache->string_dirs.push_back(absent ? std::move(absent_dir)
                                        : load_string_dir(cache->stringdir, name, type));
  }
  return it->second;
}

// The cache and its index are built from many large temporary arrays:
// serving them all from the heap, which keeps and reuses freed memory,
// spares most first-touch page faults, and the rest are fewer when the heap
// grows in one step over memory the kernel may back with 2 MB pages (where
// transparent huge pages are on offer; elsewhere the advice is ignored).
// Returns whether the heap settings were taken.
bool tune_heap() {
  constexpr std::size_t kHugePage = 2 << 20;
  constexpr std::size_t kGrowth = 32 << 20;
  const bool tuned = mallopt(M_MMAP_THRESHOLD, 256 << 20) == 1 &&
                     mallopt(M_TRIM_THRESHOLD, 256 << 20) == 1 && mallopt(M_TOP_PAD, kGrowth) == 1;
  if (!tuned) return false;
  const auto old_end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  // Grows the heap by about kGrowth, untouched (volatile: the pair must
  // not be optimized away).
  void* volatile block = std::malloc(1 << 20);
  std::free(block);
  const auto new_end = reinterpret_cast<std::uintptr_t>(sbrk(0));
  const std::uintptr_t from = (old_end + kHugePage - 1) & ~(kHugePage - 1);
  if (old_end != static_cast<std::uintptr_t>(-1) && new_end > from) {
    madvise(reinterpret_cast<void*>(from), new_end - from, MADV_HUGEPAGE);
  }
  return true;
}

// After loading: large blocks (the logs of -dd, megabytes per file) come
// from and go back to the system again, so that threads holding them one
// after another do not each keep a heap of their size. Never fails.
void settle_heap() {
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  mallopt(M_TRIM_THRESHOLD, 2 << 20);
  mallopt(M_TOP_PAD, 128 << 10);
}

}  // namespace

std::unique_ptr<const RuleCache> load_rule_cache(const RunSettings& settings) {
  auto cache = std::make_unique<RuleCache>();
  cache->licensedir = settings.licensedir;
  cache->stringdir = settings.stringdir;
  cache->minbytes = settings.minbytes;
  cache->minwords = settings.minwords;
  cache->threshold = settings.threshold;

  StringDirNames names;
  const std::vector<Entry> string_entries = list_directory(cache->stringdir, &cache->strings_open);
  names.listed = cache->strings_open;
  for (const Entry& entry : string_entries) names.listing.emplace(entry.name, entry.type);

  for (const Entry& entry : list_directory(cache->licensedir, &cache->licenses_open)) {
    if (!has_type(cache->licensedir + "/" + entry.name, entry.type, S_IFDIR)) continue;
    bool opened = false;
    CachedLicense license = load_license(cache->licensedir, entry.name, &opened);
    if (!opened) continue;
    cache->licenses.push_back(std::move(license));
    cache->licenses.back().string_dir = string_dir_index(cache.get(), &names, entry.name);
  }
  for (const Entry& entry : string_entries) {
    cache->string_listing.push_back(string_dir_index(cache.get(), &names, entry.name));
  }

  std::vector<std::string_view> units;
  for (uint32_t l = 0; l < cache->licenses.size(); ++l) {
    CachedLicense& license = cache->licenses[l];
    for (uint32_t r = 0; r < license.references.size(); ++r) {
      CachedReference& reference = license.references[r];
      reference.unit = static_cast<uint32_t>(units.size());
      units.push_back(reference.text);
      cache->reference_of_unit.emplace_back(l, r);
    }
  }
  cache->first_unreadable_unit = static_cast<uint32_t>(units.size());
  for (uint32_t u = 0; u < units.size(); ++u) {
    const auto [l, r] = cache->reference_of_unit[u];
    if (!cache->licenses[l].references[r].readable) {
      cache->first_unreadable_unit = u;
      break;
    }
  }
  for (CachedStringDir& strings : cache->string_dirs) {
    for (CachedStringFile& file : strings.files) {
      file.first_unit = static_cast<uint32_t>(units.size());
      for (const std::string& line : file.lines) units.push_back(line);
    }
  }
  cache->index = build_chunk_index(units, cache->minbytes, cache->minwords);
  return cache;
}

const RuleCache& rule_cache(const RuleSet& rules) {
  std::call_once(rules.loaded, [&rules] {
    static const bool heap_tuned = tune_heap();
    rules.cache = load_rule_cache(rules.settings);
    if (heap_tuned) settle_heap();
  });
  return *rules.cache;
}

void score_target(const RuleCache& cache, std::string_view target, TargetScores* scores) {
  match_chunks(cache.index, target, &scores->matches);
  scores->target_words = count_words(target);
}

float cached_score(const RuleCache& cache, const TargetScores& scores, uint32_t unit,
                   bool proportional) {
  return indexed_score(cache.index, scores.matches, unit, proportional ? scores.target_words : 0,
                       proportional, cache.threshold);
}

bool match_cached_string_dir(const RuleCache& cache, const TargetScores& scores, int32_t dir,
                             DebugLog* log, std::optional<RunError>* error) {
  if (dir < 0) return false;
  const CachedStringDir& strings = cache.string_dirs[dir];
  if (!strings.usable) return false;
  bool matched = false;
  for (const CachedStringFile& file : strings.files) {
    if (!file.opened) {
      *error = string_file_error(file.path);
      return false;
    }
    uint32_t unit = file.first_unit;
    for (const std::string& line : file.lines) {
      debug_log(log, SETTING_VERBOSE, "Comparing against %s: %s\n", file.path.c_str(),
                line.c_str());
      if (cached_score(cache, scores, unit++, false) == 100.0f) matched = true;
      if (matched) {
        debug_log(log, SETTING_VERBOSE, "Matched licensedir\n");
        break;
      }
    }
  }
  return matched;
}

}  // namespace tarsil
