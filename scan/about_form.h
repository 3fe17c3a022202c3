// The about box: product name, version, web address (a link) and copyright.
#pragma once

#include "scan/main_menu_commands.h"
#include "ui/forms.h"
#include "ui/std_controls.h"

class TFmAbout : public TForm {
public:
  explicit TFmAbout(TForm* owner = nullptr);
  String ClassName() const override { return u"TFmAbout"; }

  TLabel* Label1 = nullptr;
  TLabel* LbVersion = nullptr;
  TLabel* LbUrl = nullptr;
  TBitBtn* BitBtn1 = nullptr;
  TLabel* Label4 = nullptr;

  void FormShow(TObject* Sender);
  void LbUrlClick(TObject* Sender);
  void LbUrlMouseEnter(TObject* Sender);
  void LbUrlMouseLeave(TObject* Sender);

  // How the link is opened (the browser by default).
  TOpenAddressFn OpenAddress = OpenWebAddress;

private:
  void DeclareLayout();
};

// The about box being shown, else null.
extern TFmAbout* FmAbout;
