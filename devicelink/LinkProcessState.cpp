#include "devicelink/LinkProcessState.h"

namespace pel::link {

LinkProcessState& ProcessState() {
  static LinkProcessState s;
  return s;
}

}  // namespace pel::link
