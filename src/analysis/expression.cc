// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "analysis/expression.h"

#include <algorithm>
#include <cctype>

namespace tarsil {
namespace {

bool is_space(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Splits at white space; each parenthesis is a token of its own.
std::vector<std::string_view> tokenize(std::string_view text) {
  std::vector<std::string_view> tokens;
  std::size_t k = 0;
  while (k < text.size()) {
    if (is_space(text[k])) {
      ++k;
    } else if (text[k] == '(' || text[k] == ')') {
      tokens.push_back(text.substr(k++, 1));
    } else {
      const std::size_t start = k;
      while (k < text.size() && !is_space(text[k]) && text[k] != '(' && text[k] != ')') ++k;
      tokens.push_back(text.substr(start, k - start));
    }
  }
  return tokens;
}

bool is_operator(std::string_view token, std::string_view upper) {
  if (token == upper) return true;
  return token.size() == upper.size() &&
         std::equal(token.begin(), token.end(), upper.begin(),
                    [](char t, char u) { return t == static_cast<char>(u - 'A' + 'a'); });
}

struct Parser {
  const std::vector<std::string_view>& tokens;
  const ExpressionNames& names;
  std::size_t next = 0;
  int depth = 0;

  bool at(std::string_view op) const {
    return next < tokens.size() && is_operator(tokens[next], op);
  }
  bool at_paren(char paren) const {
    return next < tokens.size() && tokens[next].size() == 1 && tokens[next][0] == paren;
  }

  std::optional<Expression> expression() {
    return sequence(Expression::Kind::kOr, "OR", [this] { return all(); });
  }
  std::optional<Expression> all() {
    return sequence(Expression::Kind::kAnd, "AND", [this] { return term(); });
  }
  template <typename Next>
  std::optional<Expression> sequence(Expression::Kind kind, std::string_view op, Next operand) {
    std::optional<Expression> first = operand();
    if (!first || !at(op)) return first;
    Expression joined{.kind = kind};
    joined.operands.push_back(std::move(*first));
    while (at(op)) {
      ++next;
      std::optional<Expression> more = operand();
      if (!more) return std::nullopt;
      joined.operands.push_back(std::move(*more));
    }
    return joined;
  }
  std::optional<Expression> term() {
    if (next == tokens.size()) return std::nullopt;
    if (at_paren('(')) {
      if (depth == kMaxExpressionDepth) return std::nullopt;
      ++next;
      ++depth;
      std::optional<Expression> inner = expression();
      --depth;
      if (!inner || !at_paren(')')) return std::nullopt;
      ++next;
      Expression group{.kind = Expression::Kind::kGroup};
      group.operands.push_back(std::move(*inner));
      return group;
    }
    if (at_paren(')') || at("AND") || at("OR") || at("WITH")) return std::nullopt;
    std::string id = resolve(names.license, tokens[next++]);
    if (id.empty()) return std::nullopt;
    Expression license = license_expression(std::move(id));
    if (!at("WITH")) return license;
    ++next;
    if (next == tokens.size() || at_paren('(') || at_paren(')')) return std::nullopt;
    std::string exception = resolve(names.exception, tokens[next++]);
    if (exception.empty()) return std::nullopt;
    Expression with{.kind = Expression::Kind::kWith, .id = std::move(exception)};
    with.operands.push_back(std::move(license));
    return with;
  }
  static std::string resolve(const NameResolver& resolver, std::string_view token) {
    return resolver ? resolver(token) : std::string(token);
  }
};

void print_to(const Expression& e, bool in_and, std::string* out) {
  using Kind = Expression::Kind;
  switch (e.kind) {
    case Kind::kLicense:
      *out += e.id;
      return;
    case Kind::kWith:
      print_to(e.operands[0], false, out);
      *out += " WITH " + e.id;
      return;
    case Kind::kGroup:
      *out += '(';
      print_to(e.operands[0], false, out);
      *out += ')';
      return;
    case Kind::kAnd:
    case Kind::kOr: {
      const bool paren = in_and && e.kind == Kind::kOr;
      if (paren) *out += '(';
      for (std::size_t i = 0; i < e.operands.size(); ++i) {
        if (i > 0) *out += e.kind == Kind::kAnd ? " AND " : " OR ";
        print_to(e.operands[i], e.kind == Kind::kAnd, out);
      }
      if (paren) *out += ')';
      return;
    }
  }
}

Expression joined(Expression::Kind kind, std::vector<Expression> operands) {
  if (operands.size() == 1) return std::move(operands[0]);
  Expression out{.kind = kind};
  for (Expression& operand : operands) {
    if (operand.kind == kind) {
      for (Expression& inner : operand.operands) out.operands.push_back(std::move(inner));
    } else {
      out.operands.push_back(std::move(operand));
    }
  }
  return out;
}

void collect_ids(const Expression& e, std::vector<std::string>* ids) {
  if (e.kind == Expression::Kind::kLicense) {
    if (std::find(ids->begin(), ids->end(), e.id) == ids->end()) ids->push_back(e.id);
    return;
  }
  for (const Expression& operand : e.operands) collect_ids(operand, ids);
}

}  // namespace

std::optional<Expression> parse_expression(std::string_view text, const ExpressionNames& names) {
  const std::vector<std::string_view> tokens = tokenize(text);
  Parser parser{.tokens = tokens, .names = names};
  std::optional<Expression> tree = parser.expression();
  if (!tree || parser.next != tokens.size()) return std::nullopt;
  return tree;
}

std::string print_expression(const Expression& expression) {
  std::string out;
  print_to(expression, false, &out);
  return out;
}

Expression license_expression(std::string id) {
  return Expression{.kind = Expression::Kind::kLicense, .id = std::move(id)};
}

Expression all_of(std::vector<Expression> operands) {
  return joined(Expression::Kind::kAnd, std::move(operands));
}

Expression any_of(std::vector<Expression> operands) {
  return joined(Expression::Kind::kOr, std::move(operands));
}

std::vector<std::string> license_ids(const Expression& expression) {
  std::vector<std::string> ids;
  collect_ids(expression, &ids);
  return ids;
}

bool satisfiable(const Expression& e, const std::function<bool(const std::string& id)>& refused) {
  using Kind = Expression::Kind;
  switch (e.kind) {
    case Kind::kLicense:
      return !refused(e.id);
    case Kind::kWith:
    case Kind::kGroup:
      return satisfiable(e.operands[0], refused);
    case Kind::kAnd:
      return std::all_of(e.operands.begin(), e.operands.end(),
                         [&](const Expression& o) { return satisfiable(o, refused); });
    case Kind::kOr:
      return std::any_of(e.operands.begin(), e.operands.end(),
                         [&](const Expression& o) { return satisfiable(o, refused); });
  }
  return false;
}

}  // namespace tarsil
