// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// JSON string escaping, for every format that writes JSON.
//
// Contract: `json_escape` returns `text` with a double quote written as
// backslash-quote, a backslash as two backslashes, and every byte below 0x20
// as a \u00XX escape (lower-case hex digits); well-formed UTF-8 and other
// ASCII bytes are copied unchanged, so ordinary names come out
// byte-identical. A byte that is not part of well-formed UTF-8 is written as
// \u00XX, so the result is valid JSON for any input.
//
// `is_valid_utf8` tells whether `text` is well-formed UTF-8 (so that JSON
// keeps it exactly); `base64` is its standard base64 form (RFC 4648, padded).
#ifndef TARSIL_OUTPUT_JSON_H_
#define TARSIL_OUTPUT_JSON_H_

#include <string>
#include <string_view>

namespace tarsil {

std::string json_escape(std::string_view text);

bool is_valid_utf8(std::string_view text);

std::string base64(std::string_view bytes);

}  // namespace tarsil

#endif  // TARSIL_OUTPUT_JSON_H_
