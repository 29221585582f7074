// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Fuzz target: license URLs. Every URL found is a slice of the text at its
// offset; normalizing is idempotent and never lengthens a URL.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "match/license_url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::unique_ptr<char[]> copy(new char[size]);
  std::copy(data, data + size, copy.get());
  const std::string_view text(copy.get(), size);
  for (const tarsil::FoundUrl& url : tarsil::find_license_urls(text)) {
    if (url.offset + url.url.size() > text.size() || url.url.empty()) std::abort();
    if (text.substr(url.offset, url.url.size()) != url.url) std::abort();
  }
  const std::string once = tarsil::normalize_license_url(text);
  if (once.size() > text.size() || tarsil::normalize_license_url(once) != once) std::abort();
  return 0;
}
