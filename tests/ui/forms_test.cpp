#include "ui/forms.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "base/exception.h"

#include "tests/testlib/dialog_driver_win.h"
#include "tests/ui/gui_test.h"
#include "ui/application.h"
#include "ui/com_controls.h"
#include "ui/menus.h"
#include "ui/std_controls.h"

namespace {

// A form as the programs declare theirs: the layout in one place, handlers bound to
// methods that keep their names.
class TFmSample : public TForm {
public:
  explicit TFmSample(TForm* owner = nullptr)
      : TForm(TFormArgs{.Name = u"FmSample", .Caption = u"Sample", .ClientWidth = 320,
                        .ClientHeight = 200, .BorderStyle = bsDialog,
                        .BorderIcons = biSystemMenu, .Position = poScreenCenter},
              owner) {
    PnTop = Add<TPanel>(TPanelArgs{.Name = u"PnTop", .Bounds = {0, 0, 0, 40}, .Align = alTop,
                                   .Color = clWhite, .BevelOuter = bvNone});
    LbTitle = PnTop->Add<TLabel>(TLabelArgs{.Name = u"LbTitle", .Bounds = {8, 8, 0, 0},
                                            .Font = TFont{.Style = fsBold}, .Caption = u"Title"});
    EdName = Add<TEdit>(TEditArgs{.Name = u"EdName", .Bounds = {8, 60, 200, 21}, .Text = u"abc"});
    BtnOk = Add<TBitBtn>(TBitBtnArgs{.Name = u"BtnOk", .Bounds = {150, 160, 75, 25}, .Kind = bkOK});
    BtnCancel = Add<TButton>(TButtonArgs{.Name = u"BtnCancel", .Bounds = {235, 160, 75, 25},
                                         .Caption = u"Cancel", .Cancel = true,
                                         .ModalResult = mrCancel});
    OnCreate = Method(this, &TFmSample::FormCreate);
    OnShow = Method(this, &TFmSample::FormShow);
    OnCloseQuery = Method(this, &TFmSample::FormCloseQuery);
    OnClose = Method(this, &TFmSample::FormClose);
    OnDestroy = Method(this, &TFmSample::FormDestroy);
  }

  TPanel* PnTop;
  TLabel* LbTitle;
  TEdit* EdName;
  TButton* BtnOk;
  TButton* BtnCancel;

  int created = 0, shown = 0, queries = 0, closes = 0;
  static inline int destroyed = 0;
  bool allowClose = true;
  TCloseAction action = caHide;
  bool othersDisabledWhileShown = false;
  HWND watch = nullptr;

  void FormCreate(TObject*) { ++created; }
  void FormShow(TObject*) {
    ++shown;
    if (watch) othersDisabledWhileShown = !IsWindowEnabled(watch);
  }
  void FormCloseQuery(TObject*, bool& canClose) {
    ++queries;
    canClose = allowClose;
  }
  void FormClose(TObject*, TCloseAction& a) {
    ++closes;
    a = action == caHide ? a : action;
  }
  void FormDestroy(TObject*) { ++destroyed; }
};

TEST(Forms, LayoutDeclaredOnceAndEventsFire) {
  auto form = MakeForm<TFmSample>();
  EXPECT_EQ(form->created, 1);
  EXPECT_EQ(form->ClientWidth(), 320);
  EXPECT_EQ(form->ClientHeight(), 200);
  EXPECT_EQ(form->PnTop->BoundsRect(), (TRect{0, 0, 320, 40}));
  EXPECT_EQ(form->FindChild(u"LbTitle"), form->LbTitle);
  EXPECT_TRUE(form->LbTitle->Font().Bold());
  EXPECT_EQ(form->LbTitle->Font().Name, u"Tahoma");
  EXPECT_GT(form->LbTitle->Width(), 0);  // sized to its text
  EXPECT_EQ(form->EdName->Font().Height, -11);
  EXPECT_EQ(form->DefaultButton(), form->BtnOk);
  EXPECT_EQ(form->BtnOk->Caption(), u"OK");
  wchar_t text[64];
  GetWindowTextW(form->Handle(), text, 64);
  EXPECT_STREQ(text, L"Sample");
  LONG_PTR style = GetWindowLongPtrW(form->Handle(), GWL_STYLE);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_EQ(style & WS_MINIMIZEBOX, 0);
  int destroyedBefore = TFmSample::destroyed;
  form.reset();
  EXPECT_EQ(TFmSample::destroyed, destroyedBefore + 1);
}

TEST(Forms, ModalResultFromTheOkButtonAndDisabledOwner) {
  auto owner = MakeForm<TForm>(TFormArgs{.Caption = u"Owner"});
  owner->Show();
  auto form = MakeForm<TFmSample>(owner.get());
  form->watch = owner->Handle();
  PostMessageW(form->BtnOk->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(form->othersDisabledWhileShown);
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->queries, 1);
  EXPECT_EQ(form->closes, 1);
  // Enter reaches the default button, Escape the cancel button.
  PostMessageW(form->EdName->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(form->ShowModal(), mrCancel);
  PostMessageW(form->EdName->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(form->ShowModal(), mrOk);
}

// Enter, Escape, an accelerator or a message sent to its window: none of them makes a
// button act that the user can neither see nor use.
TEST(Forms, AHiddenOrDisabledButtonNeverActs) {
  auto form = MakeForm<TFmSample>();
  TFmSample* f = form.get();
  auto* go = f->Add<TButton>(TButtonArgs{.Bounds = {8, 100, 75, 25}, .Caption = u"&Go"});
  f->Show();
  gui_test::Pump();
  int ok = 0, cancel = 0, goes = 0;
  f->BtnOk->OnClick = [&](TObject*) { ++ok; };
  f->BtnCancel->OnClick = [&](TObject*) { ++cancel; };
  go->OnClick = [&](TObject*) { ++goes; };
  const struct Press {
    const char* what;
    TButton* button;
    int* clicks;
    std::function<void()> send;
  } presses[] = {
      {"Enter", f->BtnOk, &ok, [&] { PostMessageW(f->EdName->Handle(), WM_KEYDOWN, VK_RETURN, 1); }},
      {"Escape", f->BtnCancel, &cancel,
       [&] { PostMessageW(f->EdName->Handle(), WM_KEYDOWN, VK_ESCAPE, 1); }},
      {"Alt+G", go, &goes,
       [&] { PostMessageW(f->EdName->Handle(), WM_SYSCHAR, 'g', LPARAM(1) << 29); }},
      {"BM_CLICK", go, &goes, [&] { SendMessageW(go->Handle(), BM_CLICK, 0, 0); }},
      {"BM_CLICK on the default button", f->BtnOk, &ok,
       [&] { SendMessageW(f->BtnOk->Handle(), BM_CLICK, 0, 0); }},
  };
  enum State { Usable, Hidden, Disabled, InADisabledForm };
  for (const Press& p : presses) {
    for (State state : {Usable, Hidden, Disabled, InADisabledForm}) {
      SCOPED_TRACE(std::string(p.what) + " " + std::to_string(int(state)));
      p.button->SetVisible(state != Hidden);
      p.button->SetEnabled(state != Disabled);
      EnableWindow(f->Handle(), state != InADisabledForm);
      *p.clicks = 0;
      p.send();
      gui_test::Pump();
      EXPECT_EQ(*p.clicks, state == Usable ? 1 : 0);
      p.button->Show();
      p.button->SetEnabled(true);
      EnableWindow(f->Handle(), TRUE);
    }
  }
}

TEST(Forms, AFreedDefaultButtonIsForgotten) {
  auto form = MakeForm<TFmSample>();
  form->Show();
  form->RemoveControl(form->BtnOk);
  form->RemoveControl(form->BtnCancel);
  EXPECT_EQ(form->DefaultButton(), nullptr);
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) PostMessageW(form->EdName->Handle(), WM_KEYDOWN, key, 1);
  gui_test::Pump();
  EXPECT_TRUE(form->Visible());
}

TEST(Forms, CloseQueryCanRefuseAndCloseActionDecides) {
  auto form = MakeForm<TFmSample>();
  TFmSample* f = form.get();
  f->OnCloseQuery = [f](TObject*, bool& can) {
    ++f->queries;
    can = f->queries > 1;
  };
  PostMessageW(f->Handle(), WM_CLOSE, 0, 0);             // refused
  PostMessageW(f->BtnCancel->Handle(), BM_CLICK, 0, 0);  // accepted
  EXPECT_EQ(f->ShowModal(), mrCancel);
  EXPECT_EQ(f->queries, 2);

  // Modeless: caHide hides, caNone keeps it.
  f->OnCloseQuery = nullptr;
  f->Show();
  f->action = caNone;
  f->Close();
  EXPECT_TRUE(f->Visible());
  f->action = caHide;
  f->Close();
  EXPECT_FALSE(f->Visible());
}

// A child whose window cannot be made: its form's constructor throws.
class TUncreatable : public TWinControl {
public:
  using TWinControl::TWinControl;

protected:
  void FillCreateParams(CreateParams& p) override { p.ClassName = u"QzNoSuchWindowClass"; }
};

class TFmHalfBuilt : public TForm {
public:
  TFmHalfBuilt() : TForm(TFormArgs{.Caption = u"Half built"}) {
    OnDestroy = Method(this, &TFmHalfBuilt::FormDestroy);
    Add<TUncreatable>();
  }
  std::vector<String> Log{u"alive"};
  static inline int destroyHandlerRuns = 0;
  void FormDestroy(TObject*) {
    ++destroyHandlerRuns;
    Log.push_back(u"destroyed");
  }
};

TEST(Forms, FailedConstructionRunsNoDestroyHandler) {
  EXPECT_THROW(MakeForm<TFmHalfBuilt>(), Exception);
  EXPECT_EQ(TFmHalfBuilt::destroyHandlerRuns, 0);
}

TEST(Forms, FailingCloseHandlerKeepsTheModalFormUp) {
  enum Where { InCloseQuery, InClose };
  for (Where where : {InCloseQuery, InClose}) {
    SCOPED_TRACE(where == InCloseQuery ? "OnCloseQuery" : "OnClose");
    gui_test::ErrorRecorder errors;
    auto form = MakeForm<TFmSample>();
    TFmSample* f = form.get();
    int calls = 0;
    bool upAndModalAfterFailure = false;
    auto step = [&] {
      if (++calls == 1) throw Exception(u"cannot close yet");
      upAndModalAfterFailure = f->Modal() && IsWindowVisible(f->Handle());
    };
    if (where == InCloseQuery)
      f->OnCloseQuery = [&](TObject*, bool&) { step(); };
    else
      f->OnClose = [&](TObject*, TCloseAction&) { step(); };
    PostMessageW(f->BtnOk->Handle(), BM_CLICK, 0, 0);
    PostMessageW(f->BtnOk->Handle(), BM_CLICK, 0, 0);
    int result = 0;
    EXPECT_NO_THROW(result = f->ShowModal());
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(upAndModalAfterFailure);
    EXPECT_EQ(errors.Messages(), (std::vector<String>{u"cannot close yet"}));
    EXPECT_FALSE(f->Visible());
    EXPECT_FALSE(IsWindowVisible(f->Handle()));
    EXPECT_FALSE(f->Modal());
  }
}

TEST(Forms, ReleaseFreesOnceTheQueueIsHandled) {
  auto* f = Application().CreateForm<TFmSample>();
  ASSERT_EQ(Application().MainForm(), f);
  int destroyedBefore = TFmSample::destroyed;
  f->Show();
  f->action = caFree;
  Application().SetMainForm(nullptr);  // not the main form: caFree releases
  f->Close();
  EXPECT_EQ(TFmSample::destroyed, destroyedBefore);  // still alive in its handler
  gui_test::Pump();
  EXPECT_EQ(TFmSample::destroyed, destroyedBefore + 1);
}

TEST(Forms, ApplicationFormsAndTheProgramWideVariable) {
  TFmSample* variable = nullptr;
  Application().CreateForm(variable);
  ASSERT_NE(variable, nullptr);
  EXPECT_EQ(variable->created, 1);
  EXPECT_EQ(Application().MainForm(), variable);
  // A form the application owns for a while never takes the main form's place.
  const int destroyedBefore = TFmSample::destroyed;
  TFmSample* passing = Application().CreateOwnedForm<TFmSample>();
  EXPECT_EQ(Application().MainForm(), variable);
  passing->Release();
  EXPECT_EQ(TFmSample::destroyed, destroyedBefore);
  gui_test::Pump();
  EXPECT_EQ(TFmSample::destroyed, destroyedBefore + 1);
  EXPECT_EQ(variable->Name(), u"FmSample");  // the other one is untouched
  Application().DestroyForms();
  EXPECT_EQ(variable, nullptr);
  EXPECT_EQ(Application().MainForm(), nullptr);
}

TEST(Forms, ClosingTheMainFormEndsTheLoop) {
  auto* f = Application().CreateForm<TFmSample>();
  ASSERT_EQ(Application().MainForm(), f);
  PostMessageW(f->Handle(), WM_CLOSE, 0, 0);
  Application().Run();
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(f->Visible());
  Application().DestroyForms();
  EXPECT_EQ(Application().MainForm(), nullptr);
}

TEST(Forms, HandlerExceptionsGoToTheApplication) {
  gui_test::ErrorRecorder errors;
  auto form = MakeForm<TFmSample>();
  form->Show();
  form->BtnOk->OnClick = [](TObject*) { throw Exception(u"boom"); };
  SendMessageW(form->BtnOk->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(errors.Messages().size(), 1u);
  EXPECT_EQ(errors.Messages()[0], u"boom");
}

// A command whose own window or box takes the activation away: its error box belongs to
// the window the command came from, which takes no input while the box is up; after a
// box, however it ended, that window is active with the keyboard where it was.
TEST(Forms, ACommandsBoxesLeaveItsWindowActiveWithTheKeyboardWhereItWas) {
  auto form = MakeForm<TFmSample>();
  TMenuItem* command = form->CreateMainMenu()->Add({.Name = u"Go", .Caption = u"Go"});
  auto side = MakeForm<TForm>(TFormArgs{.Caption = u"Side", .Left = 500, .Top = 400});
  form->Show();
  const HWND main = form->Handle();
  const struct Case {
    const char* name;
    bool inOwnBox;  // the side window comes and goes while the command's box is up
    bool fails;
  } cases[] = {
      {"fails while another window is active", false, true},
      {"its box ends by an exception", true, true},
      {"its box ends normally", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetForegroundWindow(main);
    form->EdName->SetFocus();
    gui_test::Pump();
    ASSERT_EQ(GetFocus(), form->EdName->Handle());
    command->OnClick = [&](TObject*) {
      if (!c.inOwnBox) {
        side->Show();
        SetForegroundWindow(side->Handle());
        throw Exception(u"boom");
      }
      WhileDisabled(*form, [&] {
        // Like a progress window of the command's: shown, then gone.
        side->Show();
        side->Hide();
        if (c.fails) throw Exception(u"boom");
      });
    };
    bool disabled = false;
    std::unique_ptr<DialogAnswerer> answer;
    if (c.fails)
      answer = std::make_unique<DialogAnswerer>(
          IDOK, [&](HWND) { disabled = !IsWindowEnabled(main); });
    SendMessageW(main, WM_COMMAND, MAKEWPARAM(command->Command(), 0), 0);
    if (answer) {
      const SeenDialog& seen = answer->Seen();
      ASSERT_TRUE(seen.found);
      EXPECT_EQ(seen.text, u"boom");
      EXPECT_EQ(seen.owner, main);
      EXPECT_TRUE(disabled);
    }
    gui_test::Pump(50);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(GetFocus(), form->EdName->Handle());
    side->Hide();
  }
}

// A modal form whose showing fails leaves the window that was active before it active
// again, with its keyboard focus, as a showing that ends normally does.
TEST(Forms, AFailedModalShowingGivesTheActivationBack) {
  auto owner = MakeForm<TFmSample>();
  owner->Show();
  SetForegroundWindow(owner->Handle());
  owner->EdName->SetFocus();
  gui_test::Pump();
  auto modal = MakeForm<TFmSample>(owner.get());
  for (bool fails : {false, true}) {
    SCOPED_TRACE(fails ? "fails" : "ends normally");
    modal->OnShow = [&](TObject*) {
      if (fails) throw Exception(u"boom");
      PostMessageW(modal->BtnCancel->Handle(), BM_CLICK, 0, 0);
    };
    if (fails) {
      EXPECT_THROW(modal->ShowModal(), Exception);
    } else {
      EXPECT_EQ(modal->ShowModal(), mrCancel);
    }
    gui_test::Pump(20);
    EXPECT_FALSE(modal->Visible());
    EXPECT_EQ(GetActiveWindow(), owner->Handle());
    EXPECT_EQ(GetFocus(), owner->EdName->Handle());
  }
}

TEST(Forms, MinimumSizeAndCentring) {
  auto form = MakeForm<TForm>(TFormArgs{.Caption = u"Min", .ClientWidth = 746, .ClientHeight = 580,
                                        .Position = poScreenCenter, .MinWidth = 550,
                                        .MinHeight = 541});
  form->Show();
  MINMAXINFO mmi{};
  SendMessageW(form->Handle(), WM_GETMINMAXINFO, 0, LPARAM(&mmi));
  EXPECT_EQ(mmi.ptMinTrackSize.x, 550);
  EXPECT_EQ(mmi.ptMinTrackSize.y, 541);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT r;
  GetWindowRect(form->Handle(), &r);
  EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_EQ(form->ClientWidth(), 746);
}

TEST(Guards, CursorWindowDisablerAndCom) {
  {
    TCursorGuard busy;
    EXPECT_EQ(Screen().Cursor(), crHourGlass);
    {
      TCursorGuard nested(crHandPoint);
      EXPECT_EQ(Screen().Cursor(), crHandPoint);
    }
    EXPECT_EQ(Screen().Cursor(), crHourGlass);
  }
  EXPECT_EQ(Screen().Cursor(), crDefault);

  auto form = MakeForm<TFmSample>();
  {
    TWindowDisabler off(*form);
    EXPECT_FALSE(IsWindowEnabled(form->Handle()));
    {
      TWindowDisabler again(*form);  // nested: the outer one restores
    }
    EXPECT_FALSE(IsWindowEnabled(form->Handle()));
  }
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));

  TComInitializer com;
  EXPECT_TRUE(com.Succeeded());
}

TEST(Controls, AlignmentInsideBevels) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 746, .ClientHeight = 580});
  auto* status = form->Add<TStatusBar>(TStatusBarArgs{.Panels = {{u"File Count:", 120}, {u"", 200}, {u"", 50}}});
  auto* left = form->Add<TPanel>(TPanelArgs{.Bounds = {0, 0, 257, 0}, .Align = alLeft,
                                            .BevelInner = bvRaised, .BevelOuter = bvNone});
  auto* fill = left->Add<TPanel>(TPanelArgs{.Align = alClient, .BevelOuter = bvNone});
  auto* client = form->Add<TPanel>(TPanelArgs{.Align = alClient, .BevelOuter = bvNone});
  EXPECT_EQ(status->Top() + status->Height(), 580);
  EXPECT_EQ(left->BoundsRect(), (TRect{0, 0, 257, 580 - status->Height()}));
  EXPECT_EQ(fill->BoundsRect(), (TRect{1, 1, 256, 580 - status->Height() - 1}));
  EXPECT_EQ(client->BoundsRect(), (TRect{257, 0, 746, 580 - status->Height()}));
  form->SetClientSize(800, 600);
  gui_test::Pump();
  EXPECT_EQ(client->Width(), 800 - 257);
}

TEST(Controls, StatusBarPanels) {
  auto form = MakeForm<TForm>(TFormArgs{});
  auto* bar = form->Add<TStatusBar>(TStatusBarArgs{.Panels = {{u"File Count:", 120}, {u"Total Size:", 200}, {u"", 50}}});
  EXPECT_EQ(bar->ShownText(0), u"File Count:");
  bar->SetPanelText(2, u"Folder: C:\\data");
  EXPECT_EQ(bar->ShownText(2), u"Folder: C:\\data");
  int w = bar->TextWidth(u"File Count: 1,000");
  EXPECT_GT(w, bar->TextWidth(u"File Count:"));
  bar->SetPanelWidth(0, w + 10);
  EXPECT_EQ(bar->PanelWidth(0), w + 10);
  int edges[3] = {};
  EXPECT_EQ(SendMessageW(bar->Handle(), SB_GETPARTS, 3, LPARAM(edges)), 3);
  EXPECT_EQ(edges[0], w + 10);
  EXPECT_EQ(edges[1], w + 10 + 200);
}

TEST(Controls, MainMenuItems) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 300, .ClientHeight = 100});
  TMainMenu* menu = form->CreateMainMenu();
  int starts = 0;
  TMenuItem* file = menu->Add({.Name = u"File1", .Caption = u"File"});
  TMenuItem* start = file->Add({.Name = u"MChStartScan", .Caption = u"Start Scan",
                                .OnClick = [&](TObject*) { ++starts; }});
  file->AddSeparator();
  TMenuItem* save = file->Add({.Name = u"MChSavetoFile", .Caption = u"Save to File", .Enabled = false});
  file->Add({.Name = u"MChPreferences", .Caption = u"Preferences", .Visible = false});
  EXPECT_EQ(form->ClientHeight(), 100);  // the menu bar is outside the client area
  HMENU popup = GetSubMenu(GetMenu(form->Handle()), 0);
  EXPECT_EQ(GetMenuItemCount(popup), 3);  // the invisible item is left out
  EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(popup, 2, MF_BYPOSITION) & MF_GRAYED);
  save->SetEnabled(true);
  popup = GetSubMenu(GetMenu(form->Handle()), 0);
  EXPECT_FALSE(GetMenuState(popup, 2, MF_BYPOSITION) & MF_GRAYED);
  SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(start->Command(), 0), 0);
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(menu->Find(u"MChSavetoFile"), save);
}

TEST(Controls, PageControlWithHiddenTabs) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 493, .ClientHeight = 300});
  auto* pages = form->Add<TPageControl>(TPageControlArgs{.Align = alClient});
  TTabSheet* p1 = pages->AddPage({.Caption = u"One", .TabVisible = false});
  TTabSheet* p2 = pages->AddPage({.Caption = u"Two", .TabVisible = false});
  auto* label = p2->Add<TLabel>(TLabelArgs{.Bounds = {10, 10, 0, 0}, .Caption = u"on page two"});
  EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_EQ(pages->ActivePage(), p1);
  EXPECT_TRUE(p1->Visible());
  EXPECT_FALSE(p2->Visible());
  pages->SetActivePage(p2);
  EXPECT_TRUE(p2->Visible());
  EXPECT_FALSE(p1->Visible());
  EXPECT_EQ(label->Parent(), p2);
  // A replaced window procedure sees TCM_ADJUSTRECT: the pages grow by 4 a side.
  TRect before = p2->BoundsRect();
  TWndMethod old = pages->WindowProc;
  pages->WindowProc = [old](TMessage& m) {
    old(m);
    if (m.Msg == TCM_ADJUSTRECT && m.WParam == 0) InflateRect(reinterpret_cast<RECT*>(m.LParam), 4, 4);
  };
  pages->Realign();
  EXPECT_EQ(p2->BoundsRect(), (TRect{before.Left - 4, before.Top - 4, before.Right + 4, before.Bottom + 4}));
  p1->SetTabVisible(true);
  EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 1);
}

TEST(Controls, LabelClickHoverAndCursor) {
  auto form = MakeForm<TForm>(TFormArgs{.ClientWidth = 300, .ClientHeight = 100});
  auto* url = form->Add<TLabel>(TLabelArgs{.Bounds = {74, 20, 0, 0},
                                           .Font = TFont{.Style = fsUnderline, .Color = clNavy},
                                           .Cursor = crHandPoint, .Caption = u"www.example.com"});
  int clicks = 0;
  url->OnClick = [&](TObject*) { ++clicks; };
  url->OnMouseEnter = [&](TObject* s) { static_cast<TControl*>(s)->SetFontColor(clMaroon); };
  url->OnMouseLeave = [&](TObject* s) { static_cast<TControl*>(s)->SetFontColor(clNavy); };
  form->Show();
  gui_test::Click(form->Handle(), 80, 25);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(url->Font().Color, clMaroon);
  SendMessageW(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 90));
  EXPECT_EQ(url->Font().Color, clNavy);
  EXPECT_EQ(form->ControlAtPos({80, 25}), url);
  // Pressed on the label, released elsewhere: no click.
  SendMessageW(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, 25));
  SendMessageW(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 90));
  EXPECT_EQ(clicks, 1);
  // Word wrap keeps the width and grows the height.
  auto* wrap = form->Add<TLabel>(TLabelArgs{.Bounds = {0, 0, 60, 0},
                                            .Caption = u"a longer text that has to wrap",
                                            .WordWrap = true});
  EXPECT_EQ(wrap->Width(), 60);
  EXPECT_GT(wrap->Height(), 20);
}

TEST(Controls, EditMemoAndCheckBox) {
  auto form = MakeForm<TForm>(TFormArgs{});
  auto* edit = form->Add<TEdit>(TEditArgs{.Bounds = {8, 8, 200, 21}, .Hint = u"Folder to scan",
                                          .ShowHint = true, .Text = u"c:\\data"});
  ASSERT_NE(form->HintWindow(), nullptr);
  EXPECT_EQ(SendMessageW(form->HintWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);
  edit->SetHint(u"Another hint");
  wchar_t hint[80] = L"";
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = form->Handle();
  ti.uId = UINT_PTR(edit->Handle());
  ti.lpszText = hint;
  SendMessageW(form->HintWindow(), TTM_GETTEXTW, 80, LPARAM(&ti));
  EXPECT_STREQ(hint, L"Another hint");
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  SetWindowTextW(edit->Handle(), L"d:\\x");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(edit->Text(), u"d:\\x");
  auto* memo = form->Add<TMemo>(TMemoArgs{.Bounds = {8, 40, 300, 100}, .ReadOnly = true,
                                          .ScrollBars = ssVertical, .BorderStyleNone = true});
  memo->SetLines({u"Destination Location", u"\tC:\\Program Files\\Quorlix\\", u""});
  EXPECT_EQ(memo->GetText(), u"Destination Location\r\n\tC:\\Program Files\\Quorlix\\\r\n\r\n");
  EXPECT_EQ(memo->LineCount(), 3);
  EXPECT_TRUE(GetWindowLongPtrW(memo->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_TRUE(GetWindowLongPtrW(memo->Handle(), GWL_STYLE) & ES_READONLY);
  auto* box = form->Add<TCheckBox>(TCheckBoxArgs{.Bounds = {8, 150, 200, 17},
                                                 .Caption = u"Include subfolders", .Checked = true});
  EXPECT_TRUE(box->Checked());
  SendMessageW(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(box->Checked());
  box->SetChecked(true);
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  auto* bar = form->Add<TProgressBar>(TProgressBarArgs{.Bounds = {8, 180, 200, 17}, .Step = 1});
  bar->SetPosition(150);
  EXPECT_EQ(bar->Position(), 100);
  EXPECT_EQ(SendMessageW(bar->Handle(), PBM_GETPOS, 0, 0), 100);
}

TEST(Controls, ShortDatesReadBack) {
  SYSTEMTIME d{};
  d.wYear = 2024;
  d.wMonth = 2;
  d.wDay = 29;
  String text = DateToShortText(d);
  SYSTEMTIME back{};
  ASSERT_TRUE(ShortTextToDate(text, back)) << ToUtf8(text);
  EXPECT_EQ(back.wYear, 2024);
  EXPECT_EQ(back.wMonth, 2);
  EXPECT_EQ(back.wDay, 29);
  for (const char16_t* bad : {u"", u"not a date", u"2/30/2023", u"13/13/2013", u"1/2/3/4", u"99999/1/1"})
    EXPECT_FALSE(ShortTextToDate(bad, back)) << ToUtf8(bad);
}

}  // namespace
