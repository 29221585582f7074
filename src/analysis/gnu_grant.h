// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// GNU grants: the clauses of a notice that name a GNU license and its
// version, read from normalized text.
//
// Contract: `gnu_grants(normalized, begin, end)` returns, in order, each
// clause of normalized[begin, end) that names a GNU license ("[GNU]
// [Lesser|Library|Affero] General Public License", "GPL", "LGPL", "AGPL",
// or those with their version in one word: "GPLv2", "LGPLv2.1") and, within
// the next words, its version ("version 2", "version 2.1", "v3"), then
// whether any later version may be chosen ("or (at your option) any later
// version", "or later", "or higher", "or newer"). Each gives the SPDX id of
// that license ("LGPL-2.1-or-later", "GPL-2.0-only"; the Library GPL 2 is
// LGPL-2.0) and the part of the text the clause spans. A name without a
// version nearby ("See the GNU General Public License for more details") is
// no clause. Nothing here fails or allocates beyond the result.
#ifndef TARSIL_ANALYSIS_GNU_GRANT_H_
#define TARSIL_ANALYSIS_GNU_GRANT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarsil {

struct GnuGrant {
  std::string id{};
  uint32_t begin = 0;
  uint32_t end = 0;
};

std::vector<GnuGrant> gnu_grants(std::string_view normalized, uint32_t begin, uint32_t end);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_GNU_GRANT_H_
