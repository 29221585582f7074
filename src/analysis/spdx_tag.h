// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The SPDX identifier shortcut: two readings of the first tag.
//
// Contract: both readings look only at the first occurrence of the
// case-sensitive tag "SPDX-License-Identifier:" in the raw text, up to its
// first NUL byte, and return the license to report, or nothing (the file then
// goes through the normal passes). Neither writes anything.
//
// `find_spdx_identifier` (the default reading): the value is the character
// right after the colon (always taken, whatever it is) and the following ones
// up to a newline or the end of the text, 25 characters at most, trimmed of
// white space; then one trailing comment closer ("*/", "-->" or "*)") is
// dropped and the value trimmed again. It is returned when it has more than
// two characters, holds no '/', and names a directory in
// licensedir (case-sensitive; hidden names too).
//
// `find_spdx_expression` (--spdx-expressions): the value is the rest of the
// tag's line, trimmed, one trailing comment closer dropped, trimmed again. It
// is returned when it is an SPDX license expression (expression.h), where
// operators are written in upper or lower case ("AND", "and", ...), a
// license is a name of a non-hidden directory in licensedir matched without
// regard to case (an exact match first; otherwise the first in byte order),
// optionally followed by '+' (a directory named with the '+' wins, else the
// name without it must match and the '+' is kept), and an exception is an id
// of the rule set's exception list, matched the same way. Names starting with
// "LicenseRef-" or "DocumentRef-" (any case) never match. The rewrite spells
// names as the rule set does, operators in upper case, one blank between
// tokens and none inside parentheses: "(MIT OR Apache-2.0) AND BSD-3-Clause".
// Names come from the rule set (rule_set.h): its license directories and its
// exception list.
#ifndef TARSIL_ANALYSIS_SPDX_TAG_H_
#define TARSIL_ANALYSIS_SPDX_TAG_H_

#include <optional>
#include <string>
#include <string_view>

#include "analysis/expression.h"
#include "rules/rule_set.h"

namespace tarsil {

// The license of the default reading, or nothing.
std::optional<std::string> find_spdx_identifier(std::string_view content, const RuleSet& rules);

// The expression of the --spdx-expressions reading, spelled as the rule set
// does (print_expression gives its rewrite), or nothing.
std::optional<Expression> find_spdx_expression(std::string_view content, const RuleSet& rules);

// Removes leading and trailing white space (isspace) in place; the first
// character left after the leading cut is never removed.
void trim_whitespace(std::string* text);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_SPDX_TAG_H_
