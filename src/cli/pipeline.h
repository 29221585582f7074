// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The parallel pipeline's two meeting points: a bounded queue of work, and
// the ordered writer's buffer, which hands results to the one writer in
// serial order.
//
// Contract:
// - `WorkQueue<T>` is a first-in first-out queue of at most `capacity`
//   items: push blocks while it is full, pop while it is empty. After
//   close(), pop drains what is left and then returns nothing; after stop(),
//   push returns false and pop nothing at once.
// - `ReorderBuffer<T>` takes results numbered 0, 1, 2, ... in any order and
//   gives them back strictly in that order. A result may wait in it only
//   while fewer than `max_count` results holding fewer than `max_bytes`
//   bytes wait; a worker whose result would exceed that blocks in put until
//   there is room, except for the result the writer needs next, which is
//   always taken (so the pipeline cannot stall, and memory stays bounded by
//   the limits plus one result per worker).
// - `set_total(n)` says that results 0 .. n-1 are all there will be; take
//   then returns nothing once all have been taken. stop() makes every put
//   return false and every take return nothing, now and later.
// - `drain_in_order` hands the results to `write` in order until `write`
//   returns false (the run ends there) or all are taken, and then stops the
//   buffer, so no worker stays blocked. It returns whether all were written.
// All members are safe to call from any thread.
#ifndef TARSIL_CLI_PIPELINE_H_
#define TARSIL_CLI_PIPELINE_H_

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

namespace tarsil {

template <typename T>
class WorkQueue {
 public:
  explicit WorkQueue(std::size_t capacity) : capacity_(capacity) {}

  // Returns true once the item is queued; false when stopped or closed.
  bool push(T item) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [this] { return stopped_ || closed_ || items_.size() < capacity_; });
    if (stopped_ || closed_) return false;
    items_.push_back(std::move(item));
    ready_.notify_one();
    return true;
  }

  // Returns the oldest item; nothing when stopped, or closed and empty.
  std::optional<T> pop() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] { return stopped_ || closed_ || !items_.empty(); });
    if (stopped_ || items_.empty()) return std::nullopt;
    T item = std::move(items_.front());
    items_.pop_front();
    room_.notify_one();
    return item;
  }

  // No more items will come; never fails.
  void close() {
    const std::lock_guard lock(mutex_);
    closed_ = true;
    ready_.notify_all();
    room_.notify_all();
  }

  // Everyone returns now; never fails.
  void stop() {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    ready_.notify_all();
    room_.notify_all();
  }

 private:
  const std::size_t capacity_;
  std::mutex mutex_;
  std::condition_variable ready_, room_;
  std::deque<T> items_;
  bool closed_ = false, stopped_ = false;
};

template <typename T>
class ReorderBuffer {
 public:
  ReorderBuffer(std::size_t max_count, std::size_t max_bytes)
      : max_count_(max_count), max_bytes_(max_bytes) {}

  // Stores result `number` of `bytes` bytes once there is room (at once when
  // it is the next to be written); returns false when stopped.
  bool put(uint64_t number, T result, std::size_t bytes) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] {
      return stopped_ || number == next_ ||
             (waiting_.size() < max_count_ && bytes_ + bytes < max_bytes_);
    });
    if (stopped_) return false;
    waiting_.emplace(number, std::make_pair(std::move(result), bytes));
    bytes_ += bytes;
    if (number == next_) ready_.notify_one();
    return true;
  }

  // Returns the next result in order; nothing when stopped, or when all
  // set_total announced have been taken.
  std::optional<T> take() {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [this] {
      return stopped_ || (total_ && next_ == *total_) ||
             (!waiting_.empty() && waiting_.begin()->first == next_);
    });
    if (stopped_ || waiting_.empty() || waiting_.begin()->first != next_) return std::nullopt;
    auto node = waiting_.extract(waiting_.begin());
    bytes_ -= node.mapped().second;
    ++next_;
    room_.notify_all();
    return std::move(node.mapped().first);
  }

  // Results 0 .. total-1 are all there will be; never fails.
  void set_total(uint64_t total) {
    const std::lock_guard lock(mutex_);
    total_ = total;
    ready_.notify_all();
  }

  // Every put and take returns now, and later; never fails.
  void stop() {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    ready_.notify_all();
    room_.notify_all();
  }

  // Returns the number of results waiting now; never fails.
  std::size_t waiting() {
    const std::lock_guard lock(mutex_);
    return waiting_.size();
  }

 private:
  const std::size_t max_count_, max_bytes_;
  std::mutex mutex_;
  std::condition_variable ready_, room_;
  std::map<uint64_t, std::pair<T, std::size_t>> waiting_;
  std::size_t bytes_ = 0;
  uint64_t next_ = 0;
  std::optional<uint64_t> total_;
  bool stopped_ = false;
};

template <typename T>
bool drain_in_order(ReorderBuffer<T>& buffer, const std::function<bool(T&)>& write) {
  bool complete = true;
  while (std::optional<T> result = buffer.take()) {
    if (!write(*result)) {
      complete = false;
      break;
    }
  }
  buffer.stop();
  return complete;
}

}  // namespace tarsil

#endif  // TARSIL_CLI_PIPELINE_H_
