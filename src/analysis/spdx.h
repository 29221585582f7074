// The SPDX identifier shortcut.
//
// Contract: `find_spdx_identifier` looks only at the first occurrence of the
// case-sensitive tag "SPDX-License-Identifier:" in the raw text. The value
// is the character right after the colon (always taken, whatever it is) and
// the following ones up to a newline or the end of the text, 25 characters at
// most, then trimmed of white space. It is returned when it has more than two
// characters, holds no '/', and names a directory in run_settings.licensedir;
// otherwise nothing is returned.
#ifndef TARSIL_ANALYSIS_SPDX_H_
#define TARSIL_ANALYSIS_SPDX_H_

#include <optional>
#include <string>
#include <string_view>

namespace tarsil {

std::optional<std::string> find_spdx_identifier(std::string_view content);

// Removes leading and trailing white space (isspace) in place; the first
// character left after the leading cut is never removed.
void trim_whitespace(std::string* text);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_SPDX_H_
