#pragma once
// Text handling of the interface's command protocol: cutting received text
// into frames, a command reply's body and the field splitter. Positions in
// NextField count from 1, as the protocol's descriptions do. Every part of
// the link (replies, stream frames, ID lists, registry lists) cuts its text
// with these, so all read a reply the same way.
#include <string>
#include <string_view>
#include <vector>

namespace pel::link {

// True when the text holds a "{" and a "}" anywhere, in any order (a reply
// the wait takes as complete).
bool ReplyComplete(std::string_view collected);

// Replaces every "[" by "{" and every "]" by "}".
void MapBrackets(std::string& buffer);

// Takes the next frame out of the receive buffer.
// Frame mode off: all of the buffer, lastFrameLength := 0.
// Frame mode on: the text from the first "{" up to and including the CR of
// the first CR LF after it; its LF is dropped. A frame whose line end has not
// arrived yet stays in the buffer (so a serial read split between "}" and CR
// cannot lose a sample); a "{" that restarts before the line end drops the
// text before it. lastFrameLength := length of the frame taken.
std::string TakeFrame(std::string& buffer, bool frameMode, int& lastFrameLength);

// True when the buffer holds a "{" and a "}" after it.
bool HoldsFrame(std::string_view buffer);

// The text strictly between the first "{ " (else the first "{") and the next
// "}"; empty when either is missing.
std::string ReplyBody(std::string_view reply);

// Takes one field from position (1-based); runs of separators count as one.
void NextField(std::string_view text, char separator, std::string& field, std::size_t& position);
// Appends every field of the text to the list. Leading separators are
// skipped and runs count as one, but a text that ends in two or more
// separators (or holds only separators) yields one empty last field.
void SplitFields(std::string_view text, char separator, std::vector<std::string>& list);
// The same into a new list.
std::vector<std::string> SplitFields(std::string_view text, char separator);

}  // namespace pel::link
