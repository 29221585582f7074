// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/copyright_statements.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>

namespace tarsil {
namespace {

using std::size_t;
using std::string;
using std::string_view;

constexpr size_t kNpos = string_view::npos;
constexpr int kMaxContinuation = 5;     // lines a statement takes after its first
constexpr int kMaxAuthorLines = 20;     // lines of an author list under its heading
constexpr size_t kMaxStatement = 1000;  // bytes of a statement's text
constexpr size_t kMaxAuthor = 160;      // bytes of an author
constexpr size_t kLookahead = 4096;     // bytes of a following line looked at
constexpr size_t kMaxTag = 400;         // bytes of an HTML/XML tag removed
constexpr size_t kLongLine = 8192;      // bytes of a line read whole; longer ones in windows:
constexpr size_t kWindowBefore = 512;   //   bytes before a candidate
constexpr size_t kWindowAfter = 2048;   //   and after it

// ---------------------------------------------------------------- characters

bool is_upper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool is_lower(char c) {
  return c >= 'a' && c <= 'z';
}
bool is_alpha(char c) {
  return is_upper(c) || is_lower(c);
}
bool is_digit(char c) {
  return c >= '0' && c <= '9';
}
bool is_alnum(char c) {
  return is_alpha(c) || is_digit(c);
}
bool is_ident(char c) {
  return is_alnum(c) || c == '_';
}
bool is_high(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}
char lower(char c) {
  return is_upper(c) ? static_cast<char>(c + 32) : c;
}

// True when s[at...] starts with `word` (lower case ASCII), in any letter case.
bool ci_at(string_view s, size_t at, string_view word) {
  if (at > s.size() || s.size() - at < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k) {
    if (lower(s[at + k]) != word[k]) return false;
  }
  return true;
}

// As ci_at, and `word` is neither preceded nor followed by a letter or digit.
bool word_at(string_view s, size_t at, string_view word) {
  return ci_at(s, at, word) && (at == 0 || !is_alnum(s[at - 1])) &&
         (at + word.size() == s.size() || !is_alnum(s[at + word.size()]));
}

bool any_of(string_view word, std::initializer_list<string_view> words) {
  for (const string_view w : words) {
    if (word == w) return true;
  }
  return false;
}

// True when `word` is one of the words of `list` (blank-separated, with a
// blank at both ends).
bool listed(string_view word, string_view list) {
  if (word.empty()) return false;
  for (size_t i = 1; i < list.size();) {
    size_t j = i;
    while (j < list.size() && list[j] != ' ') ++j;
    if (j - i == word.size() && list.compare(i, j - i, word) == 0) return true;
    i = j + 1;
  }
  return false;
}

// A set of words made at compile time from a blank-separated list: their
// hashes in order, each with its word, for a binary search.
constexpr uint64_t word_hash(string_view w) {
  uint64_t h = 0xcbf29ce484222325ULL;  // FNV-1a
  for (const char c : w) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  return h;
}

constexpr size_t count_words(string_view list) {
  size_t n = 0;
  for (size_t i = 0; i < list.size(); ++i) n += list[i] != ' ' && (i == 0 || list[i - 1] == ' ');
  return n;
}

template <size_t N>
struct WordSet {
  std::array<uint64_t, N> hashes{};
  std::array<string_view, N> words{};
};

template <size_t N>
constexpr WordSet<N> word_set(string_view list) {
  WordSet<N> set;
  size_t n = 0;
  for (size_t i = 0; i < list.size();) {
    if (list[i] == ' ') {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < list.size() && list[j] != ' ') ++j;
    const string_view w = list.substr(i, j - i);
    size_t k = n++;  // insertion in hash order
    for (; k > 0 && set.hashes[k - 1] > word_hash(w); --k) {
      set.hashes[k] = set.hashes[k - 1];
      set.words[k] = set.words[k - 1];
    }
    set.hashes[k] = word_hash(w);
    set.words[k] = w;
    i = j;
  }
  return set;
}

template <size_t N>
bool listed(string_view word, const WordSet<N>& set) {
  const uint64_t h = word_hash(word);
  size_t lo = 0, hi = N;
  while (lo < hi) {
    const size_t mid = (lo + hi) / 2;
    if (set.hashes[mid] < h) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo < N && set.hashes[lo] == h && set.words[lo] == word;
}

// Phrases ordered by their first byte at compile time, with the range of
// each first byte, so that a position is compared with its own phrases only.
template <size_t N>
struct PrefixTable {
  std::array<string_view, N> phrases{};
  std::array<uint16_t, 257> start{};  // phrases[start[c]..start[c + 1]) begin with c
};

template <size_t N>
constexpr PrefixTable<N> prefix_table(const string_view (&phrases)[N]) {
  PrefixTable<N> t;
  for (size_t n = 0; n < N; ++n) {
    size_t k = n;
    for (; k > 0 && static_cast<unsigned char>(t.phrases[k - 1][0]) >
                        static_cast<unsigned char>(phrases[n][0]);
         --k) {
      t.phrases[k] = t.phrases[k - 1];
    }
    t.phrases[k] = phrases[n];
  }
  size_t k = 0;
  for (unsigned c = 0; c <= 256; ++c) {
    while (k < N && static_cast<unsigned char>(t.phrases[k][0]) < c) ++k;
    t.start[c] = static_cast<uint16_t>(k);
  }
  return t;
}

// The phrases of `table` that begin with byte c.
template <size_t N>
std::span<const string_view> phrases_from(const PrefixTable<N>& table, char c) {
  const auto b = static_cast<unsigned char>(c);
  return std::span<const string_view>(table.phrases.data() + table.start[b],
                                      table.start[b + 1] - table.start[b]);
}

// s.find(what, from), looking at no more than `span` bytes: searches that
// cannot end far away keep every line's reading linear.
size_t find_near(string_view s, string_view what, size_t from, size_t span) {
  if (from > s.size()) return kNpos;
  const size_t at = s.substr(from, span).find(what);
  return at == kNpos ? kNpos : from + at;
}

// The start of the character at or before s[at] (at <= s.size()).
size_t utf8_floor(string_view s, size_t at) {
  while (at > 0 && at < s.size() && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80) --at;
  return at;
}

string lower_copy(string_view s) {
  string out(s);
  for (char& c : out) c = lower(c);
  return out;
}

// ---------------------------------------------------------------- decoding

// Length of the well-formed UTF-8 sequence at s[i] (Unicode table 3-7), or 0.
size_t utf8_length(string_view s, size_t i) {
  const auto at = [&](size_t k) {
    return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0u;
  };
  const unsigned b0 = at(0);
  const auto in = [](unsigned b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; };
  if (b0 < 0x80) return 1;
  if (in(b0, 0xC2, 0xDF)) return in(at(1), 0x80, 0xBF) ? 2 : 0;
  const unsigned lo = b0 == 0xE0 ? 0xA0 : b0 == 0xF0 ? 0x90 : 0x80;
  const unsigned hi = b0 == 0xED ? 0x9F : b0 == 0xF4 ? 0x8F : 0xBF;
  const size_t length = in(b0, 0xE0, 0xEF) ? 3 : in(b0, 0xF0, 0xF4) ? 4 : 0;
  if (length == 0 || !in(at(1), lo, hi)) return 0;
  for (size_t k = 2; k < length; ++k) {
    if (!in(at(k), 0x80, 0xBF)) return 0;
  }
  return length;
}

uint32_t utf8_decode(string_view s, size_t i, size_t length) {
  const auto b = [&](size_t k) {
    return static_cast<uint32_t>(static_cast<unsigned char>(s[i + k]));
  };
  if (length == 1) return b(0);
  if (length == 2) return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
  if (length == 3) return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
  return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
}

void put_utf8(uint32_t cp, string* out) {
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

// Windows-1252 at 0x80-0x9F (0: undefined there).
constexpr uint16_t kCp1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Appends a code point as clean text: control characters and spaces become a
// blank, invisible ones (zero-width, bidi controls, soft hyphen) vanish.
void put_clean(uint32_t cp, string* out) {
  if (cp < 0x20 || (cp >= 0x7F && cp <= 0xA0) || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200A) ||
      cp == 0x2028 || cp == 0x2029 || cp == 0x202F || cp == 0x205F || cp == 0x3000 ||
      (cp >= 0x2500 && cp <= 0x257F)) {  // box drawing frames comments
    out->push_back(' ');
  } else if (cp == 0xAD || (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x202A && cp <= 0x202E) ||
             (cp >= 0x2060 && cp <= 0x206F) || cp == 0xFEFF || (cp >= 0xFFF9 && cp <= 0xFFFB) ||
             (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
  } else {
    put_utf8(cp, out);
  }
}

// The bytes of a line as clean UTF-8 text.
string decode(string_view raw) {
  string out;
  out.reserve(raw.size() + 8);
  for (size_t i = 0; i < raw.size();) {
    const auto b = static_cast<unsigned char>(raw[i]);
    if (b >= 0x20 && b < 0x7F) {
      out.push_back(static_cast<char>(b));
      ++i;
    } else if (const size_t n = utf8_length(raw, i); n > 0) {
      put_clean(utf8_decode(raw, i, n), &out);
      i += n;
    } else {
      const uint32_t cp = b >= 0xA0 ? b : kCp1252[b - 0x80];
      put_clean(cp != 0 ? cp : ' ', &out);
      ++i;
    }
  }
  return out;
}

// ---------------------------------------------------------------- markup

// A named character entity (without '&' and ';'): its code point, or 0.
uint32_t named_entity(string_view name) {
  static constexpr struct {
    string_view name;
    uint16_t cp;
  } kNamed[] = {{"copy", 0xA9},    {"amp", '&'},      {"lt", '<'},       {"gt", '>'},
                {"quot", '"'},     {"apos", '\''},    {"nbsp", 0xA0},    {"reg", 0xAE},
                {"trade", 0x2122}, {"ndash", 0x2013}, {"mdash", 0x2014}, {"szlig", 0xDF},
                {"AElig", 0xC6},   {"aelig", 0xE6},   {"ETH", 0xD0},     {"eth", 0xF0},
                {"THORN", 0xDE},   {"thorn", 0xFE},   {"yuml", 0xFF},    {"laquo", 0xAB},
                {"raquo", 0xBB},   {"middot", 0xB7},  {"ccedil", 0xE7},  {"Ccedil", 0xC7}};
  for (const auto& e : kNamed) {
    if (e.name == name) return e.cp;
  }
  // Latin-1 letters with an accent: "auml", "Eacute", "oslash", ...
  static constexpr struct {
    string_view accent, letters;
    uint8_t codes[6];
  } kAccents[] = {{"grave", "AEIOU", {0xC0, 0xC8, 0xCC, 0xD2, 0xD9}},
                  {"acute", "AEIOUY", {0xC1, 0xC9, 0xCD, 0xD3, 0xDA, 0xDD}},
                  {"circ", "AEIOU", {0xC2, 0xCA, 0xCE, 0xD4, 0xDB}},
                  {"tilde", "ANO", {0xC3, 0xD1, 0xD5}},
                  {"uml", "AEIOU", {0xC4, 0xCB, 0xCF, 0xD6, 0xDC}},
                  {"ring", "A", {0xC5}},
                  {"slash", "O", {0xD8}}};
  if (name.size() < 4) return 0;
  const char letter = name[0];
  const char upper = is_lower(letter) ? static_cast<char>(letter - 32) : letter;
  for (const auto& a : kAccents) {
    if (name.substr(1) != a.accent) continue;
    const size_t k = a.letters.find(upper);
    if (k == kNpos || !is_alpha(letter)) return 0;
    return a.codes[k] + (is_lower(letter) ? 0x20 : 0);
  }
  return 0;
}

// Decodes an entity at s[i] ('&'); returns its length (0 when there is none).
size_t entity_at(string_view s, size_t i, string* out) {
  size_t j = i + 1;
  uint32_t cp = 0;
  if (j < s.size() && s[j] == '#') {
    ++j;
    const bool hex = j < s.size() && (s[j] == 'x' || s[j] == 'X');
    if (hex) ++j;
    const size_t digits = j;
    while (j < s.size() && j - digits < 7 &&
           (is_digit(s[j]) ||
            (hex && ((s[j] >= 'a' && s[j] <= 'f') || (s[j] >= 'A' && s[j] <= 'F'))))) {
      cp = cp * (hex ? 16 : 10) +
           static_cast<uint32_t>(is_digit(s[j]) ? s[j] - '0' : lower(s[j]) - 'a' + 10);
      ++j;
    }
    if (j == digits || j >= s.size() || s[j] != ';') return 0;
  } else {
    const size_t start = j;
    while (j < s.size() && j - start < 8 && is_alnum(s[j])) ++j;
    if (j >= s.size() || s[j] != ';') return 0;
    cp = named_entity(s.substr(start, j - start));
    if (cp == 0) return 0;
  }
  put_clean(cp, out);
  return j + 1 - i;
}

bool known_tag(string_view name) {
  static constexpr string_view kTags[] = {
      "a",        "abbr",    "address",  "article", "b",       "big",      "blockquote", "body",
      "br",       "center",  "cite",     "code",    "dd",      "del",      "div",        "dl",
      "dt",       "em",      "font",     "footer",  "h1",      "h2",       "h3",         "h4",
      "h5",       "h6",      "head",     "header",  "hr",      "html",     "i",          "img",
      "ins",      "kbd",     "li",       "link",    "meta",    "nav",      "ol",         "p",
      "pre",      "q",       "s",        "samp",    "section", "small",    "span",       "strike",
      "strong",   "sub",     "sup",      "table",   "tbody",   "td",       "th",         "thead",
      "title",    "tr",      "tt",       "u",       "ul",      "var",      "para",       "ulink",
      "emphasis", "literal", "filename", "command", "simpara", "footnote", "aside",      "main"};
  const string lowered = lower_copy(name);
  for (const string_view tag : kTags) {
    if (lowered == tag) return true;
  }
  return false;
}

// Length of an HTML/XML tag at s[i] ('<') to remove, or 0: closing tags, known
// tags and tags with attributes; never one that holds a copyright sign or word.
size_t tag_at(string_view s, size_t i) {
  if (s.compare(i, 4, "<!--") == 0) return 4;
  size_t j = i + 1;
  const bool closing = j < s.size() && s[j] == '/';
  if (closing) ++j;
  const size_t name = j;
  while (j < s.size() && (is_alnum(s[j]) || s[j] == ':' || s[j] == '-')) ++j;
  if (j == name || !is_alpha(s[name])) return 0;
  const string_view tag_name = s.substr(name, j - name);
  const size_t end = find_near(s, ">", j, kMaxTag);
  if (end == kNpos || end - i > kMaxTag) return 0;
  const string_view inside = s.substr(j, end - j);
  if (inside.find('<') != kNpos) return 0;
  const string lowered = lower_copy(inside);
  if (lowered.find("opyright") != kNpos || lowered.find("\xc2\xa9") != kNpos ||
      lowered.find("(c)") != kNpos) {
    return 0;
  }
  const bool attributes = !inside.empty() && inside[0] == ' ' && inside.find('=') != kNpos;
  const bool bare = inside.empty() || inside == "/" || inside == " /";
  if (closing ? bare : (known_tag(tag_name) && (bare || attributes)) || attributes) {
    return end + 1 - i;
  }
  return 0;
}

// Removes markup and escapes: HTML/XML tags and entities, roff escapes, TeX's
// copyright commands, string escapes of the sign, Markdown emphasis and links.
string unmark(string_view s) {
  string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const char c = s[i];
    if (c == '&') {
      if (const size_t n = entity_at(s, i, &out); n > 0) {
        i += n;
        continue;
      }
    } else if (c == '<') {
      if (const size_t n = tag_at(s, i); n > 0) {
        out.push_back(' ');
        i += n;
        continue;
      }
    } else if (c == '\\' && i + 1 < s.size()) {
      const char d = s[i + 1];
      static constexpr struct {
        string_view from, to;
      } kEscapes[] = {{"\\(co", "\xc2\xa9"},
                      {"\\[co]", "\xc2\xa9"},
                      {"\\copyright", "\xc2\xa9"},
                      {"\\textcopyright", "\xc2\xa9"},
                      {"\\u00a9", "\xc2\xa9"},
                      {"\\u00A9", "\xc2\xa9"},
                      {"\\xa9", "\xc2\xa9"},
                      {"\\xA9", "\xc2\xa9"},
                      {"\\251", "\xc2\xa9"},
                      {"\\(em", "-"},
                      {"\\(en", "-"},
                      {"\\[em]", "-"},
                      {"\\(aq", "'"},
                      {"\\(dq", "\""},
                      {"\\-", "-"},
                      {"\\&", ""},
                      {"\\%", ""},
                      {"\\:", ""},
                      {"\\/", ""},
                      {"\\,", ""},
                      {"\\e", "\\"},
                      {"\\ ", " "},
                      {"\\~", " "},
                      {"\\0", " "}};
      bool done = false;
      for (const auto& e : kEscapes) {
        if (s.compare(i, e.from.size(), e.from) == 0 &&
            (!is_alpha(e.from.back()) || e.from.size() < 4 || i + e.from.size() == s.size() ||
             !is_alpha(s[i + e.from.size()]) || e.from[1] == 'u' || e.from[1] == 'x')) {
          out += e.to;
          i += e.from.size();
          done = true;
          break;
        }
      }
      if (done) continue;
      if (d == 'f' && i + 2 < s.size() &&
          (is_alnum(s[i + 2]) || s[i + 2] == '(' || s[i + 2] == '[')) {
        // roff font changes: \fB \f(CW \f[BI]
        const char f = s[i + 2];
        if (f == '(' && i + 4 < s.size() && is_alnum(s[i + 3]) && is_alnum(s[i + 4])) {
          i += 5;
        } else if (f == '[') {
          const size_t close = find_near(s, "]", i, 16);
          i = close == kNpos || close - i > 12 ? i + 3 : close + 1;
        } else {
          i += 3;
        }
        continue;
      }
      if ((d == 'n' || d == 't' || d == 'r') && (i + 2 == s.size() || !is_lower(s[i + 2]))) {
        out.push_back(' ');
        i += 2;
        continue;
      }
    } else if (i + 1 < s.size() && s[i + 1] == '<' && string_view("BCEFILSXZ").find(c) != kNpos &&
               (i == 0 || !is_alnum(s[i - 1]))) {
      // Perl POD: B<bold>, C<< code >>, E<copy>, L<text|link>.
      size_t open = i + 1;
      while (open < s.size() && s[open] == '<') ++open;
      const size_t angles = open - i - 1;
      const string closer = angles == 1 ? ">" : " " + string(angles, '>');
      const size_t close = find_near(s, closer, open, 300);
      if (close != kNpos && close - open < 300) {
        string_view inside = s.substr(open, close - open);
        while (!inside.empty() && inside.front() == ' ') inside.remove_prefix(1);
        if (c == 'E') {
          const uint32_t cp = inside == "lt" ? '<' : inside == "gt" ? '>' : named_entity(inside);
          if (cp != 0) put_clean(cp, &out);
        } else if (c == 'L' && inside.find('|') != kNpos) {
          out += inside.substr(0, inside.find('|'));
        } else if (c == 'L' && inside.substr(0, 7) == "mailto:") {
          out += inside.substr(7);
        } else if (c != 'X' && c != 'Z') {
          out += inside;
        }
        i = close + closer.size();
        continue;
      }
    } else if (c == '*' && i + 1 < s.size() && s[i + 1] == '*') {
      i += 2;
      continue;
    } else if (c == '`') {
      ++i;
      continue;
    } else if (c == '[' || (c == '!' && i + 1 < s.size() && s[i + 1] == '[')) {
      // A Markdown link keeps its text: [text](url)
      const size_t open = c == '[' ? i : i + 1;
      const size_t close = find_near(s, "]", open, 200);
      if (close != kNpos && close - open < 200 && close + 1 < s.size() && s[close + 1] == '(') {
        const size_t end = find_near(s, ")", close, 500);
        const string_view text = s.substr(open + 1, close - open - 1);
        if (end != kNpos && end - close < 500 && text.find('[') == kNpos) {
          out += text;
          i = end + 1;
          continue;
        }
      }
    }
    out.push_back(c);
    ++i;
  }
  return out;
}

// ---------------------------------------------------------------- comments

// Strips comment leaders at the start (repeatedly) and closers at the end.
string_view strip_comment(string_view s) {
  static constexpr string_view kLeaders[] = {
      "--[[", "/**",     "/*!",     "/*",    "*/",    "**",   "*",    "///", "//!", "//", "#'",
      "##",   "#:",      "#",       "---",   "--",    ";;;",  ";;",   ";",   "%%",  "%",  "\"\"\"",
      "'''",  "r\"\"\"", "u\"\"\"", ".\\\"", "'\\\"", "\\\"", "<!--", "-->", "{-",  "-}", "(*",
      "*)",   "{*",      "!>",      "!",     "<?php", "::",   ">",    "|",   "+"};
  // Words that lead a comment or a markup line when followed by a blank.
  static constexpr string_view kWordLeaders[] = {
      "dnl",       "REM",    "rem",   "@rem", "'",    "\"",    "-",     "=head1", "=head2",
      "=head3",    "=head4", "=item", "=pod", "=cut", "=over", "=back", "=begin", "=end",
      "=encoding", ".SH",    ".SS",   ".TH",  ".B",   ".I",    ".BR",   ".IR",    ".RB",
      ".IP",       ".PP",    ".LP",   ".TP",  ".Sh",  ".Nm",   ".Pp",   ".Ss",    ".Dl",
      ".Li",       ".Op",    ".br",   ".sp",  ".nf",  ".fi"};
  for (int round = 0; round < 8; ++round) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    if (s.empty() || string_view("-/*#;%\"'ru.<{(!:>|+=@\\dR").find(s[0]) == kNpos) break;
    bool removed = false;
    for (const string_view w : kWordLeaders) {
      if (s.substr(0, w.size()) == w && (s.size() == w.size() || s[w.size()] == ' ')) {
        s.remove_prefix(w.size());
        removed = true;
        break;
      }
    }
    if (!removed) {
      for (const string_view leader : kLeaders) {
        if (s.substr(0, leader.size()) == leader) {
          s.remove_prefix(leader.size());
          removed = true;
          break;
        }
      }
    }
    if (!removed) break;
  }
  static constexpr string_view kClosers[] = {"*/",  "-->", "*)",   "-}",  "\"\"\"",
                                             "'''", "]]",  "\\\\", " \\", " *",
                                             " #",  " |",  " !",   " //", " /"};
  for (int round = 0; round < 8; ++round) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (s.empty() || string_view("/>)}\"']\\*#|!").find(s.back()) == kNpos) break;
    bool removed = false;
    for (const string_view closer : kClosers) {
      if (s.size() >= closer.size() && s.substr(s.size() - closer.size()) == closer) {
        s.remove_suffix(closer.size());
        removed = true;
        break;
      }
    }
    if (!removed && (s == "*" || s == "#" || s == "|" || s == "\\")) {
      s = {};
      removed = true;
    }
    if (!removed) break;
  }
  return s;
}

// A line as the statements are read from: decoded, markup removed, comment
// leaders and closers stripped, blanks single.
string clean_line(string_view raw) {
  const string text = unmark(decode(raw));
  const string_view body = strip_comment(text);
  string out;
  out.reserve(body.size());
  for (const char c : body) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out.push_back(c);
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// ---------------------------------------------------------------- markers

enum class Marker : uint8_t { kNone, kWord, kCopr, kSign, kParen, kSpdx };

// The marker at s[i] and its length (kNone, 0 when there is none).
Marker marker_at(string_view s, size_t i, size_t* length) {
  const char c = s[i];
  const bool boundary = i == 0 || !is_ident(s[i - 1]);
  if (c == '_' && boundary && ci_at(s, i, "__copyright__")) {  // Python's module attribute
    *length = 13;
    return Marker::kWord;
  }
  if ((c == 'c' || c == 'C') && boundary) {
    if (ci_at(s, i, "copyrights:")) {
      *length = 10;
      return Marker::kWord;
    }
    if (ci_at(s, i, "copyright")) {
      if (i + 9 < s.size() && is_ident(s[i + 9])) return Marker::kNone;
      if (i > 0 && s[i - 1] == '-') return Marker::kNone;
      *length = 9;
      return Marker::kWord;
    }
    if (ci_at(s, i, "copr.") || (ci_at(s, i, "copr ") && i + 5 < s.size() && is_digit(s[i + 5]))) {
      *length = s[i + 4] == '.' ? 5 : 4;
      return Marker::kCopr;
    }
  } else if (c == '(' &&
             (i == 0 || !is_ident(s[i - 1]) || (i >= 9 && ci_at(s, i - 9, "copyright"))) &&
             i + 2 < s.size() && (s[i + 1] == 'c' || s[i + 1] == 'C') && s[i + 2] == ')') {
    *length = 3;
    return Marker::kParen;
  } else if (c == '\xc2' && i + 1 < s.size() && s[i + 1] == '\xa9') {
    *length = 2;
    return Marker::kSign;
  } else if ((c == 's' || c == 'S') && boundary) {
    for (const string_view tag :
         {string_view("spdx-filecopyrighttext:"), string_view("spdx-snippetcopyrighttext:"),
          string_view("spdx-filecopyrightinfo:")}) {
      if (ci_at(s, i, tag)) {
        *length = tag.size();
        return Marker::kSpdx;
      }
    }
  }
  return Marker::kNone;
}

struct Group {
  size_t begin = 0, end = 0;  // the markers and the blanks or colons between them
  bool word = false;          // holds "Copyright", "Copr." or an SPDX tag
  bool spdx = false;
  bool signed_markers = false;  // "(c)" or the sign too
  Marker first = Marker::kNone;
};

// The group of markers starting with the marker at s[i].
Group group_at(string_view s, size_t i) {
  Group g{.begin = i, .end = i};
  size_t j = i;
  for (;;) {
    size_t length = 0;
    const Marker m = j < s.size() ? marker_at(s, j, &length) : Marker::kNone;
    if (m == Marker::kNone) break;
    if (g.first == Marker::kNone) g.first = m;
    g.word = g.word || m == Marker::kWord || m == Marker::kCopr || m == Marker::kSpdx;
    g.spdx = g.spdx || m == Marker::kSpdx;
    g.signed_markers = g.signed_markers || m == Marker::kParen || m == Marker::kSign;
    j += length;
    g.end = j;
    const size_t separator = j;
    while (j < s.size() && (s[j] == ' ' || s[j] == ':')) ++j;
    // A label ("Copyright:: Copyright (c) 2008 X", RDoc): the statement starts after it.
    size_t next_length = 0;
    if (m == Marker::kWord && g.begin + 9 == separator && s.compare(separator, 3, ":: ") == 0 &&
        j < s.size() && marker_at(s, j, &next_length) != Marker::kNone) {
      g = Group{.begin = j, .end = j};
    }
  }
  return g;
}

// Position of the next marker at or after `from`, or kNpos.
size_t find_marker(string_view s, size_t from) {
  for (size_t i = from; i < s.size(); ++i) {
    const char c = s[i];
    if (c != 'c' && c != 'C' && c != '(' && c != '\xc2' && c != 's' && c != 'S' && c != '_') {
      continue;
    }
    size_t length = 0;
    if (marker_at(s, i, &length) != Marker::kNone) return i;
  }
  return kNpos;
}

// ---------------------------------------------------------------- words

// The word (letters, digits, '\'', '-') starting at s[i], lower case.
string word_from(string_view s, size_t i) {
  string w;
  while (i < s.size() && (is_alnum(s[i]) || s[i] == '\'' || s[i] == '-') && w.size() < 24) {
    w.push_back(lower(s[i++]));
  }
  return w;
}

size_t skip_blanks(string_view s, size_t i) {
  while (i < s.size() && s[i] == ' ') ++i;
  return i;
}

string_view trim_blanks(string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// A year: 1800-2199 (four digits, not part of a longer number).
bool year_at(string_view s, size_t i) {
  if (i + 4 > s.size() || (i > 0 && is_alnum(s[i - 1]))) return false;
  if (!((s[i] == '1' && (s[i + 1] == '8' || s[i + 1] == '9')) ||
        (s[i] == '2' && (s[i + 1] == '0' || s[i + 1] == '1')))) {
    return false;
  }
  return is_digit(s[i + 2]) && is_digit(s[i + 3]) && (i + 4 == s.size() || !is_alnum(s[i + 4]));
}

// True when s holds a year.
bool has_year(string_view s) {
  for (size_t i = 0; i + 4 <= s.size(); ++i) {
    if (year_at(s, i)) return true;
  }
  return false;
}

// A token that is a year or a range or list of years ("2003", "1995-2003",
// "2003,2004", "2019-present"), once its surrounding punctuation is removed.
bool year_token(string_view token) {
  while (!token.empty() && string_view(",.;:()[]<>").find(token.front()) != kNpos)
    token.remove_prefix(1);
  while (!token.empty() && string_view(",.;:()[]<>").find(token.back()) != kNpos)
    token.remove_suffix(1);
  if (token.empty()) return false;
  if (!year_at(token, 0)) {
    // A date: "7/13/2010", "13.07.2010".
    bool year = false;
    for (size_t k = 0; k < token.size(); ++k) {
      if (!is_digit(token[k]) && token[k] != '/' && token[k] != '.' && token[k] != '-')
        return false;
      year = year || (k + 4 == token.size() && year_at(token, k));
    }
    return year && token.find_first_of("/.-") != kNpos;
  }
  size_t i = 4;
  while (i < token.size()) {
    const char c = token[i];
    if (c == '-' || c == ',' || c == '/' || c == '+' || c == '~' || c == '.') {
      ++i;
    } else if (ci_at(token, i, "\xe2\x80\x93") || ci_at(token, i, "\xe2\x80\x94")) {
      i += 3;
    } else if (year_at(token, i)) {
      i += 4;
    } else if (is_digit(c) && i + 1 < token.size() && is_digit(token[i + 1]) &&
               (i + 2 == token.size() || !is_digit(token[i + 2])) &&
               string_view("-/,").find(token[i - 1]) != kNpos) {
      i += 2;  // "1995-97", "2010-07-13"
    } else if (is_digit(c) && (i + 1 == token.size() || !is_digit(token[i + 1])) &&
               token[i - 1] == '-') {
      i += 1;  // "2002-4"
    } else {
      const string rest = lower_copy(token.substr(i));
      return any_of(rest, {"present", "now", "today", "current", "date"});
    }
  }
  return true;
}

// Splits on blanks.
std::vector<string_view> tokens_of(string_view s) {
  std::vector<string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    i = skip_blanks(s, i);
    const size_t start = i;
    while (i < s.size() && s[i] != ' ') ++i;
    if (i > start) out.push_back(s.substr(start, i - start));
  }
  return out;
}

bool email_or_url(string_view token) {
  const string t = lower_copy(token);
  const size_t at = t.find('@');
  if (at != kNpos && at > 0 && t.find('.', at) != kNpos) return true;
  for (const string_view p : {"http://", "https://", "ftp://", "git://", "www.", "mailto:"}) {
    if (t.find(p) != kNpos) return true;
  }
  return false;
}

// Lower-case words that may stand inside a name ("Foo and Bar", "University
// of X", "The Foo Authors and contributors").
constexpr string_view kJoiningWordsList =
    " and of the for de der den van von da di du la le y et al al. contributors authors others"
    " other its affiliates subsidiaries project developers team community members and/or del des"
    " do dos das ten ter bin ibn und e by & in at inc inc. ltd ltd. corp gmbh llc foundation"
    " original author individual respective owners maintainers translators s.a. s.l. mbh co. a i"
    " zu dem het el los lo degli della st. ag ";
constexpr auto kJoiningWords = word_set<count_words(kJoiningWordsList)>(kJoiningWordsList);

// True when s[i] starts a character beyond ASCII that may be a letter: not
// Latin-1's signs (U+00A0-00BF), general punctuation, symbols, arrows and
// box drawing (U+2000-2BFF), CJK punctuation (U+3000-303F).
bool high_letter(string_view s, size_t i) {
  if (i >= s.size() || !is_high(s[i])) return false;
  const auto b0 = static_cast<unsigned char>(s[i]);
  const auto b1 = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0u;
  if (b0 == 0xC2) return false;
  if (b0 == 0xE2 && b1 >= 0x80 && b1 <= 0xAF) return false;
  if (b0 == 0xE3 && b1 == 0x80) return false;
  return true;
}

// True when every character of a token may stand in a name.
bool word_like(string_view t) {
  for (size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    if (is_alnum(c) || string_view(".-'&,()/+@_").find(c) != kNpos) continue;
    if (!high_letter(t, i)) return false;
    while (i + 1 < t.size() && (static_cast<unsigned char>(t[i + 1]) & 0xC0) == 0x80) ++i;
  }
  return true;
}

// True when s reads as a list of names: every word capitalized, a number, an
// address or URL, or a joining word; at least one capitalized word.
bool looks_like_names(string_view s, bool need_name = true) {
  int names = need_name ? 0 : 1;
  for (string_view t : tokens_of(s)) {
    if (email_or_url(t) || year_token(t)) continue;
    while (!t.empty() && string_view(",.;:()[]<>\"'").find(t.front()) != kNpos) t.remove_prefix(1);
    while (!t.empty() && string_view(",.;:()[]<>\"'").find(t.back()) != kNpos) t.remove_suffix(1);
    if (t.empty() || t == "&" || t == "-" || t == "+" || t == "/") continue;
    if ((is_upper(t[0]) || high_letter(t, 0) || is_digit(t[0])) && word_like(t)) {
      ++names;
    } else if (!listed(lower_copy(t), kJoiningWords)) {
      return false;
    }
  }
  return names > 0;
}

// True when a line reads as code rather than as a comment.
bool looks_like_code(string_view s) {
  if (s.empty()) return false;
  const char last = s.back();
  if (last == ';' || last == '{' || last == '}' || last == '=' || last == '(') return true;
  static constexpr string_view kInside[] = {
      "==", "!=",  "->",  "=>",  "();",  "#include", "#define", "#if", "#import", "($",
      "){", ") {", "\"+", "+\"", "\" +", "+ \"",     " = ",     "&&",  "||"};
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (string_view("=!-();#{\"+ &|").find(c) == kNpos) continue;
    for (const string_view p : kInside) {
      if (p[0] == c && s.compare(i, p.size(), p) == 0) return true;
    }
  }
  if (!is_alpha(s[0])) return false;
  for (const string_view p :
       {"import ",  "package ", "use ",       "require ",  "def ",     "class ",    "module ",
        "from ",    "return ",  "function ",  "var ",      "let ",     "const ",    "public ",
        "private ", "static ",  "namespace ", "template ", "typedef ", "struct ",   "if (",
        "for (",    "my $",     "sub ",       "end",       "fn ",      "include <", "include \"",
        "func ",    "impl ",    "pub "}) {
    if (p[0] == s[0] && s.substr(0, p.size()) == p) return true;
  }
  return false;
}

// True for a "Label: value" line ("Date: 2004", "Remarks:").
bool label(string_view s) {
  size_t i = 0;
  while (i < s.size() && i < 24 && (is_alpha(s[i]) || (i > 0 && (s[i] == ' ' || s[i] == '-')))) ++i;
  return i > 0 && i < s.size() && s[i] == ':' && (i + 1 == s.size() || s[i + 1] == ' ');
}

// ---------------------------------------------------------------- prose

// Words after "copyright", in any letter case, that make it license prose or
// a heading ("copyright notice", "COPYRIGHT HOLDERS", "Copyright and License").
constexpr string_view kProseAfterList =
    " notice notices holder holders holder's holders' owner owners owner's owners' ownership law"
    " laws act protection protected license licence licenses licences licensing licensed"
    " statement statements information info and or & / interest interests infringement"
    " infringements infringing claim claims status assignment assignments disclaimer disclaimers"
    " agreement agreements permission permissions transfer transferred waiver waived terms treaty"
    " registration violation violations policy restrictions dedication attribution clause clauses"
    " exception exceptions reserved assigned copying copying.txt copying.md license.txt"
    " license.md readme readme.md notice.txt authors.txt copyright.txt ";
constexpr auto kProseAfter = word_set<count_words(kProseAfterList)>(kProseAfterList);

// Words after a lower-case "copyright" that make it prose: "copyright file",
// "copyright year", "copyright is held ...".
constexpr string_view kLowerProseAfterList =
    " to in on for is are was be been being file files header headers message string text year"
    " years years' date dates line lines symbol sign character page section office please may"
    " must will shall does has have had can cannot could should would might applies apply"
    " rights right as at with without from that which this these those not no only under"
    " release releases issue issues details see remains remain belongs belong held retained vests"
    " tag tags field fields check checks comment comments block blocks banner template templates"
    " update updates range ranges it if but so owned exists type types ok yet purposes reasons"
    " related form holdings matters questions note notes detection detector scanner scan scanning"
    " entry entries list lists object objects value values key keys option options output input"
    " regex pattern patterns sentence url link name names number version free concerns rules"
    " regime system data fee fees work works material materials the a an any all of by ";
constexpr auto kLowerProseAfter = word_set<count_words(kLowerProseAfterList)>(kLowerProseAfterList);

// Words before a lower-case "copyright" that make it prose unless a year or
// a sign follows ("the above copyright", "retain the copyright").
constexpr string_view kProseBeforeList =
    " the above a an any this that its their our your his her under and or with no retain"
    " retains hold holds held own owns all applicable such international of to in on for from as"
    " same original respective full each other whose assign assigns transfer relevant include"
    " includes including retaining preserve keep contain contains mit bsd gpl claim claims not"
    " without into by apply remove removing update updated change add added adding check checking"
    " print prints show shows disclaims disclaim dedicate dedicated waive waives is are ";
constexpr auto kProseBefore = word_set<count_words(kProseBeforeList)>(kProseBeforeList);

// Words that start a new sentence of prose after ". ".
constexpr string_view kSentenceStartsList =
    " this the it you use licensed released distributed see for contact please redistribution"
    " permission written modified based derived visit send report version originally parts"
    " portions some most any code contributions changes additional other all if in we our these"
    " there thanks note author authors maintainer maintained available free open unless except to"
    " no as when with by on a an i my do neither nor not here its their documentation copying"
    " created first last initial mit bsd isc gpl lgpl apache mpl developed produced operated"
    " funded supported sponsored contributed ";
constexpr auto kSentenceStarts = word_set<count_words(kSentenceStartsList)>(kSentenceStartsList);

// Phrases that end a statement (the statement stops before them).
constexpr string_view kStops[] = {"licensed",
                                  "licenced",
                                  "license",
                                  "licence",
                                  "licensing",
                                  "released under",
                                  "distributed under",
                                  "available under",
                                  "published under",
                                  "provided under",
                                  "under the",
                                  "under a ",
                                  "under an ",
                                  "under terms",
                                  "subject to",
                                  "see ",
                                  "see:",
                                  "this program",
                                  "this file",
                                  "this software",
                                  "this library",
                                  "this code",
                                  "this module",
                                  "this source",
                                  "this work",
                                  "this project",
                                  "this package",
                                  "this header",
                                  "this document",
                                  "this is free",
                                  "is free software",
                                  "is distributed",
                                  "permission",
                                  "you may",
                                  "you can",
                                  "use of this",
                                  "use, modification",
                                  "spdx-license-identifier",
                                  "@license",
                                  "redistribution",
                                  "redistribute",
                                  "for details",
                                  "for more",
                                  "for license",
                                  "please ",
                                  "part of ",
                                  "the above",
                                  "based on",
                                  "derived from",
                                  "written by",
                                  "author:",
                                  "authors:",
                                  "@author",
                                  "modified by",
                                  "contact:",
                                  "e-mail:",
                                  "email:",
                                  "url:",
                                  "homepage:",
                                  "website:",
                                  "web:",
                                  "version ",
                                  "@version",
                                  "@file",
                                  "@brief",
                                  "@since",
                                  "$id",
                                  "@package",
                                  "@link",
                                  "@category",
                                  "@subpackage",
                                  "@module",
                                  "@ingroup",
                                  "@see",
                                  "all other rights",
                                  "mit license",
                                  "bsd license",
                                  "gnu general",
                                  "gnu lesser",
                                  "apache license",
                                  "and is",
                                  "and it",
                                  "and this",
                                  "and has",
                                  "and may",
                                  "and was",
                                  "and are",
                                  "the mit",
                                  "the bsd",
                                  "the gnu",
                                  "* @",
                                  "all rights granted",
                                  "dual licensed",
                                  "dual-licensed"};
constexpr auto kStopTable = prefix_table(kStops);

// Phrases that end a statement after themselves.
constexpr string_view kInclusiveStops[] = {"all rights reserved", "all right reserved",
                                           "some rights reserved", "all rights are reserved",
                                           "all rights reversed"};

// True when s (a statement's text after its markers) holds a word that is
// neither a marker, a year nor "by": a holder is named.
bool names_someone(string_view s) {
  for (const string_view t : tokens_of(s)) {
    size_t length = 0;
    if (year_token(t) || marker_at(t, 0, &length) != Marker::kNone || lower_copy(t) == "by")
      continue;
    for (const char c : t) {
      if (is_alpha(c) || is_high(c)) return true;
    }
  }
  return false;
}

// True when the statement text is a template or a placeholder, or code.
bool placeholder(string_view text) {
  const string t = lower_copy(text);
  static constexpr string_view kPlaceholders[] = {"<year",
                                                  "<name",
                                                  "<owner",
                                                  "<author",
                                                  "<copyright",
                                                  "<holder",
                                                  "<organi",
                                                  "<company",
                                                  "<your",
                                                  "<insert",
                                                  "<enter",
                                                  "<date",
                                                  "<first",
                                                  "<full",
                                                  "[year",
                                                  "[yyyy",
                                                  "[name",
                                                  "[fullname",
                                                  "[owner",
                                                  "[your",
                                                  "[author",
                                                  "[insert",
                                                  "[copyright",
                                                  "[date",
                                                  "{year",
                                                  "{yyyy",
                                                  "{{",
                                                  "}}",
                                                  "${",
                                                  "#{",
                                                  "$year",
                                                  "$author",
                                                  "yyyy",
                                                  "19yy",
                                                  "19xx",
                                                  "20xx",
                                                  "%s",
                                                  "%d",
                                                  "%i",
                                                  "%u",
                                                  "%(",
                                                  "%1",
                                                  "{}",
                                                  "{0}",
                                                  "name of author",
                                                  "name of copyright",
                                                  "copyright holder",
                                                  "copyright owner",
                                                  "your name",
                                                  "author name",
                                                  "author's name",
                                                  "firstname",
                                                  "first author",
                                                  "full name",
                                                  "your company",
                                                  "company name",
                                                  "<<",
                                                  "\" +",
                                                  "' +",
                                                  "+ \"",
                                                  "+ '",
                                                  "\"+",
                                                  "+\"",
                                                  "' .",
                                                  ". '",
                                                  "<%",
                                                  "%>",
                                                  "<?",
                                                  "?>",
                                                  "name of the author",
                                                  "the author's",
                                                  "$(",
                                                  "@year",
                                                  "@author",
                                                  "{@",
                                                  "(year)",
                                                  "year your",
                                                  "organization name",
                                                  "#year",
                                                  "__year",
                                                  "xxxx",
                                                  "yours truly",
                                                  "<holders",
                                                  "<licensor",
                                                  "[licensor"};
  static constexpr auto kTable = prefix_table(kPlaceholders);
  for (size_t j = 0; j < t.size(); ++j) {
    for (const string_view p : phrases_from(kTable, t[j])) {
      if (t.compare(j, p.size(), p) == 0) return true;
    }
  }
  // Template fields: "{author}", "{ year }".
  for (size_t at = text.find('{'); at != kNpos; at = text.find('{', at + 1)) {
    const size_t close = text.find('}', at);
    if (close != kNpos && close - at < 32 && names_someone(text.substr(at + 1, close - at - 1))) {
      return true;
    }
  }
  if (text.find("()") != kNpos) return true;  // code: "main()"
  // Template markers: "%project copyright begin%".
  for (size_t at = text.find('%'); at != kNpos; at = text.find('%', at + 1)) {
    if (at > 0 && is_alpha(text[at - 1])) return true;
  }
  // An upper-case YEAR, as in "Copyright (C) YEAR THE PACKAGE'S COPYRIGHT HOLDER".
  for (size_t at = text.find("YEAR"); at != kNpos; at = text.find("YEAR", at + 1)) {
    if (word_at(text, at, "year")) return true;
  }
  return false;
}

// True when a holder speaks of licenses rather than names a party.
bool prose_holder(string_view holder) {
  const string h = lower_copy(holder);
  static constexpr string_view kProse[] = {
      "notice",          "permission",  "shall ",         "must ",          "warrant",
      "liable",          "herein",      "hereby",         "provided that",  "the above",
      "above-mentioned", "you ",        "licensed under", "this software",  "this program",
      "this file",       "redistribut", "is hereby",      "following",      "conditions",
      "disclaim",        "merchantab",  "infring",        "for any purpose"};
  for (const string_view p : kProse) {
    if (h.find(p) != kNpos) return true;
  }
  return false;
}

// True when the word at s[at] makes the "copyright" before it prose.
// With `signed_markers`, the markers hold a sign ("Copyright (C) all contributors"):
// only the words that are always prose count.
bool prose_follows(string_view s, size_t at, bool signed_markers = false) {
  if (at >= s.size()) return false;
  if (s[at] == '&' || s[at] == '/') return true;  // "Copyright & License"
  const string w = word_from(s, at);
  if (listed(w, kProseAfter)) return true;
  if (signed_markers || !is_lower(s[at]) || !listed(w, kLowerProseAfter)) return false;
  if (w == "by" || w == "of" || w == "the") {  // "copyright by Foo", "copyright of the ..."
    const size_t k = skip_blanks(s, at + w.size());
    return !(k < s.size() && (is_upper(s[k]) || is_high(s[k]) || is_digit(s[k])));
  }
  return true;
}

// True when the group of markers at s[i] starts a new statement inside the
// text of another one.
bool new_statement_at(string_view s, size_t i) {
  size_t length = 0;
  if (marker_at(s, i, &length) == Marker::kNone) return false;
  const Group g = group_at(s, i);
  size_t next = skip_blanks(s, g.end);
  if (g.spdx) return true;
  if (!g.word) return year_at(s, next);
  if (next < s.size() && s[next] == ',' && year_at(s, skip_blanks(s, next + 1))) return true;
  return next < s.size() && !prose_follows(s, next) &&
         (is_digit(s[next]) || is_upper(s[next]) || is_high(s[next]));
}

// End of the statement text that starts at s[from] (after its markers): the
// first of the closing quote, a comment closer, a stop phrase, a new
// sentence of prose, a new statement, or kMaxStatement bytes.
size_t body_end(string_view s, size_t from, char quote) {
  const size_t limit = utf8_floor(s, std::min(s.size(), from + kMaxStatement));
  for (size_t j = from; j < limit; ++j) {
    const char c = s[j];
    if (quote != 0 && c == quote && (j == 0 || s[j - 1] != '\\')) return j;
    if (c == '*' && j + 1 < s.size() && s[j + 1] == '/') return j;
    if (c == '-' && s.compare(j, 3, "-->") == 0) return j;
    if ((c == '"' || c == '\'') &&
        (s.compare(j, 3, "\"\"\"") == 0 || s.compare(j, 3, "'''") == 0)) {
      return j;
    }
    if (c == '|' && j > 0 && s[j - 1] == ' ' && j + 1 < s.size() && s[j + 1] == ' ') return j;
    const bool word_start =
        j == from || (!is_alnum(s[j - 1]) && s[j - 1] != '@' && !is_high(s[j - 1]));
    if (!word_start || !(is_alpha(c) || c == '@' || c == '$' || c == '*' || c == '(' ||
                         c == '\xc2' || c == 's' || c == 'S')) {
      continue;
    }
    const char first = lower(c);
    for (const string_view stop : kInclusiveStops) {
      if (stop[0] == first && ci_at(s, j, stop)) {
        size_t end = j + stop.size();
        if (end < s.size() && (s[end] == '.' || s[end] == '!')) ++end;
        return end;
      }
    }
    if (is_alpha(c) || c == '@' || c == '$' || c == '*') {
      for (const string_view stop : phrases_from(kStopTable, first)) {
        if (ci_at(s, j, stop) &&
            (is_alpha(stop.back()) ? j + stop.size() == s.size() || !is_alnum(s[j + stop.size()])
                                   : true) &&
            !(stop.back() == ':' && j >= from + 2 && is_alnum(s[j - 2]))) {  // "X authors: A, B"
          return j;
        }
      }
      if (j >= from + 2 && s[j - 1] == ' ' && s[j - 2] == '.' && is_upper(c) &&
          listed(word_from(s, j), kSentenceStarts) && names_someone(s.substr(from, j - from))) {
        // "Inc. All rights reserved" is handled above; an initial ("J. The")
        // is rare enough.
        return j;
      }
    }
    if ((j > from || from == 0) && new_statement_at(s, j)) return j;
  }
  return limit;
}

// ---------------------------------------------------------------- holders

// True for a bare domain name: "zloirock.ru", "core-js.io".
bool domain(string_view s) {
  const size_t dot = s.rfind('.');
  if (dot == kNpos || dot == 0 || s.size() - dot - 1 < 2 || s.size() - dot - 1 > 6) return false;
  for (size_t k = 0; k < s.size(); ++k) {
    const char c = s[k];
    if (!(is_lower(c) || is_digit(c) || c == '-' || c == '.' || (c == '/' && k + 1 == s.size()))) {
      return false;
    }
  }
  for (size_t k = dot + 1; k < s.size(); ++k) {
    if (!is_lower(s[k]) && s[k] != '/') return false;
  }
  return true;
}

// Removes bracketed spans ( ), < >, [ ] that hold an e-mail address, a URL,
// a domain name or a quoted role ("Author").
string drop_bracketed_addresses(string_view s) {
  string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    const char close = c == '(' ? ')' : c == '<' ? '>' : c == '[' ? ']' : 0;
    if (close != 0) {
      size_t depth = 1;  // "<<https://x.org>>"
      while (i + depth < s.size() && s[i + depth] == c) ++depth;
      const size_t end = find_near(s, string(depth, close), i + depth, 300);
      if (end != kNpos && end - i < 300) {
        const string inside = lower_copy(s.substr(i + depth, end - i - depth));
        if (inside.find(c) != kNpos) {  // "<Jonne Hass <me@x.org>>": the inner one goes
          out.push_back(c);
          continue;
        }
        if (email_or_url(inside) || inside.find(" at ") != kNpos || inside.find("(at)") != kNpos ||
            inside.find("[at]") != kNpos || inside.find(" dot ") != kNpos || domain(inside) ||
            (c == '(' && inside.size() > 2 && inside.front() == '"' && inside.back() == '"')) {
          out.push_back(' ');
          i = end + depth - 1;
          continue;
        }
      }
    }
    out.push_back(c);
  }
  return out;
}

bool abbreviation(string_view word) {
  const string w = lower_copy(word);
  if (w.size() == 1 && is_alpha(w[0])) return true;  // an initial
  if (w.find('.') != kNpos) return true;             // "e.V", "S.A", "U.S.A"
  return any_of(w, {"inc", "ltd", "co", "corp", "jr", "sr", "pty", "bros", "assoc", "al", "etc",
                    "mfg", "intl", "dept", "univ", "plc", "ag", "st"});
}

// Countries, as written after a holder's name ("fsyncd, Berlin, Germany").
constexpr string_view kCountryList =
    " germany france usa u.s.a. uk england scotland switzerland spain italy austria belgium"
    " netherlands holland denmark sweden norway finland iceland ireland poland portugal greece"
    " czechia hungary romania russia ukraine israel turkey india china japan korea taiwan"
    " singapore australia canada brazil argentina mexico chile africa egypt luxembourg"
    " estonia latvia lithuania slovenia slovakia croatia serbia bulgaria ";
constexpr auto kCountries = word_set<count_words(kCountryList)>(kCountryList);

// True for a place name written after a holder: a country ("The
// Netherlands", "New Zealand", "South Africa" too).
bool country(string_view part) {
  string w = lower_copy(trim_blanks(part));
  for (const string_view lead : {"the ", "new ", "south ", "north ", "united ", "czech "}) {
    if (w.compare(0, lead.size(), lead) == 0) w.erase(0, lead.size());
  }
  if (w == "zealand" || w == "states" || w == "kingdom" || w == "republic") return true;
  return listed(w, kCountries);
}

// Removes the places after a holder's name: ", Berlin, Germany", "(Paris,
// FRANCE)". A city goes with its country: a last part of one word, or of
// words joined by lower-case particles ("Cerdanyola del Vallès").
void drop_places(string* h) {
  if (h->size() > 2 && h->back() == ')') {
    const size_t open = h->rfind('(');
    if (open != string::npos && open > 0) {
      const size_t comma = h->find(',', open);
      const size_t from = comma == string::npos ? open + 1 : comma + 1;
      if (country(string_view(*h).substr(from, h->size() - 1 - from))) {
        h->erase(open);
        while (!h->empty() && h->back() == ' ') h->pop_back();
      }
    }
  }
  size_t comma = h->rfind(',');
  if (comma == string::npos || !country(string_view(*h).substr(comma + 1))) return;
  h->erase(comma);
  comma = h->rfind(',');
  if (comma == string::npos) return;
  const string_view city = trim_blanks(string_view(*h).substr(comma + 1));
  int capitals = 0, particles = 0;
  for (const string_view t : tokens_of(city)) {
    if (is_upper(t[0]) || high_letter(t, 0)) {
      ++capitals;
    } else if (listed(t, " de del della di da du la le am an der sur upon ")) {
      ++particles;
    } else {
      return;
    }
  }
  if ((capitals == 1 || (capitals == 2 && particles > 0)) && city.size() < 40) h->erase(comma);
}

// The holder of a statement text.
string holder_of(string_view text) {
  // The holder ends where the statement's prose starts: "X, see LICENSE" (an
  // SPDX tag's value is kept whole), "X; contributed by Y".
  size_t from = 0;
  while (from < text.size() && is_alpha(text[from])) ++from;  // "Portions"
  if (from > 0 && listed(lower_copy(text.substr(0, from)),
                         " portions portion parts modifications additions ")) {
    text.remove_prefix(from);
  }
  from = 0;
  while (from < text.size()) {
    size_t length = 0;
    if (text[from] == ' ' || text[from] == ':') {
      ++from;
    } else if (marker_at(text, from, &length) != Marker::kNone) {
      from += length;
    } else {
      break;
    }
  }
  text = text.substr(0, body_end(text, from, 0));
  for (const string_view cut : {"contributed by", "; see ", ", see "}) {
    const size_t at = lower_copy(text).find(cut);
    if (at != kNpos) text = text.substr(0, at);
  }
  // "X; written for Y", "X; Modified work ...".
  for (size_t at = text.find("; "); at != kNpos; at = text.find("; ", at + 1)) {
    if (at + 2 < text.size() &&
        (is_lower(text[at + 2]) || listed(word_from(text, at + 2), kSentenceStarts))) {
      text = text.substr(0, at);
      break;
    }
  }
  // Markers out, "All rights reserved" out.
  string s;
  for (size_t i = 0; i < text.size();) {
    size_t length = 0;
    if (marker_at(text, i, &length) != Marker::kNone) {
      s.push_back(' ');
      i += length;
      continue;
    }
    bool cut = false;
    for (const string_view stop : kInclusiveStops) {
      if (ci_at(text, i, stop)) {
        s.push_back(' ');
        i += stop.size();
        if (i < text.size() && (text[i] == '.' || text[i] == '!')) ++i;  // its own period
        cut = true;
        break;
      }
    }
    if (!cut) s.push_back(text[i++]);
  }
  string address;  // the holder when nothing else names one
  for (const string_view t : tokens_of(s)) {
    if (address.empty() && email_or_url(t)) address = t;
  }
  s = drop_bracketed_addresses(s);
  const std::vector<string_view> tokens = tokens_of(s);
  // Years, and the months, days and dashes beside them ("June 2007", "July
  // 31, 2007", "1998 - 2003").
  std::vector<char> dated(tokens.size() + 1);
  for (size_t k = 0; k < tokens.size(); ++k) dated[k] = year_token(tokens[k]);
  for (size_t k = tokens.size(); k-- > 0;) {
    string w = lower_copy(tokens[k]);
    while (!w.empty() && (w.back() == '.' || w.back() == ',')) w.pop_back();
    const bool month = is_upper(tokens[k][0]) &&
                       listed(w,
                              " jan feb mar apr jun jul aug sep sept oct nov dec january february"
                              " march april may june july august september october november"
                              " december ");
    const bool day = tokens[k].size() <= 3 && is_digit(tokens[k][0]);
    if ((month || day) && dated[k + 1]) dated[k] = 1;  // not "2007 Jan Smith"
  }
  std::vector<string_view> kept;
  for (size_t k = 0; k < tokens.size(); ++k) {
    const string_view t = tokens[k];
    if (dated[k] && !kept.empty() && kept.back().back() != ',' && k + 1 < tokens.size() &&
        !dated[k + 1]) {
      kept.push_back(",");  // "Foo 2008 Bar": two holders
    }
    if (dated[k] || email_or_url(t) || t == "()" || t == "[]" || t == "<>") continue;
    const bool dash = t == "-" || t == "," || t == "\xe2\x80\x93" || t == "\xe2\x80\x94";
    if (dash && (kept.empty() || (k > 0 && dated[k - 1]) || (t != "," && dated[k + 1]))) continue;
    kept.push_back(t);
  }
  // "by", "and", "&" and punctuation are dropped at both ends.
  const auto edge_word = [](string_view t) {
    const string w = lower_copy(t);
    return any_of(w, {"by", "by:", "and", "&", "-", ",", ";", ":", "/", "+", "|", "(", ")",
                      "and/or", "'", "\""});
  };
  size_t first = 0, last = kept.size();
  while (first < last && edge_word(kept[first])) ++first;
  while (last > first && edge_word(kept[last - 1])) --last;
  string h;
  for (size_t k = first; k < last; ++k) {
    if (!h.empty() && kept[k] != "," && kept[k] != ".") h.push_back(' ');
    h += kept[k];
  }
  // Punctuation at the ends.
  const string_view lead = ",;:.-/&)]}<>|+'\"*=!?~";
  const string_view trail = ",;:-/&([{<>|+'\"*=#~";
  for (bool changed = true; changed;) {
    changed = false;
    while (!h.empty() && (lead.find(h.front()) != kNpos || h.front() == ' ')) {
      h.erase(0, 1);
      changed = true;
    }
    while (!h.empty() && (trail.find(h.back()) != kNpos || h.back() == ' ')) {
      h.pop_back();
      changed = true;
    }
    while (h.size() >= 2 && h.back() == '.' && h[h.size() - 2] == '.') {
      h.pop_back();
      changed = true;
    }
    if (!h.empty() && h.back() == '.') {
      const size_t space = h.find_last_of(' ', h.size() - 1);
      const string_view last_word = string_view(h).substr(
          space == kNpos ? 0 : space + 1, h.size() - 1 - (space == kNpos ? 0 : space + 1));
      if (!abbreviation(last_word)) {
        h.pop_back();
        changed = true;
      }
    }
    // An unbalanced parenthesis at the end: "Foo (" or "Foo )".
    if (!h.empty() && h.back() == ')' && h.find('(') == kNpos) {
      h.pop_back();
      changed = true;
    }
  }
  // Edge words may show again once punctuation is gone ("2003, by Foo").
  for (bool changed = true; changed;) {
    changed = false;
    for (const string_view w : {"by ", "and ", "& "}) {
      if (ci_at(h, 0, w)) {
        h.erase(0, w.size());
        changed = true;
      }
    }
    for (const string_view w : {" and", " by", " &"}) {
      if (h.size() >= w.size() && lower_copy(string_view(h).substr(h.size() - w.size())) == w) {
        h.erase(h.size() - w.size());
        changed = true;
      }
    }
  }
  bool letter = false;
  for (const char c : h) letter = letter || is_alpha(c) || is_high(c);
  if (!letter) {
    h.clear();
    for (const char c : address) {
      if (string_view("<>()[],;").find(c) == kNpos) h.push_back(c);
    }
  }
  drop_places(&h);
  if (listed(lower_copy(h), " none noassertion unknown n/a nobody various ")) h.clear();
  return h;
}

// Trims blanks and the punctuation a statement does not end with.
string_view trim_statement(string_view s) {
  while (!s.empty() && (s.front() == ' ')) s.remove_prefix(1);
  for (bool changed = true; changed;) {
    changed = false;
    while (!s.empty() && string_view(" ,;:-([{<|&+=").find(s.back()) != kNpos) {
      s.remove_suffix(1);
      changed = true;
    }
    if (s.size() > 3 && s.substr(s.size() - 3) == " or") {  // "... Sun Microsystems or"
      s.remove_suffix(3);
      changed = true;
    }
  }
  return s;
}

// The last word of s, lower case.
string last_word(string_view s) {
  size_t end = s.size();
  while (end > 0 && (s[end - 1] == ' ')) --end;
  size_t start = end;
  while (start > 0 && s[start - 1] != ' ') --start;
  return lower_copy(s.substr(start, end - start));
}

// ---------------------------------------------------------------- lines

// True for a line of a postal address: "59 Temple Place", "P. O. Box 2528",
// "Boston, MA 02110-1301 USA".
bool postal_address(string_view s) {
  if (s.empty()) return false;
  if (is_digit(s[0]) && !year_at(s, 0)) return true;
  const string lowered = lower_copy(s);
  for (const string_view p : {"boston", "p. o. box", "p.o. box", "po box", "suite ", "floor,"}) {
    if (lowered.find(p) != kNpos) return true;
  }
  size_t digits = 0;  // a postal code
  for (const char c : s) {
    digits = is_digit(c) ? digits + 1 : 0;
    if (digits == 5) return true;
  }
  return false;
}

// Columns of a raw line's indentation and comment leader.
size_t leader_width(string_view raw) {
  size_t width = 0;
  for (const char c : raw) {
    if (c == '\t') {
      width = (width / 8 + 1) * 8;
    } else if (string_view(" */#;%!-'|(").find(c) != kNpos) {
      ++width;
    } else {
      break;
    }
  }
  return width;
}

// Columns a raw line takes (tabs to multiples of 8, trailing blanks out).
size_t display_width(string_view raw) {
  size_t width = 0, end = 0;
  for (const char c : raw) {
    if (c == '\t') {
      width = (width / 8 + 1) * 8;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
      ++width;
    }
    if (c != ' ' && c != '\t' && c != '\r') end = width;
  }
  return end;
}

struct Reader {
  string_view text;
  // The line starting at `begin` (without its '\n'), and where the next starts.
  string_view line(size_t begin, size_t* next) const {
    const size_t end = text.find('\n', begin);
    *next = end == kNpos ? text.size() : end + 1;
    return text.substr(begin, (end == kNpos ? text.size() : end) - begin);
  }
};

// Authors: "Written by X", "Contributed by X", "Author: X", "@author X", ...
struct AuthorTrigger {
  string_view phrase;
  bool lower_case_names;  // user names such as "jdoe" are accepted
  bool list;              // names may go on over the next lines
};
constexpr AuthorTrigger kAuthorTriggers[] = {
    {"written by:", false, false},     {"written by ", false, false},
    {"contributed by ", false, false}, {"authored by:", false, false},
    {"authored by ", false, false},    {"author:", true, true},
    {"authors:", true, true},          {"author :", true, true},
    {"authors :", true, true},         {"author(s):", true, true},
    {"author::", true, false},         {"@author ", true, false},
    {"\\author ", true, false}};

void add_author(string name, std::vector<string>* authors) {
  if (name.empty()) return;
  for (const string& a : *authors) {
    if (a == name) return;
  }
  authors->push_back(std::move(name));
}

// A name as authors are listed: no address, handle or URL, no trailing
// years or punctuation; "" when it reads as no name.
string clean_author(string_view raw, bool lower_case_names) {
  string kept;
  const string plain = drop_bracketed_addresses(raw);
  string address;
  for (string_view t : tokens_of(plain)) {
    if (email_or_url(t) || t[0] == '@' || t == "-" || t == "<" || t == ">") {
      if (address.empty() && t.find('@') != kNpos && t[0] != '@') address = t;
      continue;
    }
    if (!kept.empty()) kept.push_back(' ');
    kept += t;
  }
  if (kept.empty() && plain.find_first_of("<([") == string::npos) kept = address;  // "a.b@c.uk"
  string name(trim_statement(kept));
  while (ci_at(name, 0, "and ") || ci_at(name, 0, "& ")) name.erase(0, name.find(' ') + 1);
  for (bool changed = true; changed;) {  // "(Davide Cervone)", "'Foo'", "Foo, 2003."
    changed = false;
    if (name.size() >= 2 && string_view("(\"'").find(name.front()) != kNpos) {
      name.erase(0, 1);
      changed = true;
    }
    while (!name.empty() && string_view(")\"'$,;:- ").find(name.back()) != kNpos) {
      name.pop_back();
      changed = true;
    }
    if (!name.empty() && name.back() == '.' &&
        !abbreviation(last_word(string_view(name).substr(0, name.size() - 1)))) {
      name.pop_back();
      changed = true;
    }
    const size_t space = name.find_last_of(' ');
    if (space != string::npos && year_token(string_view(name).substr(space + 1))) {
      name.erase(space);
      changed = true;
    }
  }
  if (name.empty() || name.size() > kMaxAuthor ||
      name.find_first_of("_:=(){}[];\\|") != string::npos) {
    return {};
  }
  const char c = name[0];
  if (!(is_upper(c) || is_high(c) || (lower_case_names && is_alnum(c)))) return {};
  if (listed(lower_copy(name),
             " unknown unascribed me you n/a none tbd todo anonymous the author"
             " authors hand himself herself someone others ")) {
    return {};
  }
  if (placeholder(name) || ci_at(name, 0, "james random hacker")) return {};
  while (!name.empty() && (name.back() == '/' || name.back() == ' ')) name.pop_back();
  return name;
}

// The authors named at s[i...] (after a trigger): "Foo, Bar and Baz" are
// three.
std::vector<string> author_names(string_view text, size_t i, bool lower_case_names) {
  i = skip_blanks(text, i);
  if (text.compare(i, 8, "$Author:") == 0) i = skip_blanks(text, i + 8);
  size_t marker_length = 0;
  if (i < text.size() && marker_at(text, i, &marker_length) != Marker::kNone) {
    // "\author Copyright 2001 Foo <foo@x.org>"
    string name = clean_author(holder_of(text.substr(i)), lower_case_names);
    if (name.empty()) return {};
    return {name};
  }
  const string plain = drop_bracketed_addresses(text.substr(i, 4 * kMaxAuthor));
  const string_view s = plain;
  i = 0;
  size_t end = body_end(s, i, 0);
  // Prepositions end the names: "Written by Foo for the Bar project".
  for (size_t j = i; j < end; ++j) {
    if (s[j] != ' ') continue;
    const string w = word_from(s, j + 1);
    if ((j + 1 < end && is_lower(s[j + 1]) &&
         listed(w,
                " for in at on from with as using to during when while under since who which"
                " that is was based after around starting copyright via ")) ||
        (w == "and" && j + 5 < end && is_lower(s[j + 5]))) {
      end = j;
      break;
    }
  }
  std::vector<string> names;
  string_view rest = s.substr(i, utf8_floor(s, std::min(end, i + 4 * kMaxAuthor)) - i);
  while (!rest.empty()) {
    size_t cut = rest.size(), skip = 0;
    for (const string_view sep :
         {string_view(", "), string_view("; "), string_view(" and "), string_view(" & ")}) {
      const size_t at = rest.find(sep);
      if (at != kNpos && at < cut) {
        cut = at;
        skip = sep.size();
      }
    }
    string name = clean_author(rest.substr(0, cut), lower_case_names);
    if (!name.empty()) names.push_back(std::move(name));
    rest.remove_prefix(std::min(rest.size(), cut + skip));
  }
  return names;
}

// The name assigned in code: __author__ = "Foo", AUTHOR => 'Foo <f@x.org>'.
string assigned_author(string_view line) {
  size_t i = 0;
  if (ci_at(line, 0, "__author__")) {
    i = 10;
  } else if (ci_at(line, 0, "author") && line.size() > 6 && line[6] == ' ') {
    i = 6;
  } else {
    return {};
  }
  i = skip_blanks(line, i);
  if (line.compare(i, 2, "=>") == 0) {
    i += 2;
  } else if (i < line.size() && line[i] == '=') {
    ++i;
  } else {
    return {};
  }
  i = skip_blanks(line, i);
  if (i >= line.size() || (line[i] != '"' && line[i] != '\'')) return {};
  const size_t close = line.find(line[i], i + 1);
  if (close == kNpos) return {};
  return clean_author(line.substr(i + 1, close - i - 1), true);
}

// ---------------------------------------------------------------- the scan

// Candidate byte pairs: "op" of "copyright"/"copr", "(c" / "(C", the sign
// (UTF-8 and Latin-1), '&' of the entities, "by" of "written by", "au" of
// "author"; each is checked at once by `candidate`.
struct PairTable {
  std::array<uint64_t, 1024> bits{};
  constexpr void set(unsigned a, unsigned b) {
    const unsigned k = a | b << 8;
    bits[k >> 6] |= uint64_t{1} << (k & 63);
  }
  constexpr bool test(unsigned k) const { return (bits[k >> 6] >> (k & 63) & 1) != 0; }
};

constexpr PairTable make_pairs() {
  PairTable t;
  for (const char a : {'o', 'O'}) {
    for (const char b : {'p', 'P'})
      t.set(static_cast<unsigned char>(a), static_cast<unsigned char>(b));
  }
  t.set('(', 'c');
  t.set('(', 'C');
  t.set(0xC2, 0xA9);
  for (unsigned b = 0; b < 256; ++b) t.set(0xA9, b);
  t.set('&', 'c');
  t.set('&', '#');
  for (const char a : {'b', 'B'}) {
    for (const char b : {'y', 'Y'})
      t.set(static_cast<unsigned char>(a), static_cast<unsigned char>(b));
  }
  for (const char a : {'a', 'A'}) {
    for (const char b : {'u', 'U'})
      t.set(static_cast<unsigned char>(a), static_cast<unsigned char>(b));
  }
  return t;
}

constexpr PairTable kPairs = make_pairs();

// True when the pair at text[i] starts a marker or an author trigger.
bool candidate(string_view t, size_t i) {
  const char c = t[i];
  const auto at = [&](size_t k) { return k < t.size() ? t[k] : '\0'; };
  switch (c) {
    case 'o':
    case 'O':
      return i > 0 && (ci_at(t, i - 1, "copyright") || ci_at(t, i - 1, "copr"));
    case '(': {
      if (i > 0 && t[i - 1] == '\\' && lower(at(i + 2)) == 'o') return true;  // roff's \(co
      // "(c)" after an identifier is code ("Copyright(c)" is found by its
      // word), and a year or a name follows a sign.
      if (at(i + 2) != ')' || (i > 0 && is_ident(t[i - 1]))) return false;
      size_t k = i + 3;
      while (k < t.size() && (t[k] == ' ' || t[k] == '\t')) ++k;
      const char n = at(k);
      return is_digit(n) || is_upper(n) || is_high(n);
    }
    case '&':
      return ci_at(t, i, "&copy;") || ci_at(t, i, "&#169;") || ci_at(t, i, "&#xa9;");
    case 'b':
    case 'B':
      return (at(i + 2) == ' ' || at(i + 2) == '\t' || at(i + 2) == ':') && i >= 2 &&
             (ci_at(t, i - 8, "written ") || ci_at(t, i - 12, "contributed ") ||
              ci_at(t, i - 9, "authored "));
    case 'a':
    case 'A':
      return ci_at(t, i, "author");
    default:
      return true;  // the sign
  }
}

// The newlines in s, eight bytes at a time.
size_t count_newlines(string_view s) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL, kNewlines = 0x0A0A0A0A0A0A0A0AULL;
  size_t count = 0, i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t x;
    std::memcpy(&x, s.data() + i, 8);
    x ^= kNewlines;                                              // a newline byte is now zero
    const uint64_t high = ~(((x & kLow7) + kLow7) | x | kLow7);  // 0x80 where a byte is zero
    count += static_cast<size_t>(__builtin_popcountll(high));
  }
  for (; i < s.size(); ++i) count += s[i] == '\n';
  return count;
}

// Position of the next candidate at or after `from` (kNpos when none): 16
// bytes at a time, the pairs of kPairs are looked for with vector compares
// (folding case with | 0x20: "op", "(c", "by", "au", and '&', 0xA9 alone);
// only a block that holds one is looked at byte by byte.
size_t next_candidate(string_view t, size_t from) {
  using Bytes = unsigned char __attribute__((vector_size(16)));
  const auto splat = [](unsigned char c) {
    Bytes v;
    for (int k = 0; k < 16; ++k) v[k] = c;
    return v;
  };
  const Bytes fold = splat(0x20), o = splat('o'), p = splat('p'), paren = splat('('),
              c = splat('c'), amp = splat('&'), sign = splat(0xA9), b = splat('b'), y = splat('y'),
              a = splat('a'), u = splat('u');
  size_t i = from;
  for (; i + 17 <= t.size(); i += 16) {
    Bytes first, second;
    std::memcpy(&first, t.data() + i, 16);
    std::memcpy(&second, t.data() + i + 1, 16);
    const Bytes f = first | fold, s = second | fold;
    const auto hits = ((f == o) & (s == p)) | ((first == paren) & (s == c)) | (first == amp) |
                      (first == sign) | ((f == b) & (s == y)) | ((f == a) & (s == u));
    uint64_t halves[2];
    std::memcpy(halves, &hits, 16);
    if ((halves[0] | halves[1]) == 0) continue;
    for (size_t k = i; k < i + 16; ++k) {
      const unsigned pair = static_cast<unsigned char>(t[k]) | static_cast<unsigned char>(t[k + 1])
                                                                   << 8;
      if (kPairs.test(pair) && candidate(t, k)) return k;
    }
  }
  for (; i < t.size(); ++i) {
    const unsigned pair = static_cast<unsigned char>(t[i]) |
                          (i + 1 < t.size() ? static_cast<unsigned char>(t[i + 1]) : 0u) << 8;
    if (kPairs.test(pair) && candidate(t, i)) return i;
  }
  return kNpos;
}

class Scanner {
 public:
  explicit Scanner(string_view text) : reader_{text} {}

  CopyrightFindings run() {
    const string_view t = reader_.text;
    size_t i = 0;
    size_t resume = 0;  // start of the line the scan is in
    while (i < t.size()) {
      const size_t found = next_candidate(t, i);
      if (found == kNpos) break;
      // Its line, and the line's number.
      size_t begin = resume;
      if (found > resume) {
        const void* nl = memrchr(t.data() + resume, '\n', found - resume);
        if (nl != nullptr) begin = static_cast<const char*>(nl) - t.data() + 1;
      }
      count_lines_to(begin);
      // A long line (minified code) is read in a window around the
      // candidate, so that many candidates on it cost no more than its length.
      size_t line_end = reader_.text.find('\n', found);
      const size_t next_line = line_end == kNpos ? t.size() : line_end + 1;
      if (line_end == kNpos) line_end = t.size();
      size_t end = line_end;
      if (line_end - begin > kLongLine) {
        begin = std::max(begin, utf8_floor(t, found > kWindowBefore ? found - kWindowBefore : 0));
        end = std::min(line_end, utf8_floor(t, found + kWindowAfter));
      }
      const size_t next = process_line(begin, end, end == line_end ? next_line : kNpos);
      count_lines_to(next);
      resume = i = next;
    }
    return std::move(findings_);
  }

 private:
  // Advances the line count to the line starting at `position`.
  void count_lines_to(size_t position) {
    line_ += static_cast<int>(count_newlines(reader_.text.substr(counted_, position - counted_)));
    counted_ = position;
  }

  // Reads the statements and authors of text[begin, end), a line or a window
  // of one (then `next` is kNpos: nothing goes on over the next lines);
  // returns where the scan goes on (after the last line used).
  size_t process_line(size_t begin, size_t end, size_t next) {
    const string_view raw = reader_.text.substr(begin, end - begin);
    const string line = clean_line(raw);
    size_t after = next == kNpos ? end : next;
    if (next == kNpos) next = reader_.text.size();
    const int number = line_ + 1;
    const size_t width = display_width(raw), indent = leader_width(raw);
    QuoteCount quotes;
    size_t i = 0;
    while (i < line.size()) {
      const size_t m = find_marker(line, i);
      if (m == kNpos) break;
      const Group g = group_at(line, m);
      i = g.end;
      Reading r;
      r.next = next;
      r.width = width;
      r.end_line = number;
      r.indent = indent;
      r.quotes = &quotes;
      if (!read_statement(line, g, &r)) continue;
      i = std::max(r.stop, g.end);
      string holder = holder_of(r.text);
      const bool name_form = !g.word && !year_at(line, skip_blanks(line, g.end));
      if ((holder.empty() && !r.bare_years) || placeholder(drop_bracketed_addresses(r.text)) ||
          prose_holder(holder) || (name_form && !looks_like_names(holder))) {
        continue;
      }
      findings_.statements.push_back(CopyrightStatement{.text = std::move(r.text),
                                                        .holder = std::move(holder),
                                                        .start_line = number,
                                                        .end_line = r.end_line});
      if (r.next > after && r.end_line > number) after = r.next;  // lines taken
    }
    read_authors(line, raw, next);
    return after;
  }

  struct QuoteCount {
    size_t to = 0, count = 0;  // the double quotes before line[to]
  };

  struct Reading {
    size_t next = 0;          // start of the line after the statement's last one
    size_t width = 0;         // columns of the statement's last raw line
    int end_line = 0;         // the statement's last line
    size_t stop = 0;          // where the statement ends on its first line
    string text;              // the statement
    bool bare_years = false;  // a line of markers and years only: "Copyright (c) 2010"
    size_t indent = 0;        // columns of the first line's comment leader
    QuoteCount* quotes = nullptr;
  };

  // Reads the statement whose markers are `g` on `line` (and, when its holder
  // goes on, on the following lines); false when it is none.
  bool read_statement(const string& line, const Group& g, Reading* r) {
    const size_t after = skip_blanks(line, g.end);
    // In a string literal, the statement is the literal's text.
    char quote = 0;
    if (g.begin > 0 &&
        (line[g.begin - 1] == '"' || line[g.begin - 1] == '\'' || line[g.begin - 1] == '`')) {
      quote = line[g.begin - 1];
    } else {
      QuoteCount& q = *r->quotes;  // counted so far on this line, up to q.to
      for (; q.to < g.begin; ++q.to) {
        q.count += line[q.to] == '"' && (q.to == 0 || line[q.to - 1] != '\\');
      }
      if (q.count % 2 == 1) quote = '"';
    }
    if (quote != 0 && find_near(line, string_view(&quote, 1), g.end, kMaxStatement) == kNpos)
      quote = 0;
    // The word before the markers: "Portions Copyright ...", or prose.
    size_t before = g.begin;
    while (before > 0 && line[before - 1] == ' ') --before;
    size_t word = before;
    while (word > 0 && is_alpha(line[word - 1])) --word;
    const string previous = lower_copy(string_view(line).substr(word, before - word));
    size_t start = g.begin;
    if (listed(previous, " portions portion parts modifications additions ") &&
        (word == 0 || line[word - 1] == ' ')) {
      start = word;
    } else if (before == 4 && year_at(line, 0)) {
      start = before - 4;  // "2012 (C) IBH IT-Service GmbH"
    }
    const bool doc_tag = g.first == Marker::kWord && g.begin > 0 && line[g.begin - 1] == '@';
    if (g.spdx || doc_tag) {
      // The tag's value, whole: "SPDX-FileCopyrightText: 2022 X, see LICENSE",
      // "@copyright 2003 X".
      size_t end = line.size();
      end = std::min(end, after + kMaxStatement);
      for (const string_view closer : {"*/", "-->"}) {
        end = std::min(end, find_near(line, closer, after, kMaxStatement));
      }
      if (quote != 0)
        end = std::min(end, find_near(line, string_view(&quote, 1), after, kMaxStatement));
      r->stop = end;
      r->text = string(trim_statement(string_view(line).substr(after, end - after)));
      return !r->text.empty();
    }
    const char n = after < line.size() ? line[after] : '\0';
    const bool adjacent = after == g.end;
    if (g.word && (n == '=' || n == ':' || (n == quote && n != 0))) {
      // A value assigned to a copyright key: copyright = "2010, Foo".
      size_t k = after + (n == quote ? 1 : 0);
      k = skip_blanks(line, k);
      if (k < line.size() && line[k] == ':') {  // a type: "__copyright__: str = ..."
        size_t type = skip_blanks(line, k + 1);
        while (type < line.size() && is_ident(line[type])) ++type;
        type = skip_blanks(line, type);
        if (type > k + 1 && type < line.size() && line[type] == '=' && line[type - 1] == ' ')
          k = type;
      }
      if (k < line.size() && (line[k] == '=' || line[k] == ':')) {
        k = skip_blanks(line, k + (line.compare(k, 2, "=>") == 0 ? 2 : 1));
        if (k + 1 < line.size() && (line[k] == 'u' || line[k] == 'r') && line[k + 1] != ' ') ++k;
        const char q = k < line.size() ? line[k] : '\0';
        const size_t close = q == '"' || q == '\''
                                 ? find_near(line, string_view(&q, 1), k + 1, kMaxStatement)
                                 : kNpos;
        const string_view value =
            close == kNpos ? string_view() : string_view(line).substr(k + 1, close - k - 1);
        size_t value_marker = 0;
        if (!value.empty() && has_year(value) &&
            marker_at(value, 0, &value_marker) == Marker::kNone) {
          r->stop = close + 1;
          r->text = string(trim_statement(value));
          return names_someone(r->text);
        }
      }
    }
    if (g.word) {
      // Code: an identifier, an assignment, a call, a key, a path.
      if (n != '\0' && string_view("=()];_[{$%>|'\"`.\\/").find(n) != kNpos &&
          !((n == '(' || n == '[') && after + 1 < line.size() && is_digit(line[after + 1]))) {
        return false;
      }
      if (n == '-' && adjacent) return false;
      if (n == ',' && !g.signed_markers && !year_at(line, skip_blanks(line, after + 1))) {
        return false;  // "copyright, trademark"
      }
      if (is_lower(line[g.begin]) && g.end == g.begin + 9 && is_lower(n) &&
          !has_year(string_view(line).substr(after, kMaxStatement))) {
        return false;  // "copyright like ...": lower case on both sides and no year
      }
      if (n == ':' && after + 1 < line.size() &&
          (is_alpha(line[after + 1]) || line[after + 1] == '_' ||
           (line[after + 1] == ':' && line.compare(after, 3, ":: ") != 0))) {
        return false;
      }
      if (g.begin >= 2 && line[g.begin - 1] == ':' && line[g.begin - 2] == ':') return false;
      if (g.begin > 0 && (line[g.begin - 1] == '%' || line[g.begin - 1] == '$')) return false;
      if (prose_follows(line, after, g.signed_markers)) return false;
      if (!previous.empty() && n != '\0' && !is_digit(n) && g.first == Marker::kWord &&
          is_lower(line[g.begin]) && listed(previous, kProseBefore)) {
        return false;
      }
    } else {
      // "(c)" and the sign alone: a year must follow, or a name.
      if (n == '\0') return false;
      if (!year_at(line, after)) {
        if (adjacent || !(is_upper(n) || high_letter(line, after))) return false;
        const size_t window = g.begin > 200 ? g.begin - 200 : 0;
        if (looks_like_code(string_view(line).substr(window, 400))) return false;
        if (g.first == Marker::kParen && before > 0 &&
            string_view("|-,;:").find(line[before - 1]) == kNpos && !is_digit(line[before - 1])) {
          return false;
        }
      }
    }
    const size_t end = body_end(line, g.end, quote);
    r->stop = end;
    r->text = string(trim_blanks(string_view(line).substr(start, end - start)));
    if (quote == 0 && looks_like_code(trim_statement(r->text))) return false;
    if (start == g.begin && start > 0 && !names_someone(r->text)) {
      // The holder written before the marker: "Kristofer Peterson, (C) 2018."
      size_t from = start > 200 ? start - 200 : 0;
      while (from < start && (static_cast<unsigned char>(line[from]) & 0xC0) == 0x80) ++from;
      const string_view prefix = trim_blanks(string_view(line).substr(from, start - from));
      // Without a comma, only a short name before a sign: "Henrik Ingo (c) 2016".
      const bool short_name =
          !g.word && tokens_of(prefix).size() <= 4 && from == 0 &&
          std::none_of(prefix.begin(), prefix.end(), [](char c) { return is_digit(c); });
      if (!prefix.empty() && (prefix.back() == ',' || short_name) && looks_like_names(prefix) &&
          find_marker(prefix, 0) == kNpos && quote == 0 &&
          !listed(word_from(prefix, 0), kSentenceStarts)) {
        r->text = string(prefix) + " " + string(trim_statement(r->text));
        return true;
      }
    }
    if (quote != 0 || end < line.size()) {
      r->text = string(trim_statement(r->text));
      return true;
    }
    const bool first_has_year = year_at(line, after) || has_year(r->text);
    // The holder may go on over the next lines.
    bool listing = false;  // after "X authors:", a name a line
    for (int k = 0; k < kMaxContinuation && r->next < reader_.text.size(); ++k) {
      size_t following = 0;
      const string_view raw = reader_.line(r->next, &following);
      const string more = clean_line(raw.substr(0, kLookahead));
      if (more.empty() || looks_like_code(more)) break;
      const bool need_holder = holder_of(r->text).empty();
      if (need_holder && !first_has_year && !year_at(more, 0)) break;  // "COPYRIGHT" alone
      const string last = last_word(r->text);
      const bool dangling =
          !r->text.empty() && (string_view(",&-(/:").find(r->text.back()) != kNpos ||
                               listed(last, " and by of the for und et with and/or von van de "));
      listing = listing || (!r->text.empty() && r->text.back() == ':');
      const bool joins =
          ci_at(more, 0, "and ") || ci_at(more, 0, "& ") ||
          (is_lower(more[0]) && listed(word_from(more, 0), " of at in for de van von und et "));
      // A name aligned under the holder: "Copyright (C) 2002 Foo\n *          2008 Bar".
      const bool postal = postal_address(more);
      const bool aligned = leader_width(raw) >= r->indent + 4 && !postal;
      const string unaddressed = drop_bracketed_addresses(more);  // "(x@y.org), all rights ..."
      const size_t first_word = unaddressed.find_first_not_of(" ,;");
      const bool reserved =
          first_word != kNpos && ci_at(unaddressed, first_word, "all rights reserved");
      const bool address =
          (more[0] == '(' || more[0] == '<') && drop_bracketed_addresses(more)[0] == ' ';
      const size_t more_end = body_end(more, 0, 0);
      if (more_end == 0) break;  // a new statement, prose or an author line
      const string_view piece = trim_blanks(string_view(more).substr(0, more_end));
      if (piece.empty()) break;
      string names = drop_bracketed_addresses(piece);
      for (const string_view stop_phrase : kInclusiveStops) {
        const size_t at = lower_copy(names).find(stop_phrase);
        if (at != kNpos) names.erase(at);
      }
      if (names.find_first_not_of(" ,;:.") == kNpos) names.clear();
      const bool name_like = looks_like_names(names, !joins) || (need_holder && year_at(names, 0));
      // A holder wrapped by a filled paragraph: the line is long and the
      // next line's first word would not have fitted on it.
      const bool wrapped =
          r->width >= 56 && r->width + 1 + std::min(more.find(' '), more.size()) > 72 &&
          r->text.back() != '.' && more_end == more.size() && more.size() <= 60 && name_like;
      if (!need_holder && !dangling && !joins && !reserved && !wrapped && !address &&
          !((aligned || (listing && !postal)) && more_end == more.size())) {
        break;
      }
      if (!reserved && !name_like) break;  // lines of only an address are not joined either
      r->text.push_back(' ');
      r->text += piece;
      r->next = following;
      r->width = display_width(raw);
      ++r->end_line;
      if (more_end < more.size() || reserved) break;
    }
    r->text = string(trim_statement(r->text));
    const bool alone =
        start == 0 || (ci_at(line, 0, "copyright::") && start == skip_blanks(line, 11));
    r->bare_years = alone && first_has_year;
    return true;
  }

  void read_authors(const string& line, string_view raw, size_t next) {
    const string lowered = lower_copy(line);
    if (lowered.find("author") == kNpos && lowered.find(" by") == kNpos) return;
    bool listed_already = false;
    for (const AuthorTrigger& trigger : kAuthorTriggers) {
      for (size_t at = lowered.find(trigger.phrase); at != kNpos;
           at = lowered.find(trigger.phrase, at + 1)) {
        if (at > 0 &&
            (is_alnum(line[at - 1]) || line[at - 1] == '_' ||
             (trigger.phrase[0] == 'a' && (line[at - 1] == '@' || line[at - 1] == '\\')))) {
          continue;
        }
        const size_t after = at + trigger.phrase.size();
        const std::vector<string> names = author_names(line, after, trigger.lower_case_names);
        for (const string& name : names) add_author(name, &findings_.authors);
        if (names.empty() && skip_blanks(line, after) == line.size() && trigger.list) {
          read_author_list(next, false);
          listed_already = true;
        } else if (!names.empty() && trigger.list) {
          read_author_list(next, false, true);
        }
      }
    }
    if (string name = assigned_author(line); !name.empty()) {
      add_author(std::move(name), &findings_.authors);
    }
    // "Author Tobias Koppers @sokra"
    if (ci_at(line, 0, "author ") && line.size() > 7 && is_upper(line[7]) &&
        !listed(word_from(line, 7), kProseAfter)) {
      for (const string& name : author_names(line, 7, false)) {
        if (looks_like_names(name)) add_author(name, &findings_.authors);
      }
    }
    // A heading alone: "AUTHOR", "=head1 AUTHORS", ".SH AUTHOR", "## Authors".
    const string_view lead = trim_blanks(raw.substr(0, 16));
    if (!listed_already &&
        listed(lowered, " author authors author: authors: author(s) author(s): ") &&
        (line.back() == ':' || is_upper(line[1]) || lead.substr(0, 5) == "=head" ||
         lead.substr(0, 3) == ".SH" || lead.substr(0, 3) == ".Sh" || lead[0] == '#')) {
      read_author_list(next, true);
    }
  }

  // The authors listed one a line from the line starting at `next`: under a
  // heading (blank lines and list markup between them), after "Authors:"
  // alone on its line, or, `more`, after "Authors: X" (aligned names).
  void read_author_list(size_t next, bool heading, bool more_names = false) {
    int blanks = 0;
    for (int k = 0; k < kMaxAuthorLines && next < reader_.text.size(); ++k) {
      size_t following = 0;
      const string_view raw = reader_.line(next, &following);
      next = following;
      const string_view start = trim_blanks(raw.substr(0, 16));
      if (heading && (start.substr(0, 5) == "=head" || start.substr(0, 4) == "=cut" ||
                      start.substr(0, 3) == ".SH" || start.substr(0, 2) == "##")) {
        break;
      }
      const string more = clean_line(raw.substr(0, kLookahead));
      if (!more.empty() && more.find_first_not_of("-=~^") == kNpos) break;  // an underline
      if (more.empty() || (heading && more.find_first_not_of("0123456789*") == kNpos)) {
        if (++blanks > (heading ? 6 : 0)) break;
        continue;
      }
      blanks = 0;
      if (looks_like_code(more)) break;
      if (find_marker(more, 0) == 0) {
        // "Copyright (C) 2002 Foo" under the heading: its holder wrote it.
        const string holder = holder_of(more);
        if (heading && !holder.empty() && looks_like_names(holder) && !placeholder(more)) {
          add_author(clean_author(holder, false), &findings_.authors);
        }
        break;
      }
      if (find_marker(more, 0) != kNpos || body_end(more, 0, 0) == 0) break;
      const string names = drop_bracketed_addresses(more);
      const bool short_lower = heading && tokens_of(names).size() <= 4 &&
                               !listed(word_from(names, skip_blanks(names, 0)), kSentenceStarts);
      if (!looks_like_names(names) && !short_lower) break;
      if (label(more) || (more_names && (tokens_of(names).size() > 6 || more.find('@') == kNpos))) {
        break;
      }
      const std::vector<string> found = author_names(more, 0, heading || !more_names);
      if (found.empty()) break;
      for (const string& name : found) add_author(name, &findings_.authors);
    }
  }

  Reader reader_;
  CopyrightFindings findings_;
  size_t counted_ = 0;  // the text before this position has been counted
  int line_ = 0;        // newlines before `counted_`
};

}  // namespace

CopyrightFindings find_copyright_statements(string_view text) {
  return Scanner(text).run();
}

}  // namespace tarsil
