// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// License URLs: where a text writes one, and the form they are compared in.
//
// Contract: pure functions, no I/O, no globals.
// - `normalize_license_url` lowers the case, drops the scheme ("http://",
//   "https://", ...), a fragment ("#..."), a leading "www.", then, as long as
//   one is there, a trailing "/", ".html", ".htm", ".txt", ".php",
//   "-standalone", or a last component "legalcode" or "deed" (with a
//   language: "deed.en_US"). So "https://www.gnu.org/licenses/gpl-3.0.html"
//   and "http://gnu.org/licenses/gpl-3.0/" both give
//   "gnu.org/licenses/gpl-3.0". Normalizing twice changes nothing more.
// - `find_license_urls` returns every URL of the text in order: a scheme of
//   letters before "://", or "www." starting a word, and the URL characters
//   after it, without trailing punctuation (".,;:!?)'\"" and the like).
#ifndef TARSIL_MATCH_LICENSE_URL_H_
#define TARSIL_MATCH_LICENSE_URL_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarsil {

struct FoundUrl {
  std::string_view url;  // a slice of the text
  std::size_t offset = 0;
};

std::string normalize_license_url(std::string_view url);

std::vector<FoundUrl> find_license_urls(std::string_view text);

}  // namespace tarsil

#endif  // TARSIL_MATCH_LICENSE_URL_H_
