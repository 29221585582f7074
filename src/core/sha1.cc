// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "core/sha1.h"

#include <cstring>

namespace tarsil {
namespace {

constexpr uint32_t rotl(uint32_t x, int n) {
  return (x << n) | (x >> (32 - n));
}

// Folds one 64-byte block into `h`: four plain loops of 20 rounds, one per
// round function, so that no round branches.
void compress(std::array<uint32_t, 5>& h, const unsigned char* p) {
  uint32_t w[80];
  for (int i = 0; i < 16; ++i) {
    w[i] = uint32_t{p[4 * i]} << 24 | uint32_t{p[4 * i + 1]} << 16 | uint32_t{p[4 * i + 2]} << 8 |
           uint32_t{p[4 * i + 3]};
  }
  for (int i = 16; i < 80; ++i) w[i] = rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
  uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
  const auto round = [&](uint32_t f, uint32_t k, uint32_t word) {
    const uint32_t t = rotl(a, 5) + f + e + k + word;
    e = d;
    d = c;
    c = rotl(b, 30);
    b = a;
    a = t;
  };
  for (int i = 0; i < 20; ++i) round(d ^ (b & (c ^ d)), 0x5A827999, w[i]);
  for (int i = 20; i < 40; ++i) round(b ^ c ^ d, 0x6ED9EBA1, w[i]);
  for (int i = 40; i < 60; ++i) round((b & c) | (d & (b | c)), 0x8F1BBCDC, w[i]);
  for (int i = 60; i < 80; ++i) round(b ^ c ^ d, 0xCA62C1D6, w[i]);
  h[0] += a;
  h[1] += b;
  h[2] += c;
  h[3] += d;
  h[4] += e;
}

}  // namespace

void Sha1::update(std::string_view data) {
  total_bytes += data.size();
  const auto* p = reinterpret_cast<const unsigned char*>(data.data());
  std::size_t n = data.size();
  if (block_used > 0) {
    const std::size_t take = std::min(n, block.size() - block_used);
    std::memcpy(block.data() + block_used, p, take);
    block_used += take;
    p += take;
    n -= take;
    if (block_used < block.size()) return;
    compress(state, block.data());
    block_used = 0;
  }
  for (; n >= 64; p += 64, n -= 64) compress(state, p);
  std::memcpy(block.data(), p, n);
  block_used = n;
}

std::array<unsigned char, 20> Sha1::digest() {
  const uint64_t bits = total_bytes * 8;
  block[block_used++] = 0x80;
  if (block_used > 56) {
    std::memset(block.data() + block_used, 0, 64 - block_used);
    compress(state, block.data());
    block_used = 0;
  }
  std::memset(block.data() + block_used, 0, 56 - block_used);
  for (int i = 0; i < 8; ++i) block[56 + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
  compress(state, block.data());
  std::array<unsigned char, 20> out;
  for (int i = 0; i < 20; ++i)
    out[i] = static_cast<unsigned char>(state[i / 4] >> (24 - 8 * (i % 4)));
  return out;
}

std::string to_hex(const unsigned char* bytes, std::size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out(2 * size, '0');
  for (std::size_t i = 0; i < size; ++i) {
    out[2 * i] = kDigits[bytes[i] >> 4];
    out[2 * i + 1] = kDigits[bytes[i] & 15];
  }
  return out;
}

std::string sha1_hex(std::string_view data) {
  Sha1 sha;
  sha.update(data);
  const std::array<unsigned char, 20> d = sha.digest();
  return to_hex(d.data(), d.size());
}

}  // namespace tarsil
