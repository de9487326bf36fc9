#include "devicelink/LinkReaper.h"

#include <vector>

namespace pel::link {
namespace {
struct Entry {
  std::shared_ptr<void> object;
  std::function<bool()> busy;
};
std::vector<Entry>& entries() {
  static std::vector<Entry> e;
  return e;
}
}  // namespace

void ReapLater(std::shared_ptr<void> object, std::function<bool()> busy) {
  entries().push_back({std::move(object), std::move(busy)});
}

void SweepReaper() {
  auto& e = entries();
  // Move out first: destroying one may run hand-overs that sweep again.
  std::vector<Entry> done;
  for (auto it = e.begin(); it != e.end();) {
    if (!it->busy || !it->busy()) {
      done.push_back(std::move(*it));
      it = e.erase(it);
    } else {
      ++it;
    }
  }
  done.clear();
}

}  // namespace pel::link
