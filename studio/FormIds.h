#pragma once
// Control ids of the studio's form (tests find its controls by them).
namespace tessaly::ids {

constexpr int CheckBox1 = 100;
// Capture buttons of channels A..H: Button1, 2, 3, 6, 7, 8, 9, 10.
constexpr int CaptureButton[8] = {1001, 1002, 1003, 1006, 1007, 1008, 1009, 1010};
constexpr int Button4 = 1004;  // Start/Stop
constexpr int Button5 = 1005;  // End
constexpr int Edit[8] = {201, 202, 203, 204, 205, 206, 207, 208};
constexpr int UnitLabel[8] = {301, 302, 303, 305, 306, 307, 308, 309};  // Label1, 2, 3, 5..9
constexpr int Label4 = 304;
constexpr int Panel1 = 401;
constexpr int Panel2 = 402;
constexpr int GroupBox1 = 403;
constexpr int StatusBar1 = 404;
constexpr int PESGraph1 = 405;

}  // namespace tessaly::ids
