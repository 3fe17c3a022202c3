#include "scan/xr_gradient.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/win_string.h"
#include "scan/xr_consts.h"
#include "tests/ui/gui_test.h"
#include "ui/forms.h"
#include "ui/menus.h"
#include "ui/recording_canvas.h"
#include "ui/std_controls.h"

namespace {

constexpr COLORREF kStart = RGB(0, 0, 0);
constexpr COLORREF kEnd = RGB(200, 100, 250);

// Step colours from kStart to kEnd worked out by hand: channel = rnd(I x (E - S) / m),
// halves to the even neighbour.
// 100 steps: red 2I, green I, blue 2.5I (2.5 -> 2, 7.5 -> 8, 12.5 -> 12, 247.5 -> 248).
TColor Step100(int i) {
  switch (i) {
    case 0: return RGBColor(0, 0, 0);
    case 1: return RGBColor(2, 1, 2);
    case 2: return RGBColor(4, 2, 5);
    case 3: return RGBColor(6, 3, 8);
    case 4: return RGBColor(8, 4, 10);
    case 5: return RGBColor(10, 5, 12);
    case 97: return RGBColor(194, 97, 242);
    case 98: return RGBColor(196, 98, 245);
    case 99: return RGBColor(198, 99, 248);
    default: ADD_FAILURE() << "no hand-made colour for step " << i; return clNone;
  }
}
// 4 steps: red 50I, green 25I, blue 62.5I (62.5 -> 62, 187.5 -> 188).
const TColor kStep4[] = {RGBColor(0, 0, 0), RGBColor(50, 25, 62), RGBColor(100, 50, 125),
                         RGBColor(150, 75, 188), RGBColor(200, 100, 250)};

TEST(GradientDrawing, HorizontalBandEdgesAt255PixelsAnd100Steps) {
  TBitmap bmp;
  ASSERT_TRUE(bmp.SetSize(255, 4));
  DrawGradient(bmp.Canvas(), grHorizontal, 100, kStart, kEnd, 255, 4);
  // Bands start at rnd(I * 2.55): 0, 3, 5, 8, ... 250, 252.
  const int starts[] = {0, 3, 5, 8, 10, 13};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(bmp.Pixel(starts[i], 2), Step100(i)) << i;
  EXPECT_EQ(bmp.Pixel(2, 2), Step100(0));
  EXPECT_EQ(bmp.Pixel(4, 2), Step100(1));
  EXPECT_EQ(bmp.Pixel(249, 2), Step100(97));
  EXPECT_EQ(bmp.Pixel(250, 2), Step100(98));
  EXPECT_EQ(bmp.Pixel(251, 2), Step100(98));
  for (int x = 252; x < 255; ++x) EXPECT_EQ(bmp.Pixel(x, 0), Step100(99)) << x;
  // Every column: 100 bands of 2 or 3 pixels (2.55 on average), band k in red 2k and
  // green k.
  int band = 0, width = 0;
  for (int x = 0; x < 255; ++x) {
    TColor c = bmp.Pixel(x, 3);
    if (x > 0 && c != bmp.Pixel(x - 1, 3)) {
      ASSERT_TRUE(width == 2 || width == 3) << "band " << band << " is " << width << " wide";
      ++band;
      width = 0;
    }
    ++width;
    ASSERT_EQ(RedOf(c), 2 * band) << x;
    ASSERT_EQ(GreenOf(c), band) << x;
  }
  EXPECT_EQ(band, 99);
}

TEST(GradientDrawing, StepCountFollowsSize) {
  struct Case {
    TXrGradientStyle style;
    int steps, w, h, expected;
  } cases[] = {
      {grHorizontal, 100, 50, 10, 50}, {grHorizontal, 100, 255, 10, 100},
      {grHorizontal, 0, 255, 10, 1},   {grVertical, 100, 10, 30, 30},
      {grEllipse, 100, 10, 300, 5},    {grPyramid, 100, 300, 8, 4},
      {grMount, 3, 300, 300, 3},       {grEllipse, 100, 1, 1, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GradientStepCount(c.style, c.steps, c.w, c.h), c.expected)
        << c.style << " " << c.steps << " " << c.w << "x" << c.h;
}

TEST(GradientDrawing, OnePixelBandsWhenWidthBelowSteps) {
  TBitmap bmp;
  ASSERT_TRUE(bmp.SetSize(50, 3));
  DrawGradient(bmp.Canvas(), grHorizontal, 100, kStart, kEnd, 50, 3);
  // 50 steps: red 4I, green 2I, blue 5I, no rounding.
  for (int x = 0; x < 50; ++x) ASSERT_EQ(bmp.Pixel(x, 1), RGBColor(4 * x, 2 * x, 5 * x)) << x;
}

TEST(GradientDrawing, ZeroStepsAndFilledPaintTheStartColour) {
  for (TXrGradientStyle style : {grHorizontal, grFilled}) {
    TBitmap bmp;
    ASSERT_TRUE(bmp.SetSize(40, 6));
    DrawGradient(bmp.Canvas(), style, style == grFilled ? 100 : 0, RGB(10, 20, 30), kEnd, 40, 6);
    for (int x = 0; x < 40; ++x) ASSERT_EQ(bmp.Pixel(x, 5), RGBColor(10, 20, 30)) << style << " " << x;
  }
}

TEST(GradientDrawing, VerticalBandsAndEqualColours) {
  TBitmap bmp;
  ASSERT_TRUE(bmp.SetSize(3, 20));
  DrawGradient(bmp.Canvas(), grVertical, 4, kStart, kEnd, 3, 20);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(bmp.Pixel(1, y), kStep4[y / 5]) << y;
  DrawGradient(bmp.Canvas(), grVertical, 4, RGB(7, 8, 9), RGB(7, 8, 9), 3, 20);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(bmp.Pixel(2, y), RGBColor(7, 8, 9));
}

TEST(GradientDrawing, StepColoursEndExactlyAndRoundHalvesToEven) {
  EXPECT_EQ(GradientStepColor(RGB(0, 0, 0), RGB(5, 7, 255), 4, 4), RGB(5, 7, 255));
  // 0 + 1 * 5/2 = 2.5 -> 2; 0 + 3 * 7/6 = 3.5 -> 4.
  EXPECT_EQ(RedOf(GradientStepColor(RGB(0, 0, 0), RGB(5, 0, 0), 1, 2)), 2);
  EXPECT_EQ(GreenOf(GradientStepColor(RGB(0, 0, 0), RGB(0, 7, 0), 3, 6)), 4);
}

TEST(GradientDrawing, ShapesOnARecordingCanvas) {
  using Op = TRecordingCanvas::Op;
  TRecordingCanvas c;
  DrawGradient(c, grEllipse, 100, kStart, kEnd, 10, 300);
  ASSERT_EQ(c.Entries.size(), 7u);  // the start fill and 5 + 1 ellipses
  EXPECT_EQ(c.Entries[0].op, Op::FillRect);
  EXPECT_EQ(c.Entries[1].op, Op::Ellipse);
  EXPECT_EQ(c.Entries[1].rect, (TRect{0, 0, 10, 300}));
  EXPECT_EQ(c.Entries[2].rect, (TRect{1, 30, 9, 270}));
  EXPECT_EQ(c.Entries[6].rect, (TRect{5, 150, 5, 150}));
  EXPECT_EQ(c.Entries[6].brush.Color, TColor(kEnd));
  EXPECT_EQ(c.Entries[6].pen.Color, TColor(kEnd));

  c.Entries.clear();
  DrawGradient(c, grMount, 2, kStart, kEnd, 40, 20);
  ASSERT_EQ(c.Entries.size(), 4u);
  EXPECT_EQ(c.Entries[1].op, Op::RoundRect);
  EXPECT_EQ(c.Entries[1].corner, (TPoint{20, 10}));
  EXPECT_EQ(c.Entries[2].rect, (TRect{10, 5, 30, 15}));
  EXPECT_EQ(c.Entries[2].corner, (TPoint{10, 5}));

  c.Entries.clear();
  DrawGradient(c, grPyramid, 2, kStart, kEnd, 40, 20);
  ASSERT_EQ(c.Entries.size(), 4u);
  EXPECT_EQ(c.Entries[3].op, Op::FillRect);
  EXPECT_EQ(c.Entries[3].rect, (TRect{20, 10, 20, 10}));

  c.Entries.clear();
  DrawGradient(c, grHorizontal, 100, kStart, kEnd, 0, 10);
  DrawGradient(c, grHorizontal, 100, kStart, kEnd, 10, -5);
  EXPECT_TRUE(c.Entries.empty());
}

TEST(GradientDrawing, ShapeInsetsRoundFractionalStepsHalvesToEven) {
  // 25 x 10 in 4 steps: insets of 3.125 and 1.25 pixels a step; 12.5 and 2.5 go to
  // the even neighbour, 3.75 rounds up.
  TRecordingCanvas c;
  DrawGradient(c, grMount, 4, kStart, kEnd, 25, 10);
  ASSERT_EQ(c.Entries.size(), 6u);
  const TRect rects[] = {{0, 0, 25, 10}, {3, 1, 22, 9}, {6, 2, 19, 8}, {9, 4, 16, 6}, {12, 5, 13, 5}};
  const TPoint corners[] = {{12, 5}, {9, 4}, {6, 3}, {3, 1}, {0, 0}};
  for (int i = 0; i < 5; ++i) {
    const auto& e = c.Entries[size_t(i) + 1];
    EXPECT_EQ(e.rect, rects[i]) << i;
    EXPECT_EQ(e.corner, corners[i]) << i;
    EXPECT_EQ(e.brush.Color, kStep4[i]) << i;
  }
}

TEST(GradientDrawing, BandEdgesStayExactBeyond32BitProducts) {
  // 50000 steps over 50000 pixels: I x W passes 2^31 from step 42950 on.
  for (TXrGradientStyle style : {grHorizontal, grVertical}) {
    TRecordingCanvas c;
    int w = style == grHorizontal ? 50000 : 2, h = style == grHorizontal ? 2 : 50000;
    DrawGradient(c, style, 65535, kStart, kEnd, w, h);
    ASSERT_EQ(c.Entries.size(), 50001u) << style;
    for (int i = 0; i <= 50000; ++i) {
      const TRect& r = c.Entries[size_t(i)].rect;
      int a = style == grHorizontal ? r.Left : r.Top, b = style == grHorizontal ? r.Right : r.Bottom;
      ASSERT_EQ(a, i) << style << " " << i;
      ASSERT_EQ(b, i + 1) << style << " " << i;
    }
  }
}

TEST(ColourTables, RowsAndValues) {
  TColorDescriptions loaded;
  EXPECT_EQ(StandardColors().size(), 20u);
  EXPECT_EQ(PaletteColors().size(), 40u);
  EXPECT_EQ(SystemColors().size(), 30u);
  EXPECT_EQ(String(StandardColors()[17].Constant), u"clSkyBlue");
  EXPECT_EQ(StandardColors()[17].Value, RGBColor(166, 202, 240));
  EXPECT_EQ(String(PaletteColors()[18].Description), u"Lime");
  EXPECT_EQ(PaletteColors()[18].Value, RGBColor(153, 204, 0));
  EXPECT_EQ(SystemColors()[25].Value, clGradientActiveCaption);
  EXPECT_EQ(String(SystemColors()[29].Constant), u"clMenuHighlight");
  // The last five system rows are not in number order.
  const int tail[] = {27, 28, 26, 30, 29};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(SystemColors()[size_t(25 + i)].Value, SystemColor(tail[i])) << i;
  EXPECT_EQ(PaletteColors()[20].Value, RGBColor(51, 153, 153));  // clAqua differs here
  // Plain colours have a zero high byte, system colours 255; identifiers are unique.
  for (auto table : {StandardColors(), PaletteColors(), SystemColors()}) {
    bool system = table.data() == SystemColors().data();
    std::set<String> names;
    for (const TDefColorItem& row : table) {
      EXPECT_EQ(row.Value >> 24, system ? 0xFFu : 0u) << (&row - table.data());
      EXPECT_TRUE(names.insert(row.Constant).second);
      EXPECT_FALSE(String(row.Description).empty());
    }
  }
}

TEST(ColourTables, DescriptionsComeFromTheProgramsResources) {
  ASSERT_TRUE(StandardColors()[0].Description.empty());
  {
    TColorDescriptions loaded;
    EXPECT_EQ(StandardColors()[16].Description, u"Money green");
    EXPECT_EQ(PaletteColors()[7].Description, u"Gray 80%");
    EXPECT_EQ(SystemColors()[29].Description, u"Menu Highlight");
  }
  for (auto table : {StandardColors(), PaletteColors(), SystemColors()})
    for (const TDefColorItem& row : table) EXPECT_TRUE(row.Description.empty());
  // A module without the texts leaves them empty.
  LoadColorDescriptions(GetModuleHandleW(L"kernel32.dll"));
  EXPECT_TRUE(PaletteColors()[0].Description.empty());
  FreeColorDescriptions();
}

class GradientControl : public ::testing::Test {
protected:
  void SetUp() override {
    form = MakeForm<TForm>(TFormArgs{.Caption = u"Gradient", .ClientWidth = 300, .ClientHeight = 200});
    panel = form->Add<TPanel>(TPanelArgs{.Bounds = {10, 10, 257, 150}, .BevelInner = bvRaised,
                                         .BevelOuter = bvNone});
    gradient = panel->Add<TXrGradient>();
    gradient->SetStartColor(TColor(kStart));
    gradient->SetEndColor(TColor(kEnd));
    form->Show();
    gui_test::Pump();
  }
  void TearDown() override { form.reset(); }
  void Paint() {
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    gui_test::Pump();
  }
  FormPtr<TForm> form;
  TPanel* panel = nullptr;
  TXrGradient* gradient = nullptr;
};

TEST_F(GradientControl, FillsItsPanelAndPaintsFromTheCache) {
  EXPECT_EQ(gradient->BoundsRect(), (TRect{1, 1, 256, 149}));
  Paint();
  EXPECT_EQ(gradient->BufferBuilds(), 1);
  TBitmap shot;
  ASSERT_TRUE(gui_test::CaptureClient(panel->Handle(), shot));
  // The gradient starts at panel x = 1 (inside the bevel); 255 wide, 100 steps.
  EXPECT_EQ(shot.Pixel(1, 50), Step100(0));
  EXPECT_EQ(shot.Pixel(1 + 3, 50), Step100(1));
  EXPECT_EQ(shot.Pixel(1 + 254, 50), Step100(99));
  Paint();
  Paint();
  EXPECT_EQ(gradient->BufferBuilds(), 1);

  gradient->SetStartColor(TColor(kStart));  // same value: no rebuild
  gradient->SetSteps(100);
  gradient->SetStyle(grHorizontal);
  Paint();
  EXPECT_EQ(gradient->BufferBuilds(), 1);

  gradient->SetStartColor(clRed);
  Paint();
  EXPECT_EQ(gradient->BufferBuilds(), 2);
  ASSERT_TRUE(gui_test::CaptureClient(panel->Handle(), shot));
  EXPECT_EQ(shot.Pixel(1, 50), clRed);
}

TEST_F(GradientControl, ZeroSizeDrawsNothingAndGrowingRebuilds) {
  Paint();
  gradient->SetAlign(alNone);
  gradient->SetBounds(1, 1, 0, 100);
  TRecordingCanvas rec;
  gradient->PaintTo(rec);
  gradient->PaintTo(rec);  // the old buffer is still there: it must not be copied
  EXPECT_TRUE(rec.Entries.empty());
  int builds = gradient->BufferBuilds();
  gradient->SetBounds(1, 1, 100, 100);
  gradient->PaintTo(rec);
  EXPECT_EQ(gradient->BufferBuilds(), builds + 1);
  ASSERT_EQ(rec.Entries.size(), 1u);
  EXPECT_EQ(rec.Entries[0].op, TRecordingCanvas::Op::Draw);
  // Either dimension alone keys the cache.
  gradient->SetBounds(1, 1, 100, 60);
  gradient->PaintTo(rec);
  EXPECT_EQ(gradient->BufferBuilds(), builds + 2);
  EXPECT_EQ(gradient->Buffer().Height(), 60);
  gradient->SetBounds(1, 1, 70, 60);
  gradient->PaintTo(rec);
  EXPECT_EQ(gradient->BufferBuilds(), builds + 3);
  EXPECT_EQ(gradient->Buffer().Width(), 70);
}

TEST_F(GradientControl, BitmapThatCannotBeMadeDrawsNothing) {
  int builds = gradient->BufferBuilds();
  gradient->SetAlign(alNone);
  gradient->SetBounds(0, 0, 20000, 20000);  // beyond what the buffer accepts
  TRecordingCanvas rec;
  gradient->PaintTo(rec);
  gradient->PaintTo(rec);  // tries again rather than copying the empty buffer
  EXPECT_TRUE(rec.Entries.empty());
  EXPECT_EQ(gradient->BufferBuilds(), builds);
}

TEST_F(GradientControl, SystemColourIsTakenAtRebuild) {
  gradient->SetStyle(grFilled);
  gradient->SetStartColor(clBtnFace);
  TRecordingCanvas rec;
  gradient->PaintTo(rec);
  EXPECT_EQ(gradient->Buffer().Pixel(5, 5), TColor(GetSysColor(COLOR_BTNFACE)));
}

TEST_F(GradientControl, LoadedRestoresTheBoundsSetThroughProperties) {
  gradient->SetAlign(alNone);
  gradient->SetLeft(3);
  gradient->SetTop(4);
  gradient->SetWidth(50);
  gradient->SetHeight(60);
  gradient->SetBounds(0, 0, 10, 10);
  gradient->Loaded();
  EXPECT_EQ(gradient->BoundsRect(), (TRect{3, 4, 53, 64}));
}

TEST(GradientLoading, DefaultsAFormLeavesOut) {
  TXrGradient g(nullptr);
  EXPECT_EQ(g.Style(), grHorizontal);
  EXPECT_EQ(g.StartColor(), RGBColor(0, 0, 255));
  EXPECT_EQ(g.EndColor(), RGBColor(0, 0, 0));
  EXPECT_EQ(g.Steps(), 100);
  EXPECT_EQ(g.Align(), alClient);
  EXPECT_EQ(g.HintColor(), clDefault);
  EXPECT_FALSE(g.MouseOver());
  EXPECT_TRUE(g.ControlStyle() & csOpaque);
  EXPECT_TRUE(g.ParentShowHint());
  EXPECT_EQ(g.PopupMenu(), nullptr);
}

TEST(GradientLoading, AlignDecidesWhichBoundsLoadedRestores) {
  // No parent: nothing realigns the control afterwards.
  struct Case {
    TAlign align;
    TRect expected;
  } cases[] = {
      {alNone, {3, 4, 53, 64}},
      {alCustom, {3, 4, 53, 64}},
      {alClient, {3, 4, 13, 14}},
      {alTop, {0, 0, 50, 60}},
      {alRight, {0, 0, 50, 60}},
  };
  for (const Case& c : cases) {
    TXrGradient g(nullptr);
    g.SetAlign(c.align);
    g.SetLeft(3);
    g.SetTop(4);
    g.SetWidth(50);
    g.SetHeight(60);
    g.SetBounds(0, 0, 10, 10);
    g.Loaded();
    EXPECT_EQ(g.BoundsRect(), c.expected) << c.align;
  }
}

TEST_F(GradientControl, MouseEnterAndLeaveFollowTheMouse) {
  int enters = 0, leaves = 0;
  std::vector<std::string> order;
  gradient->FOnMouseEnter = [&](TObject*) {
    ++enters;
    order.push_back(gradient->MouseOver() ? "enter over" : "enter");
  };
  gradient->FOnMouseLeave = [&](TObject*) {
    ++leaves;
    order.push_back(gradient->MouseOver() ? "leave over" : "leave");
  };
  // The control's own OnMouseEnter and OnMouseLeave run as the base handling.
  gradient->OnMouseEnter = [&](TObject*) { order.push_back("base enter"); };
  gradient->OnMouseLeave = [&](TObject*) { order.push_back("base leave"); };
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
  EXPECT_TRUE(gradient->MouseOver());
  EXPECT_EQ(enters, 1);
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(60, 50));
  EXPECT_EQ(enters, 1);
  SendMessageW(panel->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(gradient->MouseOver());
  EXPECT_EQ(leaves, 1);
  EXPECT_EQ(order, (std::vector<std::string>{"enter over", "base enter", "base leave", "leave"}));
}

// A windowless control's hint: shown while the mouse is over it, once the control was
// asked through the hint-show message, in the colour that answer left; a refusal
// shows nothing, and leaving hides it.
TEST_F(GradientControl, HintShowsWhileTheMouseIsOverIt) {
  gradient->SetHint(u"Gradient hint");
  gradient->SetShowHint(true);
  gradient->SetHintColor(clFuchsia);
  int asked = 0;
  bool refuse = false;
  const TWndMethod own = gradient->WindowProc;
  gradient->WindowProc = [&, own](TMessage& m) {
    own(m);
    if (m.Msg != CM_HINTSHOW) return;
    ++asked;
    EXPECT_EQ(reinterpret_cast<THintInfo*>(m.LParam)->HintControl, gradient);
    if (refuse) m.Result = 1;
  };
  auto tipText = [&] {
    wchar_t text[80] = {};
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = form->Handle();
    ti.uId = 1;
    ti.lpszText = text;
    SendMessageW(form->ControlHintWindow(), TTM_GETTEXTW, 80, LPARAM(&ti));
    return FromW(text);
  };

  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
  gui_test::Pump();
  EXPECT_EQ(asked, 1);
  ASSERT_NE(form->ControlHintWindow(), nullptr);
  EXPECT_TRUE(IsWindowVisible(form->ControlHintWindow()));
  EXPECT_EQ(form->ControlHintShown(), gradient);
  EXPECT_EQ(tipText(), u"Gradient hint");
  EXPECT_EQ(COLORREF(SendMessageW(form->ControlHintWindow(), TTM_GETTIPBKCOLOR, 0, 0)),
            ColorToRGB(clFuchsia));
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(60, 50));  // still over it
  EXPECT_EQ(asked, 1);

  SendMessageW(panel->Handle(), WM_MOUSELEAVE, 0, 0);
  gui_test::Pump();
  EXPECT_FALSE(IsWindowVisible(form->ControlHintWindow()));
  EXPECT_EQ(form->ControlHintShown(), nullptr);

  refuse = true;
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
  gui_test::Pump();
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(IsWindowVisible(form->ControlHintWindow()));
  SendMessageW(panel->Handle(), WM_MOUSELEAVE, 0, 0);

  // Without ShowHint nothing is asked and nothing shows.
  refuse = false;
  gradient->SetShowHint(false);
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
  gui_test::Pump();
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(IsWindowVisible(form->ControlHintWindow()));
  SendMessageW(panel->Handle(), WM_MOUSELEAVE, 0, 0);
  gradient->WindowProc = own;
}

// ShowHint follows the parent's while ParentShowHint holds; setting it stops that.
TEST_F(GradientControl, ShowHintFollowsTheParentUntilSetItself) {
  ASSERT_TRUE(gradient->ParentShowHint());
  int notified = 0;
  const TWndMethod own = gradient->WindowProc;
  gradient->WindowProc = [&, own](TMessage& m) {
    if (m.Msg == CM_PARENTSHOWHINTCHANGED) ++notified;
    own(m);
  };
  panel->SetShowHint(true);
  EXPECT_TRUE(gradient->ShowHint());
  EXPECT_GE(notified, 1);
  panel->SetShowHint(false);
  EXPECT_FALSE(gradient->ShowHint());
  gradient->SetShowHint(true);
  EXPECT_FALSE(gradient->ParentShowHint());
  panel->SetShowHint(true);
  panel->SetShowHint(false);
  EXPECT_TRUE(gradient->ShowHint());  // its own now
  gradient->SetParentShowHint(true);
  EXPECT_FALSE(gradient->ShowHint());  // the parent's again
  gradient->WindowProc = own;
}

// A form's Loaded step runs once the form is made: bounds it gave through the
// properties are put back over whatever moved the control in between.
TEST(GradientLoading, LoadedRunsWhenTheFormIsMade) {
  class TFmWithGradient : public TForm {
  public:
    TFmWithGradient() : TForm(TFormArgs{.Caption = u"Loaded", .ClientWidth = 200, .ClientHeight = 150}) {
      Gradient = Add<TXrGradient>();
      Gradient->SetAlign(alNone);
      Gradient->SetLeft(3);
      Gradient->SetTop(4);
      Gradient->SetWidth(50);
      Gradient->SetHeight(60);
      Gradient->SetBounds(0, 0, 10, 10);
      OnCreate = [this](TObject*) { boundsAtCreate = Gradient->BoundsRect(); };
    }
    TXrGradient* Gradient;
    TRect boundsAtCreate;
  };
  auto form = MakeForm<TFmWithGradient>();
  EXPECT_EQ(form->boundsAtCreate, (TRect{3, 4, 53, 64}));
  EXPECT_EQ(form->Gradient->BoundsRect(), (TRect{3, 4, 53, 64}));
}

TEST_F(GradientControl, ChangedPropertyRebuildsAndAnEqualOneDoesNot) {
  struct Case {
    const char* name;
    std::function<void()> same, other;
  } cases[] = {
      {"Style", [&] { gradient->SetStyle(grHorizontal); }, [&] { gradient->SetStyle(grPyramid); }},
      {"StartColor", [&] { gradient->SetStartColor(TColor(kStart)); },
       [&] { gradient->SetStartColor(clRed); }},
      {"EndColor", [&] { gradient->SetEndColor(TColor(kEnd)); },
       [&] { gradient->SetEndColor(clLime); }},
      {"Steps", [&] { gradient->SetSteps(100); }, [&] { gradient->SetSteps(7); }},
  };
  for (const Case& c : cases) {
    SetUp();
    Paint();
    int builds = gradient->BufferBuilds();
    c.same();
    EXPECT_FALSE(GetUpdateRect(panel->Handle(), nullptr, FALSE)) << c.name;
    Paint();
    EXPECT_EQ(gradient->BufferBuilds(), builds) << c.name;
    c.other();
    EXPECT_TRUE(GetUpdateRect(panel->Handle(), nullptr, FALSE)) << c.name;
    Paint();
    EXPECT_EQ(gradient->BufferBuilds(), builds + 1) << c.name;
    TearDown();
  }
}

TEST_F(GradientControl, SystemColourChangeShowsOnlyAfterTheNextRebuild) {
  const INT index = COLOR_GRADIENTACTIVECAPTION;
  gradient->SetStyle(grFilled);
  gradient->SetStartColor(clGradientActiveCaption);
  TRecordingCanvas rec;
  gradient->PaintTo(rec);
  COLORREF before = GetSysColor(index), changed = before ^ 0x00FFFFFF;
  ASSERT_EQ(gradient->Buffer().Pixel(5, 5), TColor(before));
  ASSERT_TRUE(SetSysColors(1, &index, &changed));
  struct Restore {
    INT index;
    COLORREF rgb;
    ~Restore() { SetSysColors(1, &index, &rgb); }
  } restore{index, before};
  ASSERT_EQ(GetSysColor(index), changed);
  int builds = gradient->BufferBuilds();
  gradient->PaintTo(rec);
  EXPECT_EQ(gradient->BufferBuilds(), builds);
  EXPECT_EQ(gradient->Buffer().Pixel(5, 5), TColor(before));
  gradient->SetAlign(alNone);
  gradient->SetBounds(1, 1, 100, 100);
  gradient->PaintTo(rec);
  EXPECT_EQ(gradient->BufferBuilds(), builds + 1);
  EXPECT_EQ(gradient->Buffer().Pixel(5, 5), TColor(changed));
}

TEST_F(GradientControl, HintShowResolvesTheColourAndTheWindowClass) {
  // The panel stands for a parent that picks the hint colour.
  TWndMethod panelProc = panel->WindowProc;
  int asked = 0;
  panel->WindowProc = [&, panelProc](TMessage& m) {
    if (m.Msg == CM_HINTSHOW) {
      ++asked;
      reinterpret_cast<THintInfo*>(m.LParam)->HintColor = clAqua;
      reinterpret_cast<THintInfo*>(m.LParam)->HintStr = u"changed by the parent";
      return;
    }
    panelProc(m);
  };
  THintInfo info;
  info.HintStr = u"own";
  EXPECT_EQ(gradient->Perform(CM_HINTSHOW, 0, LPARAM(&info)), 0);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(info.HintColor, clAqua);
  EXPECT_EQ(info.HintStr, u"own");  // only the colour comes back
  EXPECT_EQ(info.HintWindowClass, nullptr);

  static const char kOwnHint[] = "own hint window";
  gradient->SetHintColor(clNone);
  gradient->SetHintWindowClass(kOwnHint);
  info.HintColor = clYellow;
  gradient->Perform(CM_HINTSHOW, 0, LPARAM(&info));
  EXPECT_EQ(info.HintColor, kApplicationHintColor);
  EXPECT_EQ(info.HintWindowClass, kOwnHint);
  gradient->SetHintColor(clFuchsia);
  gradient->Perform(CM_HINTSHOW, 0, LPARAM(&info));
  EXPECT_EQ(info.HintColor, clFuchsia);
  EXPECT_EQ(asked, 1);
  panel->WindowProc = panelProc;
}

TEST_F(GradientControl, ParentColourChangeReachesTheEvent) {
  TObject* sender = nullptr;
  gradient->FOnParentColorChanged = [&](TObject* s) { sender = s; };
  panel->SetColor(clRed);
  EXPECT_EQ(sender, gradient);
}

// Records which operation each component notification reaches.
BOOL CALLBACK FindShownPopupMenu(HWND w, LPARAM found) {
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  if (wcscmp(cls, L"#32768") != 0 || !IsWindowVisible(w)) return TRUE;
  *reinterpret_cast<HWND*>(found) = w;
  return FALSE;
}

// Picks the first item of the popup menu that the thread shows next (a popup menu
// runs its own message loop, so the picking comes from another thread).
class MenuPicker {
public:
  explicit MenuPicker(DWORD guiThread)
      : thread_([guiThread] {
          for (int tries = 0; tries < 1000; ++tries) {
            HWND menu = nullptr;
            EnumThreadWindows(guiThread, FindShownPopupMenu, LPARAM(&menu));
            if (menu) {
              PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
              PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
              return;
            }
            Sleep(10);
          }
        }) {}
  ~MenuPicker() { thread_.join(); }

private:
  std::thread thread_;
};

TEST_F(GradientControl, ItsPopupMenuShowsOnTheContextMenuMessage) {
  TPopupMenu menu;
  std::vector<String> events;
  menu.OnPopup = [&](TObject*) { events.push_back(u"popup"); };
  menu.Add({.Caption = u"First", .OnClick = [&](TObject*) { events.push_back(u"First"); }});
  menu.Add({.Caption = u"Second", .OnClick = [&](TObject*) { events.push_back(u"Second"); }});
  gradient->SetPopupMenu(&menu);
  {
    MenuPicker picker(GetCurrentThreadId());
    const TPoint at = gradient->ClientToScreen({10, 10});
    SendMessageW(panel->Handle(), WM_CONTEXTMENU, WPARAM(panel->Handle()),
                 MAKELPARAM(at.X, at.Y));
  }
  EXPECT_EQ(events, (std::vector<String>{u"popup", u"First"}));
  EXPECT_EQ(menu.PopupComponent(), gradient);

  // On the panel's bevel no control with a menu is under the point.
  const TPoint bevel = panel->ClientToScreen({0, 0});
  SendMessageW(panel->Handle(), WM_CONTEXTMENU, WPARAM(panel->Handle()),
               MAKELPARAM(bevel.X, bevel.Y));
  EXPECT_EQ(events.size(), 2u);
}

// A panel that notes, whenever it paints itself, whether it may paint at a point.
class ProbePanel : public TPanel {
public:
  using TPanel::TPanel;
  TPoint probe;
  int paints = 0;
  bool paintsAtProbe = false;

protected:
  void Paint() override {
    ++paints;
    auto* gdi = dynamic_cast<TGdiCanvas*>(&Canvas());
    paintsAtProbe = gdi && PtVisible(gdi->Handle(), probe.X, probe.Y);
    TPanel::Paint();
  }
};

TEST(GradientOpaque, ItsParentDoesNotPaintUnderIt) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 300, .ClientHeight = 200});
  auto* panel = form->Add<ProbePanel>(TPanelArgs{.Bounds = {10, 10, 200, 150}});
  auto* gradient = panel->Add<TXrGradient>();
  gradient->SetAlign(alNone);
  gradient->SetBounds(20, 20, 100, 50);
  gradient->SetStyle(grFilled);
  gradient->SetStartColor(clRed);
  form->Show();
  gui_test::Pump();
  struct Case {
    TPoint probe;
    bool gradientVisible;
    bool parentPaints;
  } const cases[] = {
      {{30, 30}, true, false},  // under the gradient
      {{5, 5}, true, true},     // beside it
      {{30, 30}, false, true},  // under it while it is hidden
  };
  for (const Case& c : cases) {
    gradient->SetVisible(c.gradientVisible);
    panel->probe = c.probe;
    panel->paints = 0;
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_GT(panel->paints, 0);
    EXPECT_EQ(panel->paintsAtProbe, c.parentPaints) << c.probe.X << "," << c.probe.Y;
  }
  gradient->SetVisible(true);
  TBitmap shot;
  ASSERT_TRUE(gui_test::CaptureClient(panel->Handle(), shot));
  EXPECT_EQ(shot.Pixel(30, 30), clRed);
  EXPECT_EQ(shot.Pixel(119, 69), clRed);
  EXPECT_NE(shot.Pixel(120, 70), clRed);
}

TEST_F(GradientControl, PaintsNothingWhileBeingDestroyed) {
  gradient->SetStartColor(clRed);  // the next paint would rebuild
  const int builds = gradient->BufferBuilds();
  gradient->Destroying();
  TRecordingCanvas rec;
  gradient->PaintTo(rec);
  EXPECT_TRUE(rec.Entries.empty());
  EXPECT_EQ(gradient->BufferBuilds(), builds);
}

class RoutingProbe : public TXrExGraphicControl {
public:
  using TXrExGraphicControl::TXrExGraphicControl;
  std::string call;
  TControl* control = nullptr;
  WORD key = 0;
  TShiftState shift = 0;
  String keyText;
  int x = 0, y = 0;
  THintInfo* hint = nullptr;
  bool answer = true;

protected:
  void NotifyTextChange() override { call = "Text"; }
  bool AcceptsDialogChar(WORD k, TShiftState s, const String& text) override {
    call = "DialogChar";
    key = k;
    shift = s;
    keyText = text;
    return answer;
  }
  bool IsPointInside(int px, int py) override {
    call = "PointInside";
    x = px;
    y = py;
    return answer;
  }
  void NotifyFocusChange(TControl* c) override {
    call = "Focus";
    control = c;
  }
  void NotifyVisibleChange() override { call = "Visible"; }
  void NotifyEnabledChange() override { call = "Enabled"; }
  void NotifyColorChange() override { call = "Color"; }
  void NotifyFontChange() override { call = "Font"; }
  void NotifyParentFontChange() override { call = "ParentFont"; }
  void NotifyParentColorChange() override { call = "ParentColor"; }
  void NotifyParentShowHintChange() override { call = "ParentShowHint"; }
  bool PrepareHint(THintInfo& info) override {
    call = "Hint";
    hint = &info;
    return answer;
  }
  void NotifyMouseEnter(TControl* c) override {
    call = "MouseEnter";
    control = c;
  }
  void NotifyMouseLeave(TControl* c) override {
    call = "MouseLeave";
    control = c;
  }
};

TEST(XrExControls, NotificationsReachTheirOperations) {
  auto form = MakeForm<TForm>(TFormArgs{});
  RoutingProbe* p = form->Add<RoutingProbe>();
  THintInfo info;
  struct Case {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    const char* call;
    bool answers;  // Result carries the operation's answer
  } cases[] = {
      {CM_DIALOGCHAR, 'k', 1 << 28, "DialogChar", true},
      {CM_FOCUSCHANGED, 0, LPARAM(p), "Focus", false},
      {CM_PARENTFONTCHANGED, 0, 0, "ParentFont", false},
      {CM_PARENTCOLORCHANGED, 0, 0, "ParentColor", false},
      {CM_HITTEST, 0, LPARAM(MAKELPARAM(-3, 7)), "PointInside", true},
      {CM_VISIBLECHANGED, 1, 0, "Visible", false},
      {CM_ENABLEDCHANGED, 0, 0, "Enabled", false},
      {CM_COLORCHANGED, 0, 0, "Color", false},
      {CM_FONTCHANGED, 0, 0, "Font", false},
      {CM_TEXTCHANGED, 0, 0, "Text", false},
      {CM_MOUSEENTER, 0, LPARAM(p), "MouseEnter", false},
      {CM_MOUSELEAVE, 0, LPARAM(p), "MouseLeave", false},
      {CM_PARENTSHOWHINTCHANGED, 0, 0, "ParentShowHint", false},
      {CM_HINTSHOW, 0, LPARAM(&info), "Hint", true},
      {CM_XR_SUPPORTS, 0, 0, "", false},
      {WM_USER + 5, 0, 0, "", false},
  };
  for (bool answer : {true, false}) {
    p->answer = answer;
    for (const Case& c : cases) {
      p->call.clear();
      p->control = nullptr;
      LRESULT result = p->Perform(c.msg, c.wp, c.lp);
      EXPECT_EQ(p->call, c.call) << c.msg;
      EXPECT_EQ(result, c.answers && answer ? 1 : 0) << c.msg;
      if (c.msg == CM_FOCUSCHANGED || c.msg == CM_MOUSEENTER || c.msg == CM_MOUSELEAVE) {
        EXPECT_EQ(p->control, p) << c.msg;
      }
    }
  }
  EXPECT_EQ(p->key, WORD('k'));
  EXPECT_EQ(p->shift, TShiftState(ssCtrl));
  EXPECT_EQ(p->keyText, u"k");
  EXPECT_EQ(p->x, -3);
  EXPECT_EQ(p->y, 7);
  EXPECT_EQ(p->hint, &info);
}

TEST(XrExControls, KeyDataAndHintColour) {
  EXPECT_EQ(ShiftToKeyData(0), 0);
  EXPECT_EQ(ShiftToKeyData(ssShift | ssCtrl | ssAlt), (1 << 27) | (1 << 28) | (1 << 29));
  EXPECT_EQ(ShiftToKeyData(ssAlt), 1 << 29);
  auto form = MakeForm<TForm>(TFormArgs{});
  TXrGradient* g = form->Add<TXrGradient>();
  THintInfo info;
  info.HintColor = clYellow;
  ResolveHintColor(info, g, clNone);
  EXPECT_EQ(info.HintColor, kApplicationHintColor);
  info.HintColor = clYellow;
  ResolveHintColor(info, g, clDefault);  // the form leaves the colour alone
  EXPECT_EQ(info.HintColor, clYellow);
  ResolveHintColor(info, g, clLime);
  EXPECT_EQ(info.HintColor, clLime);
  EXPECT_EQ(g->Perform(CM_XR_SUPPORTS, 0, 0), 0);
  EXPECT_TRUE(g->Supports(kXrExControlInterface));
  EXPECT_EQ(g->Perform(CM_HITTEST, 0, MAKELPARAM(1, 1)), HTCLIENT);
}

}  // namespace
