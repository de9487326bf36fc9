#pragma once
// The lifetime rule of the device link component (stated at the top of
// Pelmora.h): the count of frames on any thread's stack and the release flags.
#include <atomic>

namespace pel::link {

class LinkLifetime {
 public:
  // Keeps the component while code that may run host code is on the stack.
  // Any thread (the USB polling thread too).
  class Frame {
   public:
    explicit Frame(LinkLifetime& l) : l_(l) { l_.frames_.fetch_add(1); }
    ~Frame() {
      if (l_.frames_.fetch_sub(1) == 1) l_.EndIfDue();
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

   private:
    LinkLifetime& l_;
  };
  // The host let go (or the component is being torn down): nothing more is
  // started and no event fires.
  bool Released() const { return released_.load() || destroying_; }

 protected:
  LinkLifetime() = default;
  ~LinkLifetime() = default;
  LinkLifetime(const LinkLifetime&) = delete;
  LinkLifetime& operator=(const LinkLifetime&) = delete;

  // Ends a released component whose last frame unwound.
  virtual void EndIfDue() = 0;

  std::atomic<bool> destroying_{false};  // read by the USB polling thread too
  std::atomic<int> frames_{0};           // Frames on any thread's stack
  std::atomic<bool> released_{false};    // the host let go
  std::atomic<bool> endPosted_{false};   // the end waits for the end message
  std::atomic<bool> ending_{false};
};

}  // namespace pel::link
