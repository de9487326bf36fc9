#pragma once
// Text helpers of the studio: the splitter the form has always used, number
// reading and writing with a given decimal separator (the user's locale or
// the point), and the sensor-id lists of the settings.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// A number or integer that could not be read; the message names the text.
class BadNumber : public std::runtime_error {
 public:
  explicit BadNumber(std::string_view text);
};

// Pieces of text at each separator. The final piece stops one character
// short of the end: callers append a blank (or rely on a record's closing
// ";") so that the last item ends at the content's end.
std::vector<std::string> SplitText(std::string_view text, char separator);

// Text without leading and trailing blanks and control characters.
std::string Trim(std::string_view text);

// A finite number written with `decimal` as separator; surrounding blanks
// allowed, an exponent allowed. Throws BadNumber.
double ParseNumber(std::string_view text, char decimal = '.');
// A decimal integer with optional sign; leading blanks allowed, nothing
// after the digits. Throws BadNumber.
int ParseInteger(std::string_view text);

// The general format: shortest form with up to 15 significant digits (17
// where 15 would round past the largest double) and no trailing zeros, with
// `decimal` as separator.
std::string FormatGeneral(double value, char decimal = '.');

// The beats-per-minute readout "BPM : %5.3f" with `decimal` as separator.
std::string FormatBpm(double rate, char decimal = '.');

// A comma-separated list of sensor ids contains `id`. Empty list: false.
// A piece that is not an integer (an empty piece, a blank after the last
// number) throws BadNumber once the walk reaches it.
bool SensorListed(std::string_view list, int id);

// The threshold of the beats-per-minute readout from its settings text:
// empty gives 3.5; anything else must be a number (throws BadNumber).
double BpmLevelFromText(std::string_view text, char decimal);

}  // namespace tessaly
