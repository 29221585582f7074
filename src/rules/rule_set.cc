// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "rules/rule_set.h"

#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "fs/file_type.h"
#include "fs/handles.h"
#include "fs/listing.h"
#include "fs/read.h"
#include "match/chunk_score.h"
#include "match/normalize.h"

namespace tarsil {
namespace {

// The non-hidden entries of `dir`, in listing order; nothing when it cannot
// be opened.
std::optional<std::vector<DirEntry>> list_rules(const std::string& dir) {
  std::optional<std::vector<DirEntry>> entries = list_directory(dir);
  if (entries) std::erase_if(*entries, [](const DirEntry& e) { return is_hidden_name(e.name); });
  return entries;
}

// Reads the regular files of one license directory; nothing when the
// directory cannot be opened.
std::optional<LicenseRules> load_license(const std::string& root, const std::string& name) {
  const std::string dir = root + "/" + name;
  const std::optional<std::vector<DirEntry>> entries = list_rules(dir);
  if (!entries) return std::nullopt;
  LicenseRules license{.name = name, .proportional = is_proportional_license(name)};
  for (const DirEntry& entry : *entries) {
    ReferenceText reference{.name = entry.name, .path = dir + "/" + entry.name};
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

// Reads the string-rule files of stringdir/<name>.
StringRuleDir load_string_dir(const std::string& root, const std::string& name,
                              unsigned char type) {
  StringRuleDir strings{.name = name};
  const std::string dir = root + "/" + name;
  if (!has_type(dir, type, S_IFDIR)) return strings;
  const std::optional<std::vector<DirEntry>> entries = list_rules(dir);
  strings.usable = entries.has_value();
  if (!entries) return strings;
  for (const DirEntry& entry : *entries) {
    StringRuleFile file{.path = dir + "/" + entry.name};
    if (!has_type(file.path, entry.type, S_IFREG)) continue;
    const FilePtr stream(std::fopen(file.path.c_str(), "r"));
    file.opened = stream != nullptr;
    if (!file.opened && !is_regular_file(file.path)) continue;  // as for reference texts
    if (stream) {
      std::string line;
      while (read_line_head(stream.get(), &line)) file.lines.push_back(normalize_text(line));
    }
    strings.files.push_back(std::move(file));
  }
  return strings;
}

// The string directories asked for so far, by name, and the listing of
// stringdir (name -> listed type) when it could be read.
struct StringDirNames {
  std::unordered_map<std::string, int32_t> loaded;
  bool listed = false;
  std::unordered_map<std::string, unsigned char> listing;
};

// Returns the index of stringdir/<name> in rules->string_dirs, loading it
// the first time the name is asked for. A name missing from a readable
// listing of stringdir is no directory there, and costs no system call.
int32_t string_dir_index(RuleSet* rules, StringDirNames* names, const std::string& name) {
  const auto [it, fresh] =
      names->loaded.try_emplace(name, static_cast<int32_t>(rules->string_dirs.size()));
  if (fresh) {
    unsigned char type = DT_UNKNOWN;
    bool absent = false;
    if (names->listed) {
      const auto listed = names->listing.find(name);
      absent = listed == names->listing.end();
      if (!absent) type = listed->second;
    }
    rules->string_dirs.push_back(absent ? StringRuleDir{.name = name}
                                        : load_string_dir(rules->stringdir, name, type));
  }
  return it->second;
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

NameSet make_name_set(std::set<std::string> spellings) {
  NameSet names{.spellings = std::move(spellings)};
  for (const std::string& name : names.spellings) names.by_lower.emplace(lower(name), name);
  return names;
}

std::string find_name(const NameSet& names, std::string_view name) {
  if (names.spellings.contains(std::string(name))) return std::string(name);
  const auto it = names.by_lower.find(lower(name));
  return it == names.by_lower.end() ? "" : it->second;
}

// The directories of licensedir (by stat, as a tag's lookup would see them)
// and the exception list beside it; what cannot be read lists nothing.
void load_names(const std::optional<std::vector<DirEntry>>& listing, RuleSet* rules) {
  std::set<std::string> visible;
  if (listing) {
    for (const DirEntry& entry : *listing) {
      if (!is_directory(rules->licensedir + "/" + entry.name)) continue;
      rules->license_directories.insert(entry.name);
      if (!is_hidden_name(entry.name)) visible.insert(entry.name);
    }
  }
  rules->license_names = make_name_set(std::move(visible));
  const std::size_t slash = rules->licensedir.rfind('/');
  const std::string root = slash == std::string::npos ? "." : rules->licensedir.substr(0, slash);
  std::set<std::string> exceptions;
  if (const FilePtr file{std::fopen((root + "/exceptions.txt").c_str(), "r")}) {
    std::string line;
    while (read_line_head(file.get(), &line)) {
      std::size_t begin = 0, end = line.size();
      while (begin < end && std::isspace(static_cast<unsigned char>(line[begin]))) ++begin;
      while (end > begin && std::isspace(static_cast<unsigned char>(line[end - 1]))) --end;
      if (end > begin && line[begin] != '#') exceptions.insert(line.substr(begin, end - begin));
    }
  }
  rules->exception_names = make_name_set(std::move(exceptions));
}

// The rule set and its index are built from many large temporary arrays:
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

std::unique_ptr<const RuleSet> load_rule_set(const std::string& licensedir,
                                             const std::string& stringdir, Engine engine,
                                             int minbytes, int minwords) {
  static const bool heap_tuned = tune_heap();
  auto rules = std::make_unique<RuleSet>();
  rules->licensedir = licensedir;
  rules->stringdir = stringdir;
  rules->engine = engine;

  StringDirNames names;
  const std::optional<std::vector<DirEntry>> string_entries = list_rules(stringdir);
  rules->strings_open = names.listed = string_entries.has_value();
  if (string_entries) {
    for (const DirEntry& entry : *string_entries) names.listing.emplace(entry.name, entry.type);
  }

  const std::optional<std::vector<DirEntry>> license_entries = list_directory(licensedir);
  rules->licenses_open = license_entries.has_value();
  load_names(license_entries, rules.get());
  if (license_entries) {
    for (const DirEntry& entry : *license_entries) {
      if (is_hidden_name(entry.name)) continue;
      if (!has_type(licensedir + "/" + entry.name, entry.type, S_IFDIR)) continue;
      std::optional<LicenseRules> license = load_license(licensedir, entry.name);
      if (!license) continue;
      license->string_dir = string_dir_index(rules.get(), &names, entry.name);
      rules->licenses.push_back(std::move(*license));
    }
  }
  if (string_entries) {
    for (const DirEntry& entry : *string_entries) {
      rules->string_listing.push_back(string_dir_index(rules.get(), &names, entry.name));
    }
  }

  for (uint32_t l = 0; l < rules->licenses.size(); ++l) {
    LicenseRules& license = rules->licenses[l];
    for (uint32_t r = 0; r < license.references.size(); ++r) {
      ReferenceText& reference = license.references[r];
      reference.unit = static_cast<uint32_t>(rules->units.size());
      rules->units.push_back(reference.text);
      rules->reference_of_unit.emplace_back(l, r);
    }
  }
  rules->first_unreadable_unit = rules->reference_units();
  for (uint32_t u = 0; u < rules->reference_units(); ++u) {
    if (!rules->reference(u).readable) {
      rules->first_unreadable_unit = u;
      break;
    }
  }
  for (StringRuleDir& strings : rules->string_dirs) {
    for (StringRuleFile& file : strings.files) {
      file.first_unit = static_cast<uint32_t>(rules->units.size());
      for (const std::string& line : file.lines) rules->units.push_back(line);
    }
  }
  if (engine == Engine::kFast) rules->index = build_chunk_index(rules->units, minbytes, minwords);
  if (heap_tuned) settle_heap();
  return rules;
}

bool has_license_directory(const RuleSet& rules, const std::string& name) {
  // A licensedir that cannot be listed may still be searched.
  if (!rules.licenses_open) return is_directory(rules.licensedir + "/" + name);
  return rules.license_directories.contains(name);
}

std::string license_spelling(const RuleSet& rules, std::string_view name) {
  return find_name(rules.license_names, name);
}

std::string exception_spelling(const RuleSet& rules, std::string_view name) {
  return find_name(rules.exception_names, name);
}

}  // namespace tarsil
