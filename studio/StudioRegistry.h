#pragma once
// The studio's settings under the current user's
// "Software\VB and VBA Program Settings\Pelmora" key.
#include <string>

#include "studio/core/StudioTexts.h"

namespace tessaly::reg {

extern const char* const kInterfaceKey;   // "ExcelToTessaly", "Qor3", the run flag
extern const char* const kMessageKey;     // "BKGSensor", language keys below it
extern const char* const kExperimentKey;  // "BPM_Level"

// The value's text; empty when the key or value is missing. Creates nothing.
std::string GetMessage(const std::string& key, const std::string& valueName);
// Writes a string value, creating the key when missing; false on failure.
bool SetMessage(const std::string& key, const std::string& valueName, const std::string& text);

// The language of the texts: 1033 when the system language's key has no
// "Language", else its "LCID" when set, else the system language. Throws
// tessaly::BadNumber for an "LCID" that is not an integer.
int GetLanguageID();
// A dialog text in the language, or its built-in English text.
std::string DialogText(int language, const texts::Text& t);

// The user's decimal separator.
char UserDecimal();

}  // namespace tessaly::reg
