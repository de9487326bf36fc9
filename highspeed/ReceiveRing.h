#pragma once
// The serial port's 4096-byte receive ring: one producer (the reader thread),
// one consumer at a time (the port probe, then the parse thread). One slot stays
// free to tell full from empty, so at most 4095 bytes are held; a byte that
// finds the ring full is dropped. The producer owns the write index, the
// consumer the read index; each reads the other's with acquire ordering.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace quillon {

class ReceiveRing {
 public:
  static constexpr int kSize = 4096;

  // Producer side. Returns false when the ring was full and the byte dropped.
  bool Push(std::uint8_t byte) {
    const int w = write_.load(std::memory_order_relaxed);
    const int next = (w + 1) % kSize;
    if (next == read_.load(std::memory_order_acquire)) return false;
    buf_[w] = byte;
    write_.store(next, std::memory_order_release);
    return true;
  }
  void Push(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) Push(bytes[i]);
  }

  // Consumer side: call HasData first; Get on an empty ring returns 0.
  bool HasData() const {
    return read_.load(std::memory_order_relaxed) != write_.load(std::memory_order_acquire);
  }
  std::uint8_t Get() {
    const int r = read_.load(std::memory_order_relaxed);
    if (r == write_.load(std::memory_order_acquire)) return 0;
    const std::uint8_t b = buf_[r];
    read_.store((r + 1) % kSize, std::memory_order_release);
    return b;
  }
  // Consumer side: drops what is held (the read index catches up, so the
  // producer never sees its index moved under it).
  void Clear() { read_.store(write_.load(std::memory_order_acquire), std::memory_order_release); }

  int Available() const {
    const int w = write_.load(std::memory_order_acquire);
    const int r = read_.load(std::memory_order_acquire);
    return w >= r ? w - r : w - r + kSize;
  }
  int WriteIndex() const { return write_.load(std::memory_order_acquire); }
  int ReadIndex() const { return read_.load(std::memory_order_acquire); }

 private:
  std::array<std::uint8_t, kSize> buf_{};
  std::atomic<int> write_{0};
  std::atomic<int> read_{0};
};

}  // namespace quillon
