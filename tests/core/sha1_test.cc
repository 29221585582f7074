// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "core/sha1.h"

#include <gtest/gtest.h>

namespace tarsil {

TEST(Sha1, KnownVectors) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // 56 bytes: two pad blocks
       "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
  };
  for (const auto& [in, want] : cases) {
    EXPECT_EQ(want, sha1_hex(in)) << in.substr(0, 60);
    // The same text fed in uneven pieces.
    Sha1 sha;
    for (std::size_t at = 0, step = 1; at < in.size(); at += step, step = step * 3 % 97 + 1)
      sha.update(std::string_view(in).substr(at, step));
    const auto d = sha.digest();
    EXPECT_EQ(want, to_hex(d.data(), d.size())) << in.substr(0, 60);
  }
}

}  // namespace tarsil
