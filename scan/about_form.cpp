#include "scan/about_form.h"

#include "scan/menu_texts.h"

using namespace menu_texts;

TFmAbout* FmAbout = nullptr;

TFmAbout::TFmAbout(TForm* owner)
    : TForm(TFormArgs{.Name = u"FmAbout", .Caption = kAboutCaption, .ClientWidth = 298,
                      .ClientHeight = 317, .BorderStyle = bsDialog, .BorderIcons = biSystemMenu,
                      .Position = poScreenCenter},
            owner) {
  DeclareLayout();
  OnShow = Method(this, &TFmAbout::FormShow);
  LbUrl->OnClick = Method(this, &TFmAbout::LbUrlClick);
  LbUrl->OnMouseEnter = Method(this, &TFmAbout::LbUrlMouseEnter);
  LbUrl->OnMouseLeave = Method(this, &TFmAbout::LbUrlMouseLeave);
}

void TFmAbout::DeclareLayout() {
  Label1 = Add<TLabel>(TLabelArgs{.Name = u"Label1", .Bounds = {45, 20, 0, 0},
                                  .Font = TFont{.Height = -24, .Style = fsBold, .Color = clNavy},
                                  .Caption = kAboutTitle});
  LbVersion = Add<TLabel>(TLabelArgs{.Name = u"LbVersion", .Bounds = {109, 57, 0, 0},
                                     .Font = TFont{.Height = -15, .Color = clNavy},
                                     .Caption = u"Version"});
  LbUrl = Add<TLabel>(TLabelArgs{.Name = u"LbUrl", .Bounds = {74, 205, 0, 0},
                                 .Font = TFont{.Style = fsUnderline, .Color = clNavy},
                                 .Cursor = crHandPoint, .Caption = ProductWebSite()});
  BitBtn1 = Add<TBitBtn>(
      TBitBtnArgs{.Name = u"BitBtn1", .Bounds = {108, 253, 75, 25}, .Kind = bkOK});
  Label4 = Add<TLabel>(
      TLabelArgs{.Name = u"Label4", .Bounds = {9, 284, 0, 0}, .Caption = kCopyright});
}

void TFmAbout::FormShow(TObject*) { LbVersion->SetCaption(kAboutVersion); }

void TFmAbout::LbUrlClick(TObject*) {
  if (OpenAddress) OpenAddress(Handle(), ProductWebSite());
}

void TFmAbout::LbUrlMouseEnter(TObject*) { LbUrl->SetFontColor(clMaroon); }

void TFmAbout::LbUrlMouseLeave(TObject*) { LbUrl->SetFontColor(clNavy); }
