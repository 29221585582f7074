// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Declared license fields: the places where sources and package metadata
// state their license as a value rather than a sentence.
//
// Contract: a pure function, no I/O, no globals, linear in the text: it
// looks only around each "licen"/"LICEN" of the text (and MODULE_LICENSE,
// FILE_LICENCE) and returns, in text order, each declared value with the
// form that declared it and its line (1-based). Forms:
//   "json"            "license": "MIT", "licenses": ["MIT", {"type": "ISC"}],
//                     "license": {"type": "MIT"} (also single quotes, and
//                     '=>' for PHP and Ruby hashes): package.json, composer;
//   "@license"        a JSDoc / PHPDoc tag: the rest of its line;
//   "License:"        "License:" or "Licence:" (any case) starting a line
//                     after comment markers or blanks, the rest of the line:
//                     RPM spec, DEP-5, Cabal, Haddock, YAML, PKG-INFO;
//   "license="        license = "MIT", license='MIT' (setup.py), license =
//                     MIT starting a line (setup.cfg), s.license = 'MIT',
//                     s.licenses = ['MIT'] (gemspec), license = {text =
//                     "MIT"} (pyproject), __license__ = "MIT" (Python);
//   "classifier"      License :: OSI Approved :: MIT License: its last part;
//   "<license>"       <license><name>...</name><url>...</url></license>
//                     (pom.xml): the name, then the URL;
//   "MODULE_LICENSE"  Linux's MODULE_LICENSE("GPL"), given as the SPDX id
//                     the kernel documents for it ("GPL", "GPL v2", "GPL and
//                     additional rights": GPL-2.0-only);
//   "FILE_LICENCE"    iPXE's FILE_LICENCE(GPL2_OR_LATER), given as an SPDX id
//                     (GPL2_OR_LATER, GPL2_OR_LATER_OR_UBDL:
//                     GPL-2.0-or-later; GPL2_ONLY: GPL-2.0-only; GPL_ANY:
//                     GPL-1.0-or-later; BSD2, BSD3, MIT).
// Values are trimmed of blanks and quotes; an empty value is left out.
#ifndef TARSIL_ANALYSIS_DECLARED_H_
#define TARSIL_ANALYSIS_DECLARED_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarsil {

struct DeclaredValue {
  std::string form;
  std::string value;
  uint32_t line = 0;
};

std::vector<DeclaredValue> find_declared_values(std::string_view text);

// The offsets of "licen" (all lower case but its first letter, or all upper
// case) in the text up to its first NUL byte, ascending; and the same search
// as above given them.
std::vector<std::size_t> licen_anchors(std::string_view text);
std::vector<DeclaredValue> find_declared_values(std::string_view text,
                                                const std::vector<std::size_t>& anchors);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_DECLARED_H_
