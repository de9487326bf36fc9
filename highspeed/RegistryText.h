#pragma once
// Registry texts of the program: captions and messages by language, and the
// plain string reader used for sensor units and export headings.
#include <string>

#include "highspeed/ui/Profile.h"

namespace quillon {

enum class TextSection { MainDialog = 1, MainProcess = 2, Message = 3 };

// Value of a key below the current user's root, read with read rights only.
// Empty unless it is a string that fits 256 bytes with its closing NUL.
std::string ReadRegString(const std::string& keyPath, const std::string& valueName);

// Caption or message text by language: a language whose "Language" value is
// empty falls back to 1033, else its "LCID" value (when set) names the section.
std::string LocalizedText(const ui::Profile& profile, unsigned language, const std::string& key,
                          TextSection section);

}  // namespace quillon
