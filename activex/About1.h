#pragma once
// The about box of the control (TPelmoraXAbout): a small modal box with the
// control's glyph, its name, two lines of text and an OK button.
namespace pel::com {

// Dialog resource and control ids (shared with PelmoraX.rc).
constexpr int kAboutDialog = 100;
constexpr int kAboutImage = 101;   // CtlImage: a picture that never takes the focus, as a flat speed button
constexpr int kAboutName = 102;    // NameLbl
constexpr int kAboutDesc = 103;    // DescLbl
constexpr int kAboutLine = 104;    // the lower one-line label

// Shows the box without owner and returns when it is closed.
void ShowAboutBox();

}  // namespace pel::com
