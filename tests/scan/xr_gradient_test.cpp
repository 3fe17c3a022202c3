#include "scan/xr_gradient.h"

#include <gtest/gtest.h>

#include <cmath>

#include "scan/xr_consts.h"
#include "tests/ui/gui_test.h"
#include "ui/forms.h"
#include "ui/recording_canvas.h"
#include "ui/std_controls.h"

namespace {

constexpr COLORREF kStart = RGB(0, 0, 0);
constexpr COLORREF kEnd = RGB(200, 100, 250);

TColor StepColor(int i, int m) { return TColor(GradientStepColor(kStart, kEnd, i, m)); }

TEST(GradientDrawing, HorizontalBandEdgesAt255PixelsAnd100Steps) {
  TBitmap bmp;
  ASSERT_TRUE(bmp.SetSize(255, 4));
  DrawGradient(bmp.Canvas(), grHorizontal, 100, kStart, kEnd, 255, 4);
  // Bands start at rnd(I * 2.55): 0, 3, 5, 8, ... 250, 252.
  const int starts[] = {0, 3, 5, 8, 10, 13};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(bmp.Pixel(starts[i], 2), StepColor(i, 100)) << i;
  EXPECT_EQ(bmp.Pixel(2, 2), StepColor(0, 100));
  EXPECT_EQ(bmp.Pixel(4, 2), StepColor(1, 100));
  EXPECT_EQ(bmp.Pixel(249, 2), StepColor(97, 100));
  EXPECT_EQ(bmp.Pixel(250, 2), StepColor(98, 100));
  EXPECT_EQ(bmp.Pixel(251, 2), StepColor(98, 100));
  for (int x = 252; x < 255; ++x) EXPECT_EQ(bmp.Pixel(x, 0), StepColor(99, 100)) << x;
  // Every column belongs to the band the formula gives.
  for (int x = 0; x < 255; ++x) {
    int band = 0;
    while (int(std::nearbyint((band + 1) * 255.0 / 100)) <= x) ++band;
    ASSERT_EQ(bmp.Pixel(x, 3), StepColor(band, 100)) << x;
  }
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
  for (int x = 0; x < 50; ++x) ASSERT_EQ(bmp.Pixel(x, 1), StepColor(x, 50)) << x;
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
  for (int y = 0; y < 20; ++y) EXPECT_EQ(bmp.Pixel(1, y), StepColor(y / 5, 4)) << y;
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

TEST(ColourTables, RowsAndValues) {
  EXPECT_EQ(StandardColors().size(), 20u);
  EXPECT_EQ(PaletteColors().size(), 40u);
  EXPECT_EQ(SystemColors().size(), 30u);
  EXPECT_EQ(String(StandardColors()[17].Constant), u"clSkyBlue");
  EXPECT_EQ(StandardColors()[17].Value, RGBColor(166, 202, 240));
  EXPECT_EQ(String(PaletteColors()[18].Description), u"Lime");
  EXPECT_EQ(PaletteColors()[18].Value, RGBColor(153, 204, 0));
  EXPECT_EQ(SystemColors()[25].Value, clGradientActiveCaption);
  EXPECT_EQ(String(SystemColors()[29].Constant), u"clMenuHighlight");
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
  EXPECT_EQ(shot.Pixel(1, 50), StepColor(0, 100));
  EXPECT_EQ(shot.Pixel(1 + 3, 50), StepColor(1, 100));
  EXPECT_EQ(shot.Pixel(1 + 254, 50), StepColor(99, 100));
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
  EXPECT_TRUE(rec.Entries.empty());
  int builds = gradient->BufferBuilds();
  gradient->SetBounds(1, 1, 100, 100);
  gradient->PaintTo(rec);
  EXPECT_EQ(gradient->BufferBuilds(), builds + 1);
  ASSERT_EQ(rec.Entries.size(), 1u);
  EXPECT_EQ(rec.Entries[0].op, TRecordingCanvas::Op::Draw);
}

TEST_F(GradientControl, BitmapThatCannotBeMadeDrawsNothing) {
  int builds = gradient->BufferBuilds();
  gradient->SetAlign(alNone);
  gradient->SetBounds(0, 0, 20000, 20000);  // beyond what the buffer accepts
  TRecordingCanvas rec;
  gradient->PaintTo(rec);
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

TEST_F(GradientControl, MouseEnterAndLeaveFollowTheMouse) {
  int enters = 0, leaves = 0;
  gradient->FOnMouseEnter = [&](TObject*) { ++enters; };
  gradient->FOnMouseLeave = [&](TObject*) { ++leaves; };
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
  EXPECT_TRUE(gradient->MouseOver());
  EXPECT_EQ(enters, 1);
  SendMessageW(panel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(60, 50));
  EXPECT_EQ(enters, 1);
  SendMessageW(panel->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(gradient->MouseOver());
  EXPECT_EQ(leaves, 1);
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
