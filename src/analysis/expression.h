// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// SPDX license expressions: the one grammar, parsed into a small syntax tree
// and printed back.
//
// Contract:
// - Grammar (operators in upper or lower case: AND, and, OR, or, WITH, with):
//     expression := all { OR all }
//     all        := term { AND term }
//     term       := "(" expression ")" | license [ WITH exception ]
//   Tokens are split at white space (isspace); each parenthesis is a token
//   of its own.
// - `parse_expression(text, names)` returns the tree, or nothing when `text`
//   is not an expression. Each license token is respelled by names.license
//   and each exception by names.exception; a resolver returning "" rejects
//   the token (the whole text is then no expression). Without a resolver a
//   token is taken as it is written.
// - Parentheses nest at most kMaxExpressionDepth deep; a deeper text is no
//   expression (the parser, the printer and the tree's destructor recurse).
// - Trees keep parentheses as written (kGroup), so that printing a parsed
//   tree gives its tokens in their order: operators in upper case, one blank
//   between tokens, none inside parentheses:
//   "(MIT OR Apache-2.0) AND BSD-3-Clause".
// - `print_expression` of a built tree (any_of / all_of) adds the
//   parentheses SPDX requires: an OR inside an AND is parenthesised.
// - `license_ids` lists the license ids of a tree, each once, in order of
//   appearance; exception ids are left out. `satisfiable` tells whether the
//   tree can be satisfied without any license `refused` says yes to: an OR
//   needs one side, an AND both, "A WITH E" is judged by A alone.
// Nothing here fails or writes.
#ifndef TARSIL_ANALYSIS_EXPRESSION_H_
#define TARSIL_ANALYSIS_EXPRESSION_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarsil {

inline constexpr int kMaxExpressionDepth = 64;

struct Expression {
  enum class Kind { kLicense, kWith, kAnd, kOr, kGroup };
  Kind kind = Kind::kLicense;
  std::string id{};                    // kLicense: the license; kWith: the exception
  std::vector<Expression> operands{};  // kWith: the license; kAnd, kOr: two or more; kGroup: one
};

// The rule set's spelling of a token ("" when unknown); empty: as written.
using NameResolver = std::function<std::string(std::string_view)>;
struct ExpressionNames {
  NameResolver license{};
  NameResolver exception{};
};

std::optional<Expression> parse_expression(std::string_view text,
                                           const ExpressionNames& names = {});

std::string print_expression(const Expression& expression);

// A single license, and the conjunction / disjunction of `operands` (one
// operand is returned as it is; nested ones of the same kind are flattened).
Expression license_expression(std::string id);
Expression all_of(std::vector<Expression> operands);
Expression any_of(std::vector<Expression> operands);

std::vector<std::string> license_ids(const Expression& expression);

bool satisfiable(const Expression& expression,
                 const std::function<bool(const std::string& id)>& refused);

}  // namespace tarsil

#endif  // TARSIL_ANALYSIS_EXPRESSION_H_
