#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "cp932.h"
#include "modal_script.h"
#include "platform/registry.h"
#include "registry_sandbox.h"
#include "shell/resident_dlg.h"
#include "temp_dir.h"

namespace {

constexpr UINT kSettings = 32773, kReassign = 32774, kSilent = 32778;

CString Value(const char* key) {
  CString value;
  RegistryKey::OpenForRead(key).QueryString(nullptr, value);
  return value;
}

CString EventSound() { return Value("AppEvents\\Schemes\\Apps\\App\\Ev\\.Current"); }

// Calls `act` with the popup menu's window once a menu is open.
std::function<void(HWND)> g_onMenu;
void CALLBACK FindOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = FindWindowA("#32768", nullptr);
  if (!menu || !IsWindowVisible(menu)) return;
  KillTimer(nullptr, timer);
  g_onMenu(menu);
}

std::vector<std::string> MenuItems(HWND menuWindow) {
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
  std::vector<std::string> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    bool plain = (state & MF_SEPARATOR) || !(state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_DEFAULT));
    items.push_back(plain ? std::string(text) : "(not plain) " + std::string(text));
  }
  return items;
}

class Tray : public RegistryTest {
 protected:
  void Start(const std::string& options, const std::function<void(CResidentDlg&)>& script) {
    dir.Write("BTD.CFG", options + "\r\n\\App\r\nApp\r\n\r\nEv\r\nEvent\r\n-C:\\a.wav\r\n-C:\\b.wav\r\n\r\n");
    ASSERT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
    RegistryKey::Create("AppEvents\\Schemes").SetString(nullptr, ".Default");
    CResidentDlg dlg(file, dir.path().c_str());
    RunModal(dlg, [&] {
      dlg.SendMessage(WM_TIMER, 1);  // BootWaitTime 0: the wait ends
      dlg.SendMessage(WM_TIMER, 1);  // and the window goes to the tray
      script(dlg);
    });
  }

  // Closes the settings dialog as soon as it opens; counts how often it did.
  WhenWindowAppears CancelSettings() {
    return WhenWindowAppears(Cp932("Belltide 設定"),
                             [](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
  }

  static void Notify(CResidentDlg& dlg, WPARAM id, UINT mouseMessage) {
    dlg.SendMessage(WM_MOUSEMOVE, id, MAKELPARAM(mouseMessage, 0));
  }

  TempDir dir;
  SettingsFile file;
};

}  // namespace

TEST_F(Tray, RightClickOpensTheMenuAndItsLetterPicksTheCommand) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\n", [&](CResidentDlg& dlg) {
    std::vector<std::string> items;
    g_onMenu = [&](HWND menu) {
      items = MenuItems(menu);
      PostMessageA(dlg.m_hWnd, WM_KEYDOWN, 'R', 0);  // the menu loop takes the key
    };
    SetTimer(nullptr, 0, 20, FindOpenMenu);
    Notify(dlg, 1, WM_RBUTTONUP);  // returns when the menu has closed
    Pump(100);
    EXPECT_EQ((std::vector<std::string>{Cp932("キャンセル(&C)"), "", Cp932("設定ウィンドウを開く(&S)..."),
                                        Cp932("サウンドの再割り当て(&R)"), Cp932("サウンドなしにする(&N)"), "",
                                        Cp932("バージョン情報(&A)..."), Cp932("終了／常駐解除(&X)")}),
              items);
    EXPECT_EQ(CString(".Current"), Value("AppEvents\\Schemes"));
    EXPECT_FALSE(EventSound().IsEmpty());
  });
}

TEST_F(Tray, OnlyRightReleaseAndLeftDoubleClickOfOurIconAct) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\nTimer=5\r\n", [&](CResidentDlg& dlg) {
    dlg.SendMessage(WM_TIMER, 1);
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE}) Notify(dlg, 1, mouse);
    Notify(dlg, 2, WM_LBUTTONDBLCLK);  // another icon's notification
    EXPECT_EQ(299, dlg.phases().secondsLeft());
    WhenWindowAppears settings = CancelSettings();
    Notify(dlg, 1, WM_LBUTTONDBLCLK);  // opens the settings, which re-arm the change on closing
    EXPECT_TRUE(settings.seen());
    EXPECT_EQ(300, dlg.phases().secondsLeft());
  });
}

TEST_F(Tray, ReassignCommandLeavesTheCountdownAndSavesTheMarks) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\nTimer=1\r\n", [&](CResidentDlg& dlg) {
    dlg.SendMessage(WM_TIMER, 1);
    dlg.SendMessage(WM_COMMAND, kReassign, 0);
    EXPECT_EQ(TimerPhases::PhaseAutoChange, dlg.phases().phase());
    EXPECT_EQ(59, dlg.phases().secondsLeft());
    EXPECT_STREQ("Belltide", dlg.trayData().szTip);
    CString sound = EventSound();
    EXPECT_NE(std::string::npos, Contents(file).find(("+" + sound.str() + "\r\n").c_str()));
  });
}

TEST_F(Tray, SilenceCommandStopsTheChangeAndLeavesTheFileAlone) {
  Start("Setup=1\r\nBootOnSoundChange=1\r\nTimer=1\r\n", [&](CResidentDlg& dlg) {
    std::string before = Contents(file);
    dlg.SendMessage(WM_COMMAND, kSilent, 0);
    EXPECT_EQ(CString(".None"), Value("AppEvents\\Schemes"));
    EXPECT_TRUE(EventSound().IsEmpty());
    EXPECT_STREQ("Belltide - No Sound", dlg.trayData().szTip);
    EXPECT_EQ(TimerPhases::PhaseIdle, dlg.phases().phase());
    EXPECT_EQ(before, Contents(file));
    for (int i = 0; i < 120; ++i) dlg.SendMessage(WM_TIMER, 1);
    EXPECT_EQ(CString(".None"), Value("AppEvents\\Schemes"));  // no change came by itself

    dlg.SendMessage(WM_COMMAND, kReassign, 0);  // sounds back, countdown still stopped
    EXPECT_EQ(CString(".Current"), Value("AppEvents\\Schemes"));
    EXPECT_STREQ("Belltide", dlg.trayData().szTip);
    EXPECT_EQ(TimerPhases::PhaseIdle, dlg.phases().phase());

    WhenWindowAppears settings = CancelSettings();
    dlg.SendMessage(WM_COMMAND, kSettings, 0);  // closing the settings arms it again
    EXPECT_EQ(TimerPhases::PhaseAutoChange, dlg.phases().phase());
    EXPECT_EQ(60, dlg.phases().secondsLeft());
  });
}

TEST_F(Tray, PeriodicChangeEveryTimerMinutesInTicks) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\nTimer=1\r\n", [&](CResidentDlg& dlg) {
    EXPECT_EQ(TimerPhases::PhaseAutoChange, dlg.phases().phase());
    EXPECT_EQ(60, dlg.phases().secondsLeft());
    for (int i = 0; i < 59; ++i) dlg.SendMessage(WM_TIMER, 1);
    EXPECT_EQ(CString(".Default"), Value("AppEvents\\Schemes"));
    dlg.SendMessage(WM_TIMER, 1);
    EXPECT_EQ(CString(".Current"), Value("AppEvents\\Schemes"));
    EXPECT_EQ(60, dlg.phases().secondsLeft());
    CString first = EventSound();
    for (int i = 0; i < 60; ++i) dlg.SendMessage(WM_TIMER, 1);
    EXPECT_NE(first, EventSound());  // the second pick of a pool of two is the other file
  });
}

TEST_F(Tray, NoPeriodicChangeWithoutAPositiveTimer) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\nTimer=-5\r\n", [&](CResidentDlg& dlg) {
    EXPECT_EQ(TimerPhases::PhaseIdle, dlg.phases().phase());
    WhenWindowAppears settings = CancelSettings();
    dlg.SendMessage(WM_COMMAND, kSettings, 0);
    EXPECT_EQ(TimerPhases::PhaseIdle, dlg.phases().phase());
  });
}

TEST_F(Tray, IconComesBackWhenTheTaskbarIsRebuilt) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\n", [&](CResidentDlg& dlg) {
    NOTIFYICONDATAA data = dlg.trayData();
    ASSERT_TRUE(dlg.IsTrayIconShown());
    Shell_NotifyIconA(NIM_DELETE, &data);  // as a restarted Explorer has forgotten it
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data));
    dlg.SendMessage(RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
  });
}

// Run by the English pass, under code page 1252.
TEST_F(Tray, EnglishMenu) {
  ASSERT_NE(932u, GetACP());
  Start("Setup=1\r\nBootOnSoundChange=0\r\n", [&](CResidentDlg& dlg) {
    std::vector<std::string> items;
    g_onMenu = [&](HWND menu) {
      items = MenuItems(menu);
      PostMessageA(dlg.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    };
    SetTimer(nullptr, 0, 20, FindOpenMenu);
    Notify(dlg, 1, WM_RBUTTONUP);
    EXPECT_EQ((std::vector<std::string>{"&Cancel", "", "&Settings...", "&Reassign Sounds", "&No Sounds", "",
                                        "&About Belltide...", "E&xit"}),
              items);
  });
}
