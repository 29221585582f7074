// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// SHA-1 (FIPS 180-4) of byte strings, fed in pieces or at once: the file
// checksums and the name-based identifiers of SBOM documents.
//
// Contract: `Sha1` hashes every byte handed to update(), in order; digest()
// returns the 20-byte hash of all of them and leaves the object spent (a new
// one hashes the next text). `sha1_hex` returns the 40 lower-case hex digits
// of the hash of `data`. Nothing here fails or allocates beyond the result.
#ifndef TARSIL_CORE_SHA1_H_
#define TARSIL_CORE_SHA1_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarsil {

struct Sha1 {
  std::array<uint32_t, 5> state = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  std::array<unsigned char, 64> block{};
  std::size_t block_used = 0;
  uint64_t total_bytes = 0;

  // Adds `data` to the hashed text; never fails.
  void update(std::string_view data);
  // Returns the hash of everything added; never fails.
  std::array<unsigned char, 20> digest();
};

// Returns the lower-case hex form of `bytes`; never fails.
std::string to_hex(const unsigned char* bytes, std::size_t size);

// Returns the 40 hex digits of the SHA-1 of `data`; never fails.
std::string sha1_hex(std::string_view data);

}  // namespace tarsil

#endif  // TARSIL_CORE_SHA1_H_
