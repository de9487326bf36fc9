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

  // Raises an event off the main thread (the USB polling thread's records):
  // the release test and the call are one step against a release on another
  // thread, which waits for a call in flight (WaitOutOffMainEvents). Either
  // the event ends before the release returns or it never starts.
  template <class F>
  void RaiseOffMain(F&& raise) {
    offMainEvents_.fetch_add(1);
    struct Leave {
      std::atomic<int>& n;
      ~Leave() { n.fetch_sub(1); }
    } leave{offMainEvents_};
    if (!Released()) raise();
  }

 protected:
  LinkLifetime() = default;
  ~LinkLifetime() = default;
  LinkLifetime(const LinkLifetime&) = delete;
  LinkLifetime& operator=(const LinkLifetime&) = delete;

  // Ends a released component whose last frame unwound.
  virtual void EndIfDue() = 0;
  bool OffMainEventInFlight() const { return offMainEvents_.load() > 0; }

  std::atomic<bool> destroying_{false};  // read by the USB polling thread too
  std::atomic<int> frames_{0};           // Frames on any thread's stack
  std::atomic<bool> released_{false};    // the host let go
  std::atomic<bool> endPosted_{false};   // the end waits for the end message
  std::atomic<bool> ending_{false};
  std::atomic<int> offMainEvents_{0};    // RaiseOffMain calls on the stack of any thread
};

}  // namespace pel::link
