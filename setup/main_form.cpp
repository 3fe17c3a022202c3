// The wizard's pages, buttons and step machine.
#include "setup/main_form.h"

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <vector>

#include "base/path.h"
#include "base/text.h"
#include "base/win_string.h"
#include "common/xr_misc_dialogs.h"
#include "setup/setup_support.h"
#include "setup/setup_texts.h"
#include "ui/application.h"

namespace st = setup_texts;

TFmMain* FmMain = nullptr;

namespace {
constexpr int kHiddenTabRowHeight = 28;
// Pages cover the page control's border.
constexpr int kPageBorderInset = 4;

String LoadLicenseText() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(module, L"LICENSE", MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL mem = res ? LoadResource(module, res) : nullptr;
  const char* p = mem ? static_cast<const char*>(LockResource(mem)) : nullptr;
  if (!p) return String();
  String text = FromUtf8(std::string_view(p, SizeofResource(module, res)));
  // Lines as the memo wants them.
  return StringReplaceAll(StringReplaceAll(text, u"\r\n", u"\n"), u"\n", u"\r\n");
}

void LoadPicture(TImage* image, const wchar_t* name) {
  image->LoadFromResource(GetModuleHandleW(nullptr), name);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// Nothing is handled while the install runs: clicks and keys queued meanwhile were meant
// for the page before it, and would act on the finish page, whose Finish button sits
// where Install was. They go, for the form and every window in it.
void DiscardQueuedInput(HWND form) {
  std::vector<HWND> windows{form};
  EnumChildWindows(form, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  const struct {
    UINT first, last;
  } kinds[] = {
      {WM_KEYFIRST, WM_KEYLAST},
      {WM_MOUSEFIRST, WM_MOUSELAST},
      {WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK},
      {WM_NCXBUTTONDOWN, WM_NCXBUTTONDBLCLK},
      {BM_CLICK, BM_CLICK},
  };
  MSG msg;
  for (HWND window : windows)
    for (const auto& kind : kinds)
      while (PeekMessageW(&msg, window, kind.first, kind.last, PM_REMOVE)) {
      }
}
}  // namespace

void TFmMain::FormCreate(TObject*) {
  SetCaption(st::kCaption);
  FOldPageControlWndProc = PageControl1->WindowProc;
  PageControl1->WindowProc = [this](TMessage& m) { PageControlWndProc(m); };
  for (int i = 0; i < PageControl1->PageCount(); ++i) PageControl1->Pages(i)->SetTabVisible(false);
  PageControl1->SetActivePage(PageControl1->Pages(0));
  PageControl1->Realign();
  SetClientSize(ClientWidth(), ClientHeight() - kHiddenTabRowHeight);
  MmLicense->SetText(LoadLicenseText());
  LoadPicture(Image1, L"WELCOME");
  LoadPicture(Image3, L"HEADER");
  LoadPicture(Image2, L"FOLDER");
  LoadPicture(Image4, L"FOLDER");
}

void TFmMain::PageControlWndProc(TMessage& Message) {
  FOldPageControlWndProc(Message);
  if (Message.Msg == TCM_ADJUSTRECT && Message.WParam == 0 && Message.LParam)
    InflateRect(reinterpret_cast<RECT*>(Message.LParam), kPageBorderInset, kPageBorderInset);
}

void TFmMain::FormShow(TObject*) {
  FStep = wizard_step::kWelcome;
  FSetupExeName = FileNamePart(FSetupPath);
  FSetupDir = FolderPart(FSetupPath);
  AddTrailingChar(FSetupDir, u'\\');
  FProgramFilesDir = GetSpecialFolderPath(CSIDL_PROGRAM_FILES);
  AddTrailingChar(FProgramFilesDir, u'\\');
  EdDestDir->SetEditText(DefaultDestDir(FProgramFilesDir));
  EdStartMenuFolder->SetEditText(st::kProductKey);
  ShowWelcomePage();
}

void TFmMain::SetButtons(uint8_t Mode) {
  switch (Mode) {
    case bmWelcome:
      PnTop->Hide();
      BtnBack->Hide();
      BtnNext->SetCaption(st::kNext);
      BtnCancel->SetCaption(st::kCancel);
      break;
    case bmLicense:
    case bmReady:
      PnTop->Show();
      BtnBack->Show();
      BtnBack->SetCaption(st::kBack);
      BtnNext->SetCaption(Mode == bmLicense ? st::kAccept : st::kInstall);
      BtnCancel->SetCaption(Mode == bmLicense ? st::kNo : st::kCancel);
      break;
    case bmInstalling:
      PnTop->Show();
      BtnBack->Hide();
      BtnNext->Hide();
      BtnCancel->SetCaption(st::kCancel);
      BtnCancel->SetEnabled(true);
      break;
    case bmFinish:
      PnTop->Hide();
      BtnBack->Hide();
      BtnNext->Show();
      BtnNext->SetCaption(st::kFinish);
      BtnCancel->Hide();
      break;
    default:
      PnTop->Show();
      BtnBack->Show();
      BtnBack->SetCaption(st::kBack);
      BtnNext->SetCaption(st::kNext);
      BtnCancel->SetCaption(st::kCancel);
      break;
  }
}

void TFmMain::ShowWelcomePage() {
  SetButtons(bmWelcome);
  PageControl1->SetActivePage(Page1_Welcome);
  LbWelcome1->SetCaption(st::kWelcomeTitle);
  LbWelcome2->SetCaption(st::kWelcomeText);
  LbWelcome5->SetTop(Panel1->Height() - 35);
  CkBxRunProgram->Hide();
}

void TFmMain::ShowLicensePage() {
  SetButtons(bmLicense);
  PageControl1->SetActivePage(Page2_License);
  LbPageTitle->SetCaption(st::kLicenseTitle);
  LbPageDesc->SetCaption(st::kLicenseDesc);
  MmLicense->SetFocus();
}

void TFmMain::ShowDestinationPage() {
  SetButtons(bmPage);
  NormalizeDestDir();
  PageControl1->SetActivePage(Page3_Destination);
  LbPageTitle->SetCaption(st::kDestTitle);
  LbPageDesc->SetCaption(st::kDestDesc);
  LbDestDir->SetCaption(st::kDestLabel);
  LbSpaceRequired1->SetCaption(SpaceRequiredText());
  // The drive the program goes to, not always C:.
  const String root = DestDriveRoot(EdDestDir->GetText());
  ULARGE_INTEGER available{};
  const bool known =
      !root.empty() && GetDiskFreeSpaceExW(W(root), &available, nullptr, nullptr) &&
      available.QuadPart > 0;
  if (known) LbSpaceAvail1->SetCaption(SpaceAvailableText(int64_t(available.QuadPart)));
  Label12->SetVisible(known);
  LbSpaceAvail1->SetVisible(known);
}

void TFmMain::NormalizeDestDir() {
  EdDestDir->SetEditText(NormalizeDestDirText(EdDestDir->GetText(), FProgramFilesDir));
}

void TFmMain::ShowStartMenuPage() {
  SetButtons(bmPage);
  NormalizeStartMenuFolder();
  PageControl1->SetActivePage(Page5_StartMenuFolder);
  LbPageTitle->SetCaption(st::kStartMenuTitle);
  LbPageDesc->SetCaption(st::kStartMenuDesc);
}

void TFmMain::NormalizeStartMenuFolder() {
  EdStartMenuFolder->SetEditText(NormalizeStartMenuText(EdStartMenuFolder->GetText()));
}

void TFmMain::ShowTasksPage() {
  SetButtons(bmPage);
  PageControl1->SetActivePage(Page6_AdditionalTasks);
  LbPageTitle->SetCaption(st::kTasksTitle);
  LbPageDesc->SetCaption(st::kTasksDesc);
}

void TFmMain::ShowReadyPage() {
  SetButtons(bmReady);
  PageControl1->SetActivePage(Page7_Ready);
  LbPageTitle->SetCaption(st::kReadyTitle);
  LbPageDesc->SetCaption(st::kReadyDesc);
  MmSummary->SetLines(SummaryLines(FChoices.DestDir, FChoices.StartMenuFolder,
                                   FChoices.DesktopShortcut, FChoices.StartMenuShortcut));
}

bool TFmMain::ShowInstallingPage() {
  SetButtons(bmInstalling);
  PageControl1->SetActivePage(Page8_Installing);
  LbPageTitle->SetCaption(st::kInstallingTitle);
  LbPageDesc->SetCaption(st::kInstallingDesc);
  Update();
  if (Install()) {
    FInstalled = true;
    DiscardQueuedInput(Handle());
    return true;
  }
  // The failure was reported: close without the question.
  OnCloseQuery = nullptr;
  Close();
  return false;
}

void TFmMain::ShowFinishPage() {
  SetButtons(bmFinish);
  PageControl1->SetActivePage(Page1_Welcome);
  LbWelcome1->SetCaption(st::kFinishTitle);
  LbWelcome2->SetCaption(st::kFinishText);
  LbWelcome3->SetCaption(st::kFinishAdvice);
  LbWelcome5->Hide();
  CkBxRunProgram->Show();
}

bool TFmMain::ShowPage(TPageAction Action) {
  switch (Action) {
    case TPageAction::Welcome: ShowWelcomePage(); break;
    case TPageAction::License: ShowLicensePage(); break;
    case TPageAction::Destination: ShowDestinationPage(); break;
    case TPageAction::StartMenu: ShowStartMenuPage(); break;
    case TPageAction::Tasks: ShowTasksPage(); break;
    case TPageAction::Ready: ShowReadyPage(); break;
    case TPageAction::Installing: return ShowInstallingPage();
    case TPageAction::Finish: ShowFinishPage(); break;
    case TPageAction::FinishSetup: FinishSetup(true); return false;
    case TPageAction::None: break;
  }
  return true;
}

bool TFmMain::KeepPageChoices() {
  switch (FStep) {
    case wizard_step::kDestination:
      NormalizeDestDir();
      if (!IsValidDestDir(EdDestDir->GetText())) {
        WhileDisabled(*this, [] { ShowWarningMsg(st::kBadDestination); });
        EdDestDir->SetFocus();
        return false;
      }
      FChoices.DestDir = EdDestDir->GetText();
      break;
    case wizard_step::kStartMenu:
      NormalizeStartMenuFolder();
      if (!IsValidStartMenuFolder(EdStartMenuFolder->GetText())) {
        WhileDisabled(*this, [] { ShowWarningMsg(st::kBadStartMenuFolder); });
        EdStartMenuFolder->SetFocus();
        return false;
      }
      FChoices.StartMenuFolder = EdStartMenuFolder->GetText();
      break;
    case wizard_step::kTasks:
      FChoices.DesktopShortcut = CkBxDesktopShortcut->Checked();
      FChoices.StartMenuShortcut = CkBxStartMenuShortcut->Checked();
      break;
    case wizard_step::kFinish:
      FChoices.RunProgram = CkBxRunProgram->Checked();
      break;
  }
  return true;
}

void TFmMain::BtnNextClick(TObject*) {
  if (!KeepPageChoices()) return;
  const TStepMove move = NextStepMove(FStep);
  const bool goesOn = ShowPage(move.Action);
  FStep = move.Step;
  // A finished install goes straight on to the finish page.
  if (goesOn && FStep == wizard_step::kInstalled) BtnNextClick(nullptr);
}

void TFmMain::BtnBackClick(TObject*) {
  const TStepMove move = BackStepMove(FStep);
  ShowPage(move.Action);
  FStep = move.Step;
}

void TFmMain::BtnCancelClick(TObject*) { Close(); }

void TFmMain::BtnBrowseDestDirClick(TObject*) {
  String start = BrowseStartDir(EdDestDir->GetText());
  if (!DirExists(start)) start = FProgramFilesDir;
  String chosen;
  bool picked = false;
  // The browser is owned by the application window: without this the wizard would go on
  // taking clicks, a whole install included, under it.
  WhileDisabled(*this, [&] {
    picked = BrowseForFolder(st::kBrowseTitle, BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN,
                             start, chosen);
  });
  if (!picked) return;
  EdDestDir->SetEditText(BrowseChosenDestDir(chosen));
}

void TFmMain::FormCloseQuery(TObject*, bool& CanClose) {
  // The box has no owner; the wizard must not take clicks while it waits.
  WhileDisabled(*this, [&] {
    CanClose = MessageBoxW(nullptr, W(String(st::kExitQuestion)), W(String(st::kExitCaption)),
                           MB_YESNO | MB_ICONQUESTION) == IDYES;
  });
}

void TFmMain::FormClose(TObject*, TCloseAction&) { FinishSetup(false); }
