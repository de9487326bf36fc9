// The studio's label: its text wraps at word breaks and sits centred between
// the label's top and bottom edges, seen in the pixels it paints.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "studio/CentredLabel.h"

namespace {

// The rows of a label that hold text, painted into a bitmap.
struct Ink {
  int top = -1;
  int bottom = -1;  // last row with ink
  int Height() const { return top < 0 ? 0 : bottom - top + 1; }
};

class CentredLabel : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tessaly::RegisterCentredLabel(GetModuleHandleA(nullptr)));
    parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    font_ = CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "System");
  }
  void TearDown() override {
    if (parent_) DestroyWindow(parent_);
    if (font_) DeleteObject(font_);
  }

  Ink Paint(const std::string& text, int width, int height) {
    HWND label = CreateWindowExA(0, tessaly::kCentredLabelClass, text.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, width,
                                 height, parent_, nullptr, nullptr, nullptr);
    EXPECT_NE(label, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF background = GetPixel(dc, 0, 0);
    Ink ink;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (GetPixel(dc, x, y) != background) {
          if (ink.top < 0) ink.top = y;
          ink.bottom = y;
          break;
        }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(label);
    return ink;
  }

  HWND parent_ = nullptr;
  HFONT font_ = nullptr;
};

TEST_F(CentredLabel, TextMovesDownByHalfTheExtraHeight) {
  struct Case {
    const char* text;
    int width, height, tallerBy;
  };
  const Case cases[] = {
      {"Recording", 127, 24, 24},         // the studio's label, one line
      {"Recording", 127, 30, 10},
      {"Recording now and then", 50, 80, 30},  // wrapped over several lines
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + std::string(" ") + std::to_string(c.width) + "x" + std::to_string(c.height));
    const Ink low = Paint(c.text, c.width, c.height);
    const Ink high = Paint(c.text, c.width, c.height + c.tallerBy);
    ASSERT_GT(low.Height(), 0) << "nothing drawn";
    EXPECT_EQ(high.Height(), low.Height());
    EXPECT_EQ(high.top - low.top, c.tallerBy / 2);
  }
}

TEST_F(CentredLabel, TextWrapsAtWordBreaks) {
  const Ink oneLine = Paint("Recording now", 200, 80);
  const Ink wrapped = Paint("Recording now", 50, 80);
  ASSERT_GT(oneLine.Height(), 0);
  // Two lines: at least the height of one more line of ink.
  EXPECT_GE(wrapped.Height(), oneLine.Height() + oneLine.Height() / 2);
}

}  // namespace
