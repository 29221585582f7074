// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The ordered writer's buffer with real threads: results come back in serial
// order, at most the bound waits, and a stop leaves no thread blocked.
#include "cli/pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace tarsil {

TEST(OrderedWriter, WritesInSerialOrderWhateverTheCompletionOrder) {
  // Results, threads, the buffer's bounds, the write that returns false (-1: none).
  const std::tuple<int, int, std::size_t, std::size_t, int> cases[] = {
      {200, 4, 8, 1 << 20, -1}, {200, 7, 1, 1, -1},  // no room: only the next result is taken
      {97, 2, 3, 150, -1},      {0, 3, 8, 1 << 20, -1}, {200, 4, 8, 1 << 20, 57}, {200, 7, 1, 1, 0},
  };
  for (const auto& [count, threads, max_count, max_bytes, stop_at] : cases) {
    // Each thread takes every threads-th number, in ascending order as a
    // worker takes its work, pausing at random.
    ReorderBuffer<std::string> buffer(max_count, max_bytes);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
      workers.emplace_back([&, t] {
        std::mt19937 rng(t);
        for (int n = t; n < count; n += threads) {
          std::this_thread::sleep_for(std::chrono::microseconds(rng() % 300));
          if (!buffer.put(n, std::to_string(n), 1 + rng() % 100)) return;
        }
      });
    }
    buffer.set_total(count);
    std::vector<int> seen, want;
    for (int n = 0; n < count && (want.empty() || want.back() != stop_at); ++n) want.push_back(n);
    std::size_t most_waiting = 0;
    const bool complete = drain_in_order<std::string>(buffer, [&](std::string& result) {
      std::this_thread::sleep_for(std::chrono::microseconds(50));  // let results pile up
      most_waiting = std::max(most_waiting, buffer.waiting());
      seen.push_back(std::stoi(result));
      return seen.back() != stop_at;
    });
    for (std::thread& worker : workers) worker.join();  // none stays blocked
    EXPECT_EQ(want, seen) << count << " results, stop at " << stop_at;
    EXPECT_EQ(stop_at < 0, complete);
    EXPECT_LE(most_waiting, max_count + 1) << "the next result is taken even without room";
  }
}

}  // namespace tarsil
