// The wizard window's layout: every control of every page, in one place.
#include "setup/main_form.h"

#include "setup/setup_texts.h"

namespace st = setup_texts;

namespace {
constexpr TFont kBold{.Style = fsBold};
}  // namespace

TFmMain::TFmMain(const String& setupPath)
    : TForm(TFormArgs{.Name = u"FmMain", .Caption = u"Setup", .ClientWidth = 493,
                      .ClientHeight = 383, .BorderStyle = bsDialog, .BorderIcons = biSystemMenu,
                      .Position = poScreenCenter}),
      FSetupPath(setupPath) {
  DeclareLayout();
  OnCreate = Method(this, &TFmMain::FormCreate);
  OnShow = Method(this, &TFmMain::FormShow);
  OnCloseQuery = Method(this, &TFmMain::FormCloseQuery);
  OnClose = Method(this, &TFmMain::FormClose);
  BtnNext->OnClick = Method(this, &TFmMain::BtnNextClick);
  BtnBack->OnClick = Method(this, &TFmMain::BtnBackClick);
  BtnCancel->OnClick = Method(this, &TFmMain::BtnCancelClick);
  BtnBrowseDestDir->OnClick = Method(this, &TFmMain::BtnBrowseDestDirClick);
}

void TFmMain::DeclareLayout() {
  PnTop = Add<TPanel>(TPanelArgs{.Name = u"PnTop", .Bounds = {0, 0, 493, 60}, .Align = alTop,
                                 .Color = clWhite, .BevelOuter = bvNone});
  Image3 = PnTop->Add<TImage>(TImageArgs{.Name = u"Image3", .Bounds = {415, 3, 53, 53}});
  LbPageTitle = PnTop->Add<TLabel>(
      TLabelArgs{.Name = u"LbPageTitle", .Bounds = {24, 16, 0, 0}, .Font = kBold});
  LbPageDesc = PnTop->Add<TLabel>(
      TLabelArgs{.Name = u"LbPageDesc", .Bounds = {24, 34, 0, 0}, .Visible = false});
  Bevel2 = PnTop->Add<TBevel>(
      TBevelArgs{.Name = u"Bevel2", .Bounds = {0, 58, 493, 2}, .Shape = bsBottomLine});

  PnBottom = Add<TPanel>(TPanelArgs{.Name = u"PnBottom", .Bounds = {0, 340, 493, 43},
                                    .Align = alBottom, .BevelOuter = bvNone});
  Bevel1 = PnBottom->Add<TBevel>(
      TBevelArgs{.Name = u"Bevel1", .Bounds = {0, 0, 493, 2}, .Shape = bsTopLine});
  BtnBack = PnBottom->Add<TButton>(
      TButtonArgs{.Name = u"BtnBack", .Bounds = {217, 10, 75, 25}, .Caption = st::kBack});
  BtnNext = PnBottom->Add<TButton>(TButtonArgs{
      .Name = u"BtnNext", .Bounds = {292, 10, 75, 25}, .Caption = st::kNext, .Default = true});
  BtnCancel = PnBottom->Add<TButton>(
      TButtonArgs{.Name = u"BtnCancel", .Bounds = {378, 10, 75, 25}, .Caption = st::kCancel});

  PageControl1 = Add<TPageControl>(TPageControlArgs{.Name = u"PageControl1", .Align = alClient});

  Page1_Welcome = PageControl1->AddPage({.Name = u"Page1_Welcome"});
  Panel1 = Page1_Welcome->Add<TPanel>(TPanelArgs{.Name = u"Panel1", .Align = alClient,
                                                 .Color = clWhite, .BevelOuter = bvNone});
  Image1 = Panel1->Add<TImage>(TImageArgs{.Name = u"Image1", .Bounds = {0, 0, 164, 252}});
  LbWelcome1 = Panel1->Add<TLabel>(TLabelArgs{.Name = u"LbWelcome1", .Bounds = {174, 13, 301, 44},
                                              .Font = TFont{.Height = -16, .Style = fsBold},
                                              .WordWrap = true});
  LbWelcome2 = Panel1->Add<TLabel>(TLabelArgs{
      .Name = u"LbWelcome2", .Bounds = {174, 74, 284, 26}, .WordWrap = true});
  LbWelcome3 = Panel1->Add<TLabel>(TLabelArgs{.Name = u"LbWelcome3", .Bounds = {174, 137, 281, 0},
                                              .Caption = st::kWelcomeAdvice, .WordWrap = true});
  LbWelcome5 = Panel1->Add<TLabel>(TLabelArgs{.Name = u"LbWelcome5", .Bounds = {174, 200, 270, 0},
                                              .Caption = st::kLegalNotice, .WordWrap = true});
  CkBxRunProgram = Panel1->Add<TCheckBox>(
      TCheckBoxArgs{.Name = u"CkBxRunProgram", .Bounds = {174, 229, 200, 17},
                    .Color = clWhite, .Caption = st::kRunProgram, .Checked = true});

  Page2_License = PageControl1->AddPage({.Name = u"Page2_License"});
  Label1 = Page2_License->Add<TLabel>(
      TLabelArgs{.Name = u"Label1", .Bounds = {34, 8, 0, 0}, .Caption = st::kLicenseScroll});
  MmLicense = Page2_License->Add<TMemo>(
      TMemoArgs{.Name = u"MmLicense", .Bounds = {33, 34, 418, 168}, .Color = clWhite,
                .ReadOnly = true, .ScrollBars = ssVertical, .BorderStyleNone = true});
  Label2 = Page2_License->Add<TLabel>(TLabelArgs{.Name = u"Label2", .Bounds = {33, 213, 404, 0},
                                                 .Caption = st::kLicenseQuestion,
                                                 .WordWrap = true});

  Page3_Destination = PageControl1->AddPage({.Name = u"Page3_Destination"});
  Image2 = Page3_Destination->Add<TImage>(TImageArgs{.Name = u"Image2", .Bounds = {29, 12, 32, 32}});
  LbDestDir = Page3_Destination->Add<TLabel>(TLabelArgs{.Name = u"LbDestDir", .Bounds = {69, 22, 0, 0}});
  Label13 = Page3_Destination->Add<TLabel>(
      TLabelArgs{.Name = u"Label13", .Bounds = {25, 56, 0, 0}, .Caption = st::kDestHint});
  EdDestDir = Page3_Destination->Add<TEdit>(
      TEditArgs{.Name = u"EdDestDir", .Bounds = {25, 84, 340, 21}});
  BtnBrowseDestDir = Page3_Destination->Add<TButton>(TButtonArgs{
      .Name = u"BtnBrowseDestDir", .Bounds = {380, 82, 75, 25}, .Caption = st::kBrowse});
  Label10 = Page3_Destination->Add<TLabel>(TLabelArgs{.Name = u"Label10", .Bounds = {25, 125, 305, 0},
                                                      .Font = kBold, .Caption = st::kDestNote,
                                                      .WordWrap = true});
  Label8 = Page3_Destination->Add<TLabel>(
      TLabelArgs{.Name = u"Label8", .Bounds = {32, 217, 0, 0}, .Caption = st::kSpaceRequired});
  LbSpaceRequired1 = Page3_Destination->Add<TLabel>(
      TLabelArgs{.Name = u"LbSpaceRequired1", .Bounds = {120, 217, 115, 13}, .AutoSize = false,
                 .Alignment = taRightJustify});
  Label12 = Page3_Destination->Add<TLabel>(
      TLabelArgs{.Name = u"Label12", .Bounds = {32, 233, 0, 0}, .Caption = st::kSpaceAvailable});
  LbSpaceAvail1 = Page3_Destination->Add<TLabel>(
      TLabelArgs{.Name = u"LbSpaceAvail1", .Bounds = {120, 233, 115, 13}, .AutoSize = false,
                 .Alignment = taRightJustify});

  Page5_StartMenuFolder = PageControl1->AddPage({.Name = u"Page5_StartMenuFolder"});
  Image4 = Page5_StartMenuFolder->Add<TImage>(
      TImageArgs{.Name = u"Image4", .Bounds = {32, 15, 32, 32}});
  Label7 = Page5_StartMenuFolder->Add<TLabel>(
      TLabelArgs{.Name = u"Label7", .Bounds = {69, 22, 0, 0}, .Caption = st::kStartMenuLabel});
  Label6 = Page5_StartMenuFolder->Add<TLabel>(
      TLabelArgs{.Name = u"Label6", .Bounds = {25, 56, 0, 0}, .Caption = st::kStartMenuHint});
  EdStartMenuFolder = Page5_StartMenuFolder->Add<TEdit>(
      TEditArgs{.Name = u"EdStartMenuFolder", .Bounds = {25, 84, 340, 21}});

  Page6_AdditionalTasks = PageControl1->AddPage({.Name = u"Page6_AdditionalTasks"});
  Label3 = Page6_AdditionalTasks->Add<TLabel>(
      TLabelArgs{.Name = u"Label3", .Bounds = {25, 19, 0, 0}, .Caption = st::kTasksLine1});
  Label4 = Page6_AdditionalTasks->Add<TLabel>(
      TLabelArgs{.Name = u"Label4", .Bounds = {25, 32, 0, 0}, .Caption = st::kTasksLine2});
  CkBxDesktopShortcut = Page6_AdditionalTasks->Add<TCheckBox>(
      TCheckBoxArgs{.Name = u"CkBxDesktopShortcut", .Bounds = {25, 69, 250, 17},
                    .Caption = st::kDesktopShortcut, .Checked = true});
  CkBxStartMenuShortcut = Page6_AdditionalTasks->Add<TCheckBox>(
      TCheckBoxArgs{.Name = u"CkBxStartMenuShortcut", .Bounds = {25, 96, 250, 17},
                    .Caption = st::kStartMenuShortcut, .Checked = false});

  Page7_Ready = PageControl1->AddPage({.Name = u"Page7_Ready"});
  Label20 = Page7_Ready->Add<TLabel>(TLabelArgs{.Name = u"Label20", .Bounds = {39, 13, 410, 0},
                                                .Caption = st::kReadyText, .WordWrap = true});
  MmSummary = Page7_Ready->Add<TMemo>(TMemoArgs{.Name = u"MmSummary", .Bounds = {41, 50, 406, 187},
                                                .Color = clBtnFace, .ReadOnly = true});

  Page8_Installing = PageControl1->AddPage({.Name = u"Page8_Installing"});
  Label17 = Page8_Installing->Add<TLabel>(
      TLabelArgs{.Name = u"Label17", .Bounds = {40, 16, 0, 0}, .Caption = st::kExtracting});
  LbFileName = Page8_Installing->Add<TLabel>(TLabelArgs{.Name = u"LbFileName", .Bounds = {40, 32, 0, 0}});
  ProgressBar1 = Page8_Installing->Add<TProgressBar>(TProgressBarArgs{
      .Name = u"ProgressBar1", .Bounds = {40, 56, 409, 21}, .Min = 0, .Max = 100, .Step = 33});

  SetDefaultButton(BtnNext);
}
