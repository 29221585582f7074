// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "output/json.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace tarsil {
namespace {

// Appends the escaped form of the single byte `c` (no UTF-8 check).
void json_escape_char(char c, std::string* out) {
  const unsigned char byte = static_cast<unsigned char>(c);
  if (c == '"' || c == '\\') {
    out->push_back('\\');
    out->push_back(c);
  } else if (byte < 0x20) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", byte);
    out->append(buffer);
  } else {
    out->push_back(c);
  }
}

// Length of the well-formed UTF-8 sequence starting at text[i] (2 to 4), or 0
// when the bytes there are not one (stray, overlong, surrogate, cut short).
std::size_t utf8_sequence_length(std::string_view text, std::size_t i) {
  const auto at = [&](std::size_t k) -> unsigned {
    return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
  };
  const unsigned lead = at(0);
  std::size_t length;
  unsigned low = 0x80, high = 0xBF;  // range of the first continuation byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at(1) < low || at(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (at(k) < 0x80 || at(k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::string json_escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      json_escape_char(text[i++], &out);
      continue;
    }
    // Valid UTF-8 passes through; any other byte is written as \u00XX so the
    // record stays valid JSON whatever the file system's names hold.
    const std::size_t length = utf8_sequence_length(text, i);
    if (length > 0) {
      out.append(text.substr(i, length));
      i += length;
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", byte);
      out.append(buffer);
      ++i;
    }
  }
  return out;
}

bool is_valid_utf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t length = utf8_sequence_length(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    uint32_t group = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out.push_back(k <= n ? kDigits[(group >> (18 - 6 * k)) & 63] : '=');
    }
  }
  return out;
}

}  // namespace tarsil
