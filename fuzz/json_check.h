// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// A strict JSON checker for the fuzz targets: the subset tarsil writes
// (strings, and objects whose values are strings), RFC 8259 to the letter.
//
// Contract: `parse_json_string` reads one JSON string starting at text[*at]
// (the opening quote), appends its decoded value as UTF-8 to *value, moves
// *at past the closing quote and returns true; it returns false on anything
// RFC 8259 rejects (a raw control byte, an unknown escape, a bad \u escape or
// a lone surrogate, bytes that are not well-formed UTF-8, no closing quote).
// `is_json_object_of_strings` is true when the whole text is one such object,
// white space allowed between tokens.
#ifndef TARSIL_FUZZ_JSON_CHECK_H_
#define TARSIL_FUZZ_JSON_CHECK_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarsil::fuzz {

// Length of the well-formed UTF-8 sequence at text[i], 0 when there is none
// (written from the Unicode table 3-7, independently of the escaper's own).
inline std::size_t utf8_length(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) -> int {
    return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : -1;
  };
  const int b0 = byte(0);
  const auto in = [](int b, int lo, int hi) { return b >= lo && b <= hi; };
  if (in(b0, 0x00, 0x7F)) return 1;
  if (in(b0, 0xC2, 0xDF)) return in(byte(1), 0x80, 0xBF) ? 2 : 0;
  const int lo = b0 == 0xE0 ? 0xA0 : b0 == 0xF0 ? 0x90 : 0x80;
  const int hi = b0 == 0xED ? 0x9F : b0 == 0xF4 ? 0x8F : 0xBF;
  const std::size_t length = in(b0, 0xE0, 0xEF) ? 3 : in(b0, 0xF0, 0xF4) ? 4 : 0;
  if (length == 0 || !in(byte(1), lo, hi)) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (!in(byte(k), 0x80, 0xBF)) return 0;
  }
  return length;
}

inline void append_utf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | cp >> 6));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | cp >> 12));
    out->push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | cp >> 18));
    out->push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Reads four hex digits at text[at]; false when they are not.
inline bool read_hex4(std::string_view text, std::size_t at, uint32_t* cp) {
  if (at + 4 > text.size()) return false;
  *cp = 0;
  for (std::size_t k = 0; k < 4; ++k) {
    const char c = text[at + k];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return false;
    *cp = *cp << 4 | static_cast<uint32_t>(digit);
  }
  return true;
}

inline bool parse_json_string(std::string_view text, std::size_t* at, std::string* value) {
  std::size_t i = *at;
  if (i >= text.size() || text[i] != '"') return false;
  ++i;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"') {
      *at = i + 1;
      return true;
    }
    if (c < 0x20) return false;
    if (c != '\\') {
      const std::size_t length = utf8_length(text, i);
      if (length == 0) return false;
      value->append(text.substr(i, length));
      i += length;
      continue;
    }
    if (++i >= text.size()) return false;
    const char e = text[i++];
    const std::string_view simple = "\"\\/bfnrt", decoded = "\"\\/\b\f\n\r\t";
    if (const std::size_t k = simple.find(e); k != std::string_view::npos) {
      value->push_back(decoded[k]);
      continue;
    }
    uint32_t cp;
    if (e != 'u' || !read_hex4(text, i, &cp)) return false;
    i += 4;
    if (cp >= 0xDC00 && cp <= 0xDFFF) return false;  // a lone low surrogate
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      uint32_t low;
      if (i + 6 > text.size() || text[i] != '\\' || text[i + 1] != 'u' ||
          !read_hex4(text, i + 2, &low) || low < 0xDC00 || low > 0xDFFF) {
        return false;
      }
      i += 6;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
    }
    append_utf8(cp, value);
  }
  return false;
}

inline bool is_json_object_of_strings(std::string_view text) {
  std::size_t i = 0;
  const auto skip_space = [&] {
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) {
      ++i;
    }
  };
  const auto expect = [&](char c) {
    skip_space();
    if (i >= text.size() || text[i] != c) return false;
    ++i;
    return true;
  };
  if (!expect('{')) return false;
  skip_space();
  if (i < text.size() && text[i] == '}') {
    ++i;
  } else {
    for (;;) {
      std::string ignored;
      skip_space();
      if (!parse_json_string(text, &i, &ignored) || !expect(':')) return false;
      skip_space();
      if (!parse_json_string(text, &i, &ignored)) return false;
      if (expect('}')) break;
      if (!expect(',')) return false;
    }
  }
  skip_space();
  return i == text.size();
}

}  // namespace tarsil::fuzz

#endif  // TARSIL_FUZZ_JSON_CHECK_H_
