// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The ordered writer's buffer, in process, with real threads: results come
// back in serial order whatever order they complete in, an error ends the
// run without leaving a thread blocked, and an empty run ends at once. (The
// work queue is exercised by every run with more than one job.)
#include "cli/pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace tarsil {
namespace {

// Puts results 0 .. count-1 from `threads` threads, each taking every
// threads-th number (in ascending order, as a worker takes its work) and
// pausing at random, so results complete out of order; returns what the
// writer saw, in order, until `stop_at` (its write returns false there).
std::vector<int> run_pipeline(int count, int threads, std::size_t max_count, std::size_t max_bytes,
                              int stop_at = -1) {
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
  std::vector<int> seen;
  std::size_t most_waiting = 0;
  const bool complete = drain_in_order<std::string>(buffer, [&](std::string& result) {
    std::this_thread::sleep_for(std::chrono::microseconds(50));  // let results pile up
    most_waiting = std::max(most_waiting, buffer.waiting());
    seen.push_back(std::stoi(result));
    return seen.back() != stop_at;
  });
  for (std::thread& worker : workers) worker.join();  // none stays blocked
  EXPECT_EQ(stop_at < 0, complete);
  EXPECT_LE(most_waiting, max_count + 1) << "the next result is taken even when there is no room";
  return seen;
}

TEST(OrderedWriter, WritesInSerialOrderWhateverTheCompletionOrder) {
  const struct {
    int count, threads;
    std::size_t max_count, max_bytes;
    int stop_at;
  } cases[] = {
      {200, 4, 8, 1 << 20, -1},
      {200, 7, 1, 1, -1},  // no room at all: only the next result is taken
      {97, 2, 3, 150, -1},
      {0, 3, 8, 1 << 20, -1},    // an empty tree
      {200, 4, 8, 1 << 20, 57},  // an error in the middle
      {200, 7, 1, 1, 0},
  };
  for (const auto& c : cases) {
    std::vector<int> want;
    for (int n = 0; n < c.count && (want.empty() || want.back() != c.stop_at); ++n) {
      want.push_back(n);
    }
    EXPECT_EQ(want, run_pipeline(c.count, c.threads, c.max_count, c.max_bytes, c.stop_at))
        << c.count << " results, " << c.threads << " threads, room " << c.max_count << "/"
        << c.max_bytes << ", stop at " << c.stop_at;
  }
}

}  // namespace
}  // namespace tarsil
