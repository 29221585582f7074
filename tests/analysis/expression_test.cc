// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// License expressions: the grammar, printing parsed and built trees, the ids
// they name. (Tags read with the rule set's names: spdx_tag_test.cc; the
// gate's judgement: gate_test.cc.)
#include "analysis/expression.h"

#include <gtest/gtest.h>

namespace tarsil {

TEST(Expression, ParsePrintAndIds) {
  using Ids = std::vector<std::string>;
  // The text, its print ("" when it is no expression), its license ids.
  const std::tuple<std::string, std::string, Ids> cases[] = {
      {"mit or (Apache-2.0 and GPL-2.0+)",
       "mit OR (Apache-2.0 AND GPL-2.0+)",
       {"mit", "Apache-2.0", "GPL-2.0+"}},
      {"(MIT OR Apache-2.0) AND MIT", "(MIT OR Apache-2.0) AND MIT", {"MIT", "Apache-2.0"}},
      {"GPL-2.0-only WITH Classpath-exception-2.0 OR GPL-2.0+",
       "GPL-2.0-only WITH Classpath-exception-2.0 OR GPL-2.0+",
       {"GPL-2.0-only", "GPL-2.0+"}},
      {" ((A)) and\t(B with E) ", "((A)) AND (B WITH E)", {"A", "B"}},
      {"A Or B", "", {}},  // operators in one case only: "Or" is a second id
      {"A WITH (E)", "", {}},
      {"(A) WITH E", "", {}},
      {"A AND", "", {}},
      {"", "", {}},
  };
  for (const auto& [text, printed, ids] : cases) {
    const std::optional<Expression> tree = parse_expression(text);
    EXPECT_EQ(printed, tree ? print_expression(*tree) : "") << text;
    EXPECT_EQ(ids, tree ? license_ids(*tree) : Ids{}) << text;
  }
  // Nesting is bounded, so that ten thousand parentheses cannot exhaust the stack.
  const auto nested = [](int depth) {
    return std::string(depth, '(') + "A" + std::string(depth, ')');
  };
  EXPECT_TRUE(parse_expression(nested(kMaxExpressionDepth)));
  EXPECT_FALSE(parse_expression(nested(kMaxExpressionDepth + 1)));
  EXPECT_FALSE(parse_expression(nested(5000)));
  // Built trees get the parentheses SPDX needs, nested joins of one kind flattened.
  const Expression a = license_expression("A"), b = license_expression("B");
  const Expression c = license_expression("C");
  EXPECT_EQ("A AND (B OR C)", print_expression(all_of({a, any_of({b, c})})));
  EXPECT_EQ("A AND B OR C", print_expression(any_of({all_of({a, b}), c})));
  EXPECT_EQ("A AND B AND C", print_expression(all_of({all_of({a, b}), c})));
  EXPECT_EQ("A", print_expression(any_of({a})));
}

}  // namespace tarsil
