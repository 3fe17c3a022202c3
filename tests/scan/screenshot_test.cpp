// Lays out a window with every kind of control the programs use and saves a
// screenshot under the build tree (artifacts/all_controls.png) for a person to look
// at. It checks only that the capture shows the window's parts where they belong.
#include <gtest/gtest.h>

#include "base/format.h"
#include "scan/xr_gradient.h"
#include "scan/xr_grid.h"
#include "tests/testlib/test_paths.h"
#include "tests/ui/gui_test.h"
#include "tests/ui/png_writer.h"
#include "ui/com_controls.h"
#include "ui/forms.h"
#include "ui/image.h"
#include "ui/menus.h"
#include "ui/std_controls.h"

namespace {

class TFmAllControls : public TForm {
public:
  TFmAllControls()
      : TForm(TFormArgs{.Caption = u"Every control", .ClientWidth = 746, .ClientHeight = 580,
                        .Left = 10, .Top = 10}) {
    TMainMenu* menu = CreateMainMenu();
    TMenuItem* file = menu->Add({.Caption = u"File"});
    file->Add({.Caption = u"Start Scan"});
    file->AddSeparator();
    file->Add({.Caption = u"Save to File", .Enabled = false});
    menu->Add({.Caption = u"Help"})->Add({.Caption = u"About"});

    Status = Add<TStatusBar>(TStatusBarArgs{
        .Panels = {{u"File Count: 1,234", 120}, {u"Total Size: 5,678 KB", 200}, {u"Folder: c:\\data", 50}}});
    PnLeft = Add<TPanel>(TPanelArgs{.Bounds = {0, 0, 257, 0}, .Align = alLeft,
                                    .Color = clInactiveCaptionText, .BevelInner = bvRaised,
                                    .BevelOuter = bvNone});
    Gradient = PnLeft->Add<TXrGradient>();
    Gradient->SetStartColor(clGradientActiveCaption);
    Gradient->SetEndColor(clGradientInactiveCaption);
    auto* top = PnLeft->Add<TPanel>(TPanelArgs{.Bounds = {8, 22, 241, 119}});
    top->Add<TLabel>(TLabelArgs{.Bounds = {8, 8, 0, 0}, .Font = TFont{.Style = fsBold},
                                .Caption = u"Select a folder and click Start Scan"});
    top->Add<TLabel>(TLabelArgs{.Bounds = {8, 36, 0, 0}, .Caption = u"Folder"});
    top->Add<TEdit>(TEditArgs{.Bounds = {8, 52, 227, 21}, .Hint = u"Folder to scan",
                              .ShowHint = true, .Text = u"c:\\data"});
    top->Add<TButton>(TButtonArgs{.Bounds = {176, 84, 59, 25}, .Caption = u"Browse..."});
    auto* bottom = PnLeft->Add<TPanel>(TPanelArgs{.Bounds = {8, 160, 241, 289}});
    auto* g1 = bottom->Add<TGroupBox>(TGroupBoxArgs{.Bounds = {8, 8, 225, 110}, .Caption = u" Options "});
    g1->Add<TCheckBox>(TCheckBoxArgs{.Bounds = {10, 20, 200, 17},
                                     .Caption = u"Ignore case of file extensions", .Checked = true});
    g1->Add<TCheckBox>(TCheckBoxArgs{.Bounds = {10, 40, 200, 17}, .Caption = u"Include subfolders"});
    g1->Add<TLabel>(TLabelArgs{.Bounds = {10, 68, 0, 0}, .Caption = u"Ignore extension"});
    g1->Add<TComboBox>(TComboBoxArgs{.Bounds = {100, 64, 107, 21}, .Text = u"tmp",
                                     .Items = {u"tmp", u"bak"}});
    auto* g2 = bottom->Add<TGroupBox>(TGroupBoxArgs{.Bounds = {8, 124, 225, 110}, .Caption = u" Include "});
    g2->Add<TCheckBox>(TCheckBoxArgs{.Bounds = {10, 20, 200, 17}, .Caption = u"Read-only files and folders", .Checked = true});
    g2->Add<TDateTimePicker>(TDateTimePickerArgs{.Bounds = {10, 44, 120, 21}});
    g2->Add<TProgressBar>(TProgressBarArgs{.Bounds = {10, 76, 200, 17}, .Position = 60});
    bottom->Add<TButton>(TButtonArgs{.Bounds = {40, 250, 75, 25}, .Caption = u"Start Scan", .Default = true});
    bottom->Add<TBitBtn>(TBitBtnArgs{.Bounds = {125, 250, 75, 25}, .Kind = bkOK});

    auto* right = Add<TPanel>(TPanelArgs{.Align = alClient, .Color = clWindow, .BevelOuter = bvNone});
    Grid = right->Add<TXrGrid>(TXrGridArgs{.Bounds = {0, 0, 0, 200}, .Align = alTop, .ColCount = 7,
                                           .FixedCols = 0, .DrawingStyle = gdsGradient});
    const char16_t* titles[] = {u"Extension >", u"File Type", u"Count", u"Total Size (KB)",
                                u"Max Size (KB)", u"Min Size (KB)", u"% of Total"};
    const int widths[] = {70, 110, 50, 85, 85, 85, 70};
    for (int c = 0; c < 7; ++c) {
      Grid->SetCell(c, 0, titles[c]);
      Grid->SetColWidth(c, widths[c]);
    }
    const char16_t* exts[] = {u"cpp", u"h", u"txt", u"zip"};
    for (int r = 1; r <= 4; ++r) {
      Grid->SetCell(0, r, exts[r - 1]);
      Grid->SetCell(1, r, String(exts[r - 1]) + u" File");
      Grid->SetCell(2, r, IntToStr(r * 17));
      Grid->SetCell(3, r, IntToStr(r * 120) + u" KB");
    }
    auto* pages = right->Add<TPageControl>(TPageControlArgs{.Bounds = {8, 210, 470, 200}});
    TTabSheet* p1 = pages->AddPage({.Caption = u"Summary"});
    pages->AddPage({.Caption = u"Hidden", .TabVisible = false});
    pages->AddPage({.Caption = u"Details"});
    auto* memo = p1->Add<TMemo>(TMemoArgs{.Bounds = {8, 8, 300, 140}, .ReadOnly = true,
                                          .ScrollBars = ssVertical});
    memo->SetLines({u"Destination Location", u"\tC:\\Program Files\\Quorlix\\", u"",
                    u"Start Menu folder", u"\tQuorlix"});
    auto* image = p1->Add<TImage>(TImageArgs{.Bounds = {320, 8, 53, 53}});
    TBitmap picture;
    picture.SetSize(53, 53);
    DrawGradient(picture.Canvas(), grEllipse, 20, RGB(255, 255, 255), RGB(0, 90, 160), 53, 53);
    image->Assign(picture);
    right->Add<TBevel>(TBevelArgs{.Bounds = {8, 420, 470, 2}, .Shape = bsTopLine});
    auto* url = right->Add<TLabel>(TLabelArgs{.Bounds = {8, 430, 0, 0},
                                              .Font = TFont{.Style = fsUnderline, .Color = clNavy},
                                              .Cursor = crHandPoint, .Caption = u"www.quorlix.example"});
    (void)url;
    right->Add<TLabel>(TLabelArgs{.Bounds = {8, 450, 300, 0},
                                  .Caption = u"A wrapped label: Select a folder by clicking the "
                                             u"Browse button, then click Start Scan",
                                  .WordWrap = true});
  }
  TStatusBar* Status;
  TPanel* PnLeft;
  TXrGradient* Gradient;
  TXrGrid* Grid;
};

TEST(Screenshot, EveryControlKind) {
  auto form = MakeForm<TFmAllControls>();
  form->Show();
  gui_test::Pump(300);
  TBitmap shot;
  ASSERT_TRUE(gui_test::CaptureWindow(form->Handle(), shot, 200));
  const String path = gui_test::ArtifactPath(QZ_ARTIFACT_DIR, "all_controls.png");
  ASSERT_TRUE(gui_test::WritePng(shot, path)) << ToUtf8(path);
  RECT r;
  GetWindowRect(form->Handle(), &r);
  // The gradient's first column sits inside the left panel's bevel.
  POINT origin{0, 0};
  ClientToScreen(form->PnLeft->Handle(), &origin);
  int gx = origin.x - r.left + 1, gy = origin.y - r.top + 5;
  EXPECT_EQ(shot.Pixel(gx, gy), TColor(GetSysColor(27)));
}

}  // namespace
