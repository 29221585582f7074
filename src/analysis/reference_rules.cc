// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/reference_rules.h"

#include <mutex>

#include "match/handles.h"
#include "match/text.h"

namespace tarsil {
namespace {

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::shared_ptr<ReferenceRules> load(const std::string& licensedir) {
  auto rules = std::make_shared<ReferenceRules>();
  rules->licensedir = licensedir;
  const std::size_t slash = licensedir.rfind('/');
  const std::string path =
      (slash == std::string::npos ? "." : licensedir.substr(0, slash)) + "/references.txt";
  FilePtr file{std::fopen(path.c_str(), "rb")};
  if (!file) return rules;
  std::string content;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, n);
  ReferenceDataResult parsed = parse_reference_data(content);
  if (!parsed.data) {
    rules->error = RunError{"ERROR: " + path + ": " + parsed.error + "\n", Stream::kStderr};
    return rules;
  }
  rules->data = std::move(parsed.data);
  if (DirPtr dir{opendir(licensedir.c_str())}) {
    while (const dirent* entry = readdir(dir.get())) {
      if (is_hidden_name(entry->d_name)) continue;
      if (is_directory(licensedir + "/" + entry->d_name)) rules->licenses.insert(entry->d_name);
    }
  }
  for (const std::string& name : rules->licenses) rules->by_lower.emplace(lowered(name), name);
  const ReferenceRules* self = rules.get();
  rules->lookup = [self](std::string_view name) -> std::string {
    if (self->licenses.contains(std::string(name))) return std::string(name);
    const auto it = self->by_lower.find(lowered(name));
    return it == self->by_lower.end() ? "" : it->second;
  };
  return rules;
}

}  // namespace

std::shared_ptr<const ReferenceRules> reference_rules(const std::string& licensedir) {
  static std::mutex mutex;
  static std::shared_ptr<const ReferenceRules> loaded;
  const std::lock_guard<std::mutex> lock(mutex);
  if (!loaded || loaded->licensedir != licensedir) loaded = load(licensedir);
  return loaded;
}

}  // namespace tarsil
