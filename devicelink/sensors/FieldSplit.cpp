// The link's own cutters, so a reply is cut the same way everywhere.
#include "devicelink/sensors/FieldSplit.h"

#include "devicelink/LinkFraming.h"

namespace pel::sensors {

std::string replyBody(std::string_view reply) { return pel::link::ReplyBody(reply); }

std::vector<std::string> splitFields(std::string_view text, char separator) {
  std::vector<std::string> fields;
  pel::link::SplitFields(text, separator, fields);
  return fields;
}

}  // namespace pel::sensors
