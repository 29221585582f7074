#include "match/rule_cache.h"

#include <malloc.h>
#include <sys/types.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unordered_map>

#include "cli/settings.h"
#include "match/handles.h"
#include "match/text.h"

namespace tarsil {
namespace {

std::unique_ptr<RuleCache> the_cache;

// Returns the non-hidden entry names of `dir` in listing order; false in
// *opened when it cannot be opened.
std::vector<std::string> list_directory(const std::string& dir, bool* opened) {
  std::vector<std::string> names;
  DirPtr listing(opendir(dir.c_str()));
  *opened = listing != nullptr;
  if (!listing) return names;
  while (const dirent* entry = readdir(listing.get())) {
    if (!is_hidden_name(entry->d_name)) names.emplace_back(entry->d_name);
  }
  return names;
}

// Reads the regular files of one license directory; *opened tells whether
// the directory could be opened.
CachedLicense load_license(const std::string& root, const std::string& name, bool* opened) {
  CachedLicense license;
  license.name = name;
  const std::string dir = root + "/" + name;
  for (const std::string& entry : list_directory(dir, opened)) {
    CachedReference reference;
    reference.name = entry;
    reference.path = dir + "/" + entry;
    if (!is_regular_file(reference.path)) continue;
    std::string raw;
    reference.readable = try_read_text_file(reference.path, &raw);
    reference.text = normalize_text(raw);
    reference.text.shrink_to_fit();  // kept for the whole run
    license.references.push_back(std::move(reference));
  }
  return license;
}

// Reads the string-rule files of stringdir/<name>, the way match_string_dir
// walks them.
CachedStringDir load_string_dir(const std::string& root, const std::string& name) {
  CachedStringDir strings;
  strings.name = name;
  const std::string dir = root + "/" + name;
  if (!is_directory(dir)) return strings;
  bool opened = false;
  const std::vector<std::string> entries = list_directory(dir, &opened);
  strings.usable = opened;
  for (const std::string& entry : entries) {
    CachedStringFile file;
    file.path = dir + "/" + entry;
    if (!is_regular_file(file.path)) continue;
    FilePtr stream(std::fopen(file.path.c_str(), "r"));
    file.opened = stream != nullptr;
    if (stream) {
      LineBuffer line;
      ssize_t length;
      while ((length = getline(&line.data, &line.capacity, stream.get())) > 0) {
        file.lines.push_back(normalize_text(std::string_view(line.data, length)));
      }
    }
    strings.files.push_back(std::move(file));
  }
  return strings;
}

using StringDirNames = std::unordered_map<std::string, int32_t>;

// Returns the index of stringdir/<name> in cache->string_dirs, loading it
// the first time the name is asked for.
int32_t string_dir_index(RuleCache* cache, StringDirNames* names, const std::string& name) {
  const auto [it, fresh] =
      names->try_emplace(name, static_cast<int32_t>(cache->string_dirs.size()));
  if (fresh) cache->string_dirs.push_back(load_string_dir(cache->stringdir, name));
  return it->second;
}

// Reads the whole rule set of the current settings and indexes it.
std::unique_ptr<RuleCache> load_rule_cache() {
  auto cache = std::make_unique<RuleCache>();
  cache->licensedir = run_settings.licensedir;
  cache->stringdir = run_settings.stringdir;
  cache->minbytes = run_settings.minbytes;
  cache->minwords = run_settings.minwords;

  StringDirNames names;

  for (const std::string& name : list_directory(cache->licensedir, &cache->licenses_open)) {
    if (!is_directory(cache->licensedir + "/" + name)) continue;
    bool opened = false;
    CachedLicense license = load_license(cache->licensedir, name, &opened);
    if (!opened) continue;
    cache->licenses.push_back(std::move(license));
    cache->licenses.back().string_dir = string_dir_index(cache.get(), &names, name);
  }
  for (const std::string& name : list_directory(cache->stringdir, &cache->strings_open)) {
    cache->string_listing.push_back(string_dir_index(cache.get(), &names, name));
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

}  // namespace

RuleCache& rule_cache() {
  // The cache and its index are built from many large temporary arrays:
  // serving them all from the heap, which keeps and reuses freed memory,
  // spares the first-touch page faults that dominate start-up otherwise.
  static const bool heap_tuned =
      mallopt(M_MMAP_THRESHOLD, 256 << 20) == 1 && mallopt(M_TRIM_THRESHOLD, 256 << 20) == 1;
  (void)heap_tuned;
  if (!the_cache || the_cache->licensedir != run_settings.licensedir ||
      the_cache->stringdir != run_settings.stringdir ||
      the_cache->minbytes != run_settings.minbytes ||
      the_cache->minwords != run_settings.minwords) {
    the_cache.reset();  // release the old index before building the new one
    the_cache = load_rule_cache();
  }
  return *the_cache;
}

void score_target(RuleCache& cache, std::string_view target) {
  match_chunks(cache.index, target, &cache.matches);
  cache.target_words = count_words(target);
}

float cached_score(const RuleCache& cache, uint32_t unit, bool proportional) {
  return indexed_score(cache.index, cache.matches, unit, proportional ? cache.target_words : 0,
                       proportional);
}

bool match_cached_string_dir(const RuleCache& cache, int32_t dir) {
  if (dir < 0) return false;
  const CachedStringDir& strings = cache.string_dirs[dir];
  if (!strings.usable) return false;
  bool matched = false;
  for (const CachedStringFile& file : strings.files) {
    if (!file.opened)
      fatal_stderr("ERROR: Cannot open " + file.path + " during string detection\n");
    uint32_t unit = file.first_unit;
    for (const std::string& line : file.lines) {
      debug_log(SETTING_VERBOSE, "Comparing against %s: %s\n", file.path.c_str(), line.c_str());
      if (cached_score(cache, unit++, false) == 100.0f) matched = true;
      if (matched) {
        debug_log(SETTING_VERBOSE, "Matched licensedir\n");
        break;
      }
    }
  }
  return matched;
}

}  // namespace tarsil
