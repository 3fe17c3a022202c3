// The setup wizard's window: welcome, licence, destination, Start-menu folder, tasks,
// ready, installing and finish pages, driven by Next and Back.
#pragma once

#include <cstdint>

#include "base/string.h"
#include "setup/install_choices.h"
#include "setup/wizard_logic.h"
#include "ui/com_controls.h"
#include "ui/forms.h"
#include "ui/image.h"
#include "ui/std_controls.h"

// The header and button layouts of SetButtons, named by the pages that use them;
// bmPage serves the destination, Start-menu folder and tasks pages, and any other
// value lays them out as bmPage does.
enum TButtonMode : uint8_t { bmWelcome = 1, bmLicense, bmReady, bmInstalling, bmFinish, bmPage };

class TFmMain : public TForm {
public:
  // setupPath: the full path of the running setup program (the entry passes its own);
  // its folder holds the payload folder Files.
  explicit TFmMain(const String& setupPath);

  TPanel* PnTop;
  TImage* Image3;
  TLabel* LbPageTitle;
  TLabel* LbPageDesc;
  TBevel* Bevel2;
  TPanel* PnBottom;
  TBevel* Bevel1;
  TButton* BtnBack;
  TButton* BtnNext;
  TButton* BtnCancel;
  TPageControl* PageControl1;

  TTabSheet* Page1_Welcome;
  TPanel* Panel1;
  TImage* Image1;
  TLabel* LbWelcome1;
  TLabel* LbWelcome2;
  TLabel* LbWelcome3;
  TLabel* LbWelcome5;
  TCheckBox* CkBxRunProgram;

  TTabSheet* Page2_License;
  TLabel* Label1;
  TMemo* MmLicense;
  TLabel* Label2;

  TTabSheet* Page3_Destination;
  TImage* Image2;
  TLabel* LbDestDir;
  TLabel* Label13;
  TEdit* EdDestDir;
  TButton* BtnBrowseDestDir;
  TLabel* Label10;
  TLabel* Label8;
  TLabel* LbSpaceRequired1;
  TLabel* Label12;
  TLabel* LbSpaceAvail1;

  TTabSheet* Page5_StartMenuFolder;
  TImage* Image4;
  TLabel* Label7;
  TLabel* Label6;
  TEdit* EdStartMenuFolder;

  TTabSheet* Page6_AdditionalTasks;
  TLabel* Label3;
  TLabel* Label4;
  TCheckBox* CkBxDesktopShortcut;
  TCheckBox* CkBxStartMenuShortcut;

  TTabSheet* Page7_Ready;
  TLabel* Label20;
  TMemo* MmSummary;

  TTabSheet* Page8_Installing;
  TLabel* Label17;
  TLabel* LbFileName;
  TProgressBar* ProgressBar1;

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void BtnNextClick(TObject* Sender);
  void BtnBackClick(TObject* Sender);
  void BtnCancelClick(TObject* Sender);
  void BtnBrowseDestDirClick(TObject* Sender);

  int Step() const { return FStep; }
  const String& SetupDir() const { return FSetupDir; }
  const String& ProgramFilesDir() const { return FProgramFilesDir; }

private:
  void DeclareLayout();
  void PageControlWndProc(TMessage& Message);
  void SetButtons(uint8_t Mode);
  // Each shows its page; false when the wizard has closed instead.
  bool ShowPage(TPageAction Action);
  void ShowWelcomePage();
  void ShowLicensePage();
  void ShowDestinationPage();
  void NormalizeDestDir();
  void ShowStartMenuPage();
  void NormalizeStartMenuFolder();
  void ShowTasksPage();
  void ShowReadyPage();
  bool ShowInstallingPage();
  void ShowFinishPage();
  // The page's fields into FChoices as Next leaves it; false, after a warning, when a
  // field is refused and the page stays.
  bool KeepPageChoices();
  bool Install();
  void FinishSetup(bool RunProgram);
  // Whether the payload beside the setup program may be deleted: after a finished
  // install, or when the setup program runs from below the temporary folder.
  bool PayloadIsDisposable() const;

  int FStep = 0;
  String FSetupDir;
  String FProgramFilesDir;
  TWndMethod FOldPageControlWndProc;
  String FSetupExeName;
  String FSetupPath;
  bool FInstalled = false;
  TInstallChoices FChoices;
};

// The wizard, from its creation by the entry until the application frees it.
extern TFmMain* FmMain;
