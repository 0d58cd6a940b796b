#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "cp932.h"
#include "fake_system.h"
#include "modal_script.h"
#include "platform/registry.h"
#include "registry_sandbox.h"
#include "shell/resident_dlg.h"
#include "temp_dir.h"

namespace {

constexpr UINT kSettings = 32773, kReassign = 32774, kSilent = 32778;

CString Value(const char* key) { return CString(DefaultValue(key)); }

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
    CResidentDlg dlg(file, files, system);
    RunModal(dlg, [&] {
      Fire(dlg);  // BootWaitTime 0: the wait ends
      Fire(dlg);  // and the window goes to the tray
      script(dlg);
    });
  }

  // Closes the settings dialog as soon as it opens.
  WhenWindowAppears CancelSettings() {
    return WhenWindowAppears(Cp932("Belltide 設定"),
                             [](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
  }

  static void Notify(CResidentDlg& dlg, WPARAM id, UINT mouseMessage) {
    dlg.SendMessage(WM_MOUSEMOVE, id, MAKELPARAM(mouseMessage, 0));
  }

  // The window's timer fires `seconds` after the start of the tray life.
  void FireAt(CResidentDlg& dlg, double seconds, UINT_PTR timer = 1) {
    fake_system::now = start + static_cast<ULONGLONG>(seconds * 1000);
    Fire(dlg, timer);
  }
  static void Fire(CResidentDlg& dlg, UINT_PTR timer = 1) { dlg.SendMessage(WM_TIMER, timer); }

  TempDir dir;
  StartupFiles files{dir.File("BTD.CFG").c_str(), dir.File("BTD_BAK.CFG").c_str(), dir.path().c_str()};
  SettingsFile file;
  ResidentSystem system = fake_system::Start();
  const ULONGLONG start = fake_system::now;
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

// Only those two act: any other notification leaves the change where it was
// due; the settings dialog, closing, arms it a full period from then.
TEST_F(Tray, OnlyRightReleaseAndLeftDoubleClickOfOurIconAct) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\nTimer=5\r\n", [&](CResidentDlg& dlg) {
    WhenWindowAppears settings = CancelSettings();
    fake_system::now = start + 60000;
    for (UINT mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MOUSEMOVE}) Notify(dlg, 1, mouse);
    Notify(dlg, 2, WM_LBUTTONDBLCLK);  // another icon's notification
    EXPECT_FALSE(settings.seen());
    FireAt(dlg, 300);
    CString first = EventSound();
    EXPECT_FALSE(first.IsEmpty());

    Notify(dlg, 1, WM_LBUTTONDBLCLK);  // opens the settings, which re-arm the change on closing
    EXPECT_TRUE(settings.seen());
    FireAt(dlg, 599.9);
    EXPECT_EQ(first, EventSound());
    FireAt(dlg, 600);
    EXPECT_NE(first, EventSound());  // the second pick of a pool of two is the other file
  });
}

TEST_F(Tray, ReassignCommandLeavesTheChangeWhereItWasDueAndSavesTheMarks) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\nTimer=1\r\n", [&](CResidentDlg& dlg) {
    fake_system::now = start + 30000;
    dlg.SendMessage(WM_COMMAND, kReassign, 0);
    ASSERT_STREQ("Belltide", fake_system::Icon(dlg.m_hWnd)->szTip);
    CString sound = EventSound();
    EXPECT_NE(std::string::npos, Contents(file).find(("+" + sound.str() + "\r\n").c_str()));
    FireAt(dlg, 60);
    EXPECT_NE(sound, EventSound());
  });
}

TEST_F(Tray, SilenceCommandStopsTheChangeAndLeavesTheFileAlone) {
  Start("Setup=1\r\nBootOnSoundChange=1\r\nTimer=1\r\n", [&](CResidentDlg& dlg) {
    std::string before = Contents(file);
    dlg.SendMessage(WM_COMMAND, kSilent, 0);
    EXPECT_EQ(CString(".None"), Value("AppEvents\\Schemes"));
    EXPECT_TRUE(EventSound().IsEmpty());
    EXPECT_STREQ("Belltide - No Sound", fake_system::Icon(dlg.m_hWnd)->szTip);
    EXPECT_EQ(before, Contents(file));
    EXPECT_FALSE(KillTimer(dlg.m_hWnd, 1));  // nothing armed
    FireAt(dlg, 120);
    EXPECT_EQ(CString(".None"), Value("AppEvents\\Schemes"));  // no change came by itself

    dlg.SendMessage(WM_COMMAND, kReassign, 0);  // sounds back, the change still stopped
    EXPECT_EQ(CString(".Current"), Value("AppEvents\\Schemes"));
    EXPECT_STREQ("Belltide", fake_system::Icon(dlg.m_hWnd)->szTip);
    std::string marks = Contents(file);  // both picked: a change would start a new cycle
    FireAt(dlg, 240);
    EXPECT_EQ(marks, Contents(file));

    WhenWindowAppears settings = CancelSettings();
    dlg.SendMessage(WM_COMMAND, kSettings, 0);  // closing the settings arms it again
    FireAt(dlg, 299.9);
    EXPECT_EQ(marks, Contents(file));
    FireAt(dlg, 300);
    EXPECT_NE(marks, Contents(file));
  });
}

// Due by the clock: a timer that fires early changes nothing, one that comes
// late (or the machine waking after the time) changes once, and the next
// change is a full period after that.
TEST_F(Tray, PeriodicChangeEveryTimerMinutesByTheClock) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\nTimer=1\r\n", [&](CResidentDlg& dlg) {
    FireAt(dlg, 59.9);
    EXPECT_EQ(CString(".Default"), Value("AppEvents\\Schemes"));
    FireAt(dlg, 61);
    EXPECT_EQ(CString(".Current"), Value("AppEvents\\Schemes"));
    CString first = EventSound();
    FireAt(dlg, 120.9);
    EXPECT_EQ(first, EventSound());
    fake_system::now = start + 3600 * 1000;  // woke after an hour of sleep
    dlg.SendMessage(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    CString second = EventSound();
    EXPECT_NE(first, second);
    std::string marks = Contents(file);                           // both picked: a change would start a new cycle
    dlg.SendMessage(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);  // the second signal of the same waking
    FireAt(dlg, 3600);
    EXPECT_EQ(marks, Contents(file));
  });
}

TEST_F(Tray, NoTimerWithoutAPositiveTimer) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\nTimer=-5\r\n", [&](CResidentDlg& dlg) {
    EXPECT_FALSE(KillTimer(dlg.m_hWnd, 1));
    WhenWindowAppears settings = CancelSettings();
    dlg.SendMessage(WM_COMMAND, kSettings, 0);
    EXPECT_FALSE(KillTimer(dlg.m_hWnd, 1));
  });
}

// A tray that refuses the icon (Explorer not ready at log-on) is asked again
// until it takes it; a rebuilt taskbar gets it again at once.
TEST_F(Tray, IconComesEvenWhenTheTrayRefusesItAtFirst) {
  fake_system::refusals = 4;  // two adds, each followed by a modify
  Start("Setup=1\r\nBootOnSoundChange=0\r\n", [&](CResidentDlg& dlg) {
    EXPECT_EQ(nullptr, fake_system::Icon(dlg.m_hWnd));
    FireAt(dlg, 3, 2);
    EXPECT_EQ(nullptr, fake_system::Icon(dlg.m_hWnd));
    FireAt(dlg, 6, 2);
    ASSERT_TRUE(fake_system::Icon(dlg.m_hWnd));
    EXPECT_EQ(3, fake_system::AddsAsked());
    EXPECT_FALSE(KillTimer(dlg.m_hWnd, 2));  // no more retries

    fake_system::ForgetIcons();  // Explorer restarted
    dlg.SendMessage(RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(fake_system::Icon(dlg.m_hWnd));
  });
}

// Any program may send the window WM_COPYDATA with anything in it: only one
// of our commands, for this folder, is acted on.
TEST_F(Tray, OnlyOurCommandsForThisFolderAreTaken) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\n", [&](CResidentDlg& dlg) {
    auto send = [&](COPYDATASTRUCT data) { return dlg.SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)); };
    std::wstring folder(dir.path().begin(), dir.path().end());
    std::vector<wchar_t> buffer, elsewhere, help;
    const COPYDATASTRUCT change = EncodeRemoteCommand(RemoteCommand::Change, folder + L"\\", buffer);
    COPYDATASTRUCT bad = change;
    bad.dwData ^= 1;  // another program's kind of data
    EXPECT_EQ(kNotAddressed, send(bad));
    for (DWORD bytes : {0ul, 1ul, change.cbData - 1, change.cbData - 2}) {  // cut short, odd, no terminator
      bad = change;
      bad.cbData = bytes;
      EXPECT_EQ(kNotAddressed, send(bad)) << bytes;
    }
    bad = change;
    bad.lpData = nullptr;
    EXPECT_EQ(kNotAddressed, send(bad));
    EXPECT_EQ(kNotAddressed, send(EncodeRemoteCommand(RemoteCommand::Change, L"C:\\elsewhere", elsewhere)));
    EXPECT_EQ(kNotAddressed, send(EncodeRemoteCommand(RemoteCommand::Help, folder, help)));
    std::vector<wchar_t> extra = buffer;  // a third field
    extra.insert(extra.end(), {L'x', L'\0'});
    bad.lpData = extra.data();
    bad.cbData = static_cast<DWORD>(extra.size() * sizeof(wchar_t));
    EXPECT_EQ(kNotAddressed, send(bad));
    buffer[0] = L'x';  // "xhange"
    EXPECT_EQ(kNotAddressed, send(change));
    EXPECT_EQ(CString(".Default"), Value("AppEvents\\Schemes"));  // nothing happened

    buffer[0] = L'C';  // any letter case
    EXPECT_EQ(kDone, send(change));
    EXPECT_EQ(CString(".Current"), Value("AppEvents\\Schemes"));
  });
}

// What the user chooses in Windows stands: no change comes by itself until
// the user asks for one, which resumes the periodic change; Belltide's own
// writes never pause it; Windows' ".None" is the silent mode. Nothing is
// written back, and the pools keep their files.
TEST_F(Tray, ChangesMadeInWindowsStandUntilTheUserAsks) {
  Start("Setup=1\r\nBootOnSoundChange=0\r\nTimer=1\r\n", [&](CResidentDlg& dlg) {
    constexpr UINT_PTR kQuiet = 3;
    auto windowsApplies = [&](const char* scheme, const char* sound, double at) {
      SetDefault("AppEvents\\Schemes", scheme);
      SetDefault("AppEvents\\Schemes\\Apps\\App\\Ev\\.Current", sound);
      FireAt(dlg, at, kQuiet);
    };
    auto tip = [&] { return std::string(fake_system::Icon(dlg.m_hWnd)->szTip); };
    SetDefault("AppEvents\\Schemes\\Names\\Theme", "Theme");
    dlg.SendMessage(WM_COMMAND, kReassign, 0);
    FireAt(dlg, 1, kQuiet);  // its own write
    EXPECT_EQ("Belltide", tip());

    windowsApplies("Theme", "C:\\theme.wav", 2);
    EXPECT_EQ(Cp932("Belltide - 一時停止中（Windows でサウンドが変更されました）"), tip());
    EXPECT_EQ(1, fake_system::Balloons());
    EXPECT_FALSE(KillTimer(dlg.m_hWnd, 1));  // nothing left to wake for
    WhenWindowAppears settings = CancelSettings();
    dlg.SendMessage(WM_COMMAND, kSettings, 0);
    FireAt(dlg, 600);
    windowsApplies("Theme", "C:\\picked.wav", 601);  // one event's sound picked
    EXPECT_EQ(CString("C:\\picked.wav"), EventSound());
    EXPECT_EQ(1, fake_system::Balloons());  // said once

    bool selected = false;
    WhenWindowAppears import(Cp932("サウンド設定のインポート"), [&](HWND window) {
      char item[256] = {};
      int index = 0;
      selected = SendDlgItemMessageA(window, 1000, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&index)) == 1 &&
                 SendDlgItemMessageA(window, 1000, LB_GETTEXT, index, reinterpret_cast<LPARAM>(item)) > 0 &&
                 std::string(item).find("Theme") != std::string::npos;
      PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    Notify(dlg, 1, NIN_BALLOONUSERCLICK);
    EXPECT_TRUE(selected);

    dlg.SendMessage(WM_COMMAND, kReassign, 0);  // asked: the pause ends
    EXPECT_EQ("Belltide", tip());
    std::string marks = Contents(file);  // both picked: a change starts a new cycle
    FireAt(dlg, 602, kQuiet);
    FireAt(dlg, 662);
    EXPECT_NE(marks, Contents(file));

    windowsApplies(".None", "", 663);
    EXPECT_EQ("Belltide - No Sound", tip());
    WhenWindowAppears again = CancelSettings();
    dlg.SendMessage(WM_COMMAND, kSettings, 0);  // closing it arms no change either
    FireAt(dlg, 1000);
    EXPECT_EQ(CString(".None"), Value("AppEvents\\Schemes"));
    EXPECT_EQ(std::string::npos, Contents(file).find("theme"));
    EXPECT_EQ(std::string::npos, Contents(file).find("picked"));
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
