// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Copyright statements and authors, as a person copies them into a NOTICE
// file or an SBOM: the statements of the structured formats.
//
// Contract: `find_copyright_statements` is a pure function of the bytes it is
// given (no I/O, no globals, no state between calls); it never fails, and its
// cost is linear in the input (one scan for cheap candidates; only candidate
// lines, and at most a few lines after each, are looked at closely; a line
// longer than 8 KB, minified code, is looked at in a window of 2.5 KB around
// each candidate, so a statement across a window's edge may be cut there).
//
// A statement is introduced by a marker: the word "Copyright" (any letter
// case; "@copyright" and "\copyright" too), "Copr.", "©", "(c)", "&copy;",
// "&#169;", "SPDX-FileCopyrightText:" or "SPDX-SnippetCopyrightText:".  "(c)"
// and "©" without the word must be followed by a year, or by a name written
// like one (capitalized words, a few lower-case joining words such as "and",
// "of", "contributors").  The statement runs from its first marker (or a
// "Portions" or "Modifications" just before it) to the end of its holder,
// over the following lines while the holder goes on (the line so far names
// no holder, ends in "," "and" "by" "of" ..., was wrapped by a filled
// paragraph, or the next line starts with "and", an address in brackets or
// "All rights reserved"); it stops at a blank or comment-only line, at license
// prose, at another statement and at code.  An SPDX tag's statement is its
// whole value, without the tag.  On every line, comment leaders and closers (C, C++, "#",
// "--", ";", "%", "dnl", "REM", "'", "!", Perl POD, Python docstrings, roff,
// Javadoc, Markdown, HTML comments), HTML/XML tags, character entities, roff
// and TeX escapes are removed; tabs and runs of blanks become one blank.
// Bytes that are valid UTF-8 are kept; every other byte is read as
// Windows-1252 (Latin-1 with the printable 0x80-0x9F characters), so the
// texts are always valid UTF-8, and they hold no control character.
//
// Never reported: the word inside license prose ("copyright notice",
// "copyright holders", "copyright owner", "copyright law", "the above
// copyright", headings such as "COPYRIGHT AND LICENSE"), templates and other
// placeholders ("Copyright (C) <year> <name of author>", "[yyyy]", "YEAR"),
// and code (identifiers such as COPYRIGHT_NOTICE or getCopyright, format
// strings such as "Copyright %s", concatenations), unless a string literal of
// the code holds a real statement: then the literal's text is the statement.
// A statement without a holder is reported only when its line holds nothing
// but markers and years ("Copyright (c) 2010"); its holder is then empty.
//
// The holder is the statement without its markers, years and year ranges
// (and the dates around them), "by", "All rights reserved" (which the
// statement keeps), e-mail addresses, URLs and domain names, the prose after
// it ("see LICENSE", "contributed by"), and the punctuation left at its ends
// (a final period is kept after an abbreviation such as "Inc." or an
// initial); when only an address or URL is left, that is the holder.
//
// Authors are names only (no addresses, handles or years), one per person
// ("Foo, Bar and Baz" are three), from "Written by X", "Contributed by X",
// "Authored by X", "Author: X" / "Authors: X" (and the names aligned on the
// following lines), "Author:: X", "@author X", "\author X", "__author__ =
// 'X'", "AUTHOR => 'X'", and the lines under an "AUTHOR" heading (POD, roff,
// Markdown); each is kept once, in file order.
#ifndef TARSIL_ANALYSIS_COPYRIGHT_STATEMENTS_H_
#define TARSIL_ANALYSIS_COPYRIGHT_STATEMENTS_H_

#include <string>
#include <string_view>
#include <vector>

namespace tarsil {

struct CopyrightStatement {
  std::string text;    // as a person copies it: one line, single blanks, valid UTF-8
  std::string holder;  // the named party: no years, markers, "All rights reserved", e-mails, URLs
  int start_line = 0;  // 1-based, in the text given
  int end_line = 0;    // the last line the statement takes, >= start_line
};

struct CopyrightFindings {
  std::vector<CopyrightStatement> statements;  // file order, no cap
  std::vector<std::string> authors;            // file order, each once
};

CopyrightFindings find_copyright_statements(std::string_view text);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_COPYRIGHT_STATEMENTS_H_
