#pragma once
// Fixed-size byte ring for one producer thread and one consumer thread.
// One slot stays free to tell full from empty, so it holds at most N - 1 bytes.
// The producer owns head_, the consumer owns tail_; each reads the other's
// index with acquire ordering, so no lock is needed.
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace pel {

template <std::size_t N>
class SpscRing {
  static_assert(N >= 2 && (N & (N - 1)) == 0, "ring size must be a power of two");

 public:
  static constexpr std::size_t capacity() { return N - 1; }

  // Producer side: stores as many bytes as fit, returns how many were stored.
  std::size_t push(const std::uint8_t* data, std::size_t count) {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    const std::size_t tail = tail_.load(std::memory_order_acquire);
    const std::size_t room = capacity() - ((head - tail) & (N - 1));
    if (count > room) count = room;
    for (std::size_t i = 0; i < count; ++i) buf_[(head + i) & (N - 1)] = data[i];
    head_.store((head + count) & (N - 1), std::memory_order_release);
    return count;
  }

  // Consumer side: takes up to max bytes, returns how many were taken.
  std::size_t pop(std::uint8_t* out, std::size_t max) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    const std::size_t head = head_.load(std::memory_order_acquire);
    std::size_t count = (head - tail) & (N - 1);
    if (count > max) count = max;
    for (std::size_t i = 0; i < count; ++i) out[i] = buf_[(tail + i) & (N - 1)];
    tail_.store((tail + count) & (N - 1), std::memory_order_release);
    return count;
  }

  // Either side: bytes currently held (a snapshot).
  std::size_t size() const {
    return (head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_acquire)) & (N - 1);
  }

  // Consumer side only: drops everything held.
  void clear() { tail_.store(head_.load(std::memory_order_acquire), std::memory_order_release); }

 private:
  std::uint8_t buf_[N]{};
  std::atomic<std::size_t> head_{0};
  std::atomic<std::size_t> tail_{0};
};

}  // namespace pel
