#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "cp932.h"
#include "modal_script.h"
#include "platform/registry.h"
#include "registry_sandbox.h"
#include "shell/resident_dlg.h"
#include "temp_dir.h"

namespace {

std::string Status(const CResidentDlg& dlg) { return WindowText(dlg.GetDlgItem(1031)); }

std::string Waiting(int seconds) { return Cp932(("時間待ち中... : あと " + std::to_string(seconds) + "秒").c_str()); }

CString ActiveScheme() {
  CString scheme;
  RegistryKey::OpenForRead("AppEvents\\Schemes").QueryString(nullptr, scheme);
  return scheme;
}

class ResidentWindow : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    RegistryKey::Create("AppEvents\\Schemes").SetString(nullptr, ".Default");
  }

  // Opens a settings file holding `options` and one application with one
  // event whose pool is `pool`.
  void OpenSettings(const std::string& options, const std::string& pool = "") {
    dir.Write("BTD.CFG", options + "\r\n\\App\r\nApp\r\n\r\nEv\r\nEvent\r\n" + pool + "\r\n");
    ASSERT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
  }

  // Delivers one tick of the window's own timer.
  static void Tick(CResidentDlg& dlg) { dlg.SendMessage(WM_TIMER, 1); }

  TempDir dir;
  SettingsFile file;
};

}  // namespace

TEST_F(ResidentWindow, BootWaitCountsDownThenHidesOneTickLater) {
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=2\r\n");
  CResidentDlg dlg(file, dir.path().c_str());
  RunModal(dlg, [&] {
    EXPECT_EQ(Cp932("設定ファイルを読み込んでいます・・・"), Status(dlg));
    EXPECT_TRUE(dlg.IsWindowVisible());
    dlg.SendMessage(WM_TIMER, 7, 0);  // not the window's own timer: nothing moves
    EXPECT_EQ(Cp932("設定ファイルを読み込んでいます・・・"), Status(dlg));
    Tick(dlg);
    EXPECT_EQ(Waiting(2), Status(dlg));
    Tick(dlg);
    EXPECT_EQ(Waiting(1), Status(dlg));
    Tick(dlg);  // shows 0, then at once the going-resident text
    EXPECT_EQ(Cp932("タスクトレイに常駐します"), Status(dlg));
    EXPECT_TRUE(dlg.IsWindowVisible());
    EXPECT_FALSE(dlg.IsTrayIconShown());
    Tick(dlg);
    EXPECT_FALSE(dlg.IsWindowVisible());
    EXPECT_TRUE(dlg.IsTrayIconShown());
    EXPECT_STREQ("Belltide", dlg.trayData().szTip);
    EXPECT_EQ(sizeof(void*) == 4 ? 88u : 104u, dlg.trayData().cbSize);  // the first layout's size
    EXPECT_EQ(static_cast<UINT>(WM_MOUSEMOVE), dlg.trayData().uCallbackMessage);
  });
  EXPECT_FALSE(dlg.IsTrayIconShown());  // deleted when the window went
}

// The picks must differ from one start to the next: the generator is seeded
// from the clock when the window starts.
TEST_F(ResidentWindow, RandomGeneratorIsSeededFromTheClock) {
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\n");
  std::time_t before = std::time(nullptr);
  CResidentDlg dlg(file, dir.path().c_str());
  int drawn = -1;
  RunModal(dlg, [&] { drawn = std::rand(); });
  bool seededWithTheTime = false;
  for (std::time_t t = before; t <= std::time(nullptr); ++t) {
    std::srand(static_cast<unsigned>(t));
    seededWithTheTime = seededWithTheTime || std::rand() == drawn;
  }
  EXPECT_TRUE(seededWithTheTime);
}

TEST_F(ResidentWindow, FirstRunAsksForTheImportBeforeTheWindowShows) {
  OpenSettings("Setup=0\r\nBootOnSoundChange=0\r\n");
  MessageBoxWatcher boxes;
  bool settingsAfterMessage = false;
  WhenWindowAppears settings(Cp932("Belltide 設定"), [&](HWND window) {
    settingsAfterMessage = boxes.seen().size() == 1;
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  });
  CResidentDlg dlg(file, dir.path().c_str());
  RunModal(dlg, [&] {
    EXPECT_EQ(Cp932("初回起動ルーチン起動"), Status(dlg));
    EXPECT_EQ(TimerPhases::PhaseBootWait, dlg.phases().phase());
  });
  EXPECT_TRUE(settings.seen());
  EXPECT_TRUE(settingsAfterMessage);
  ASSERT_EQ(1u, boxes.seen().size());
  EXPECT_EQ(Cp932("－初回起動メッセージ－\n最初に、「インポート」を行ってください。"), boxes.seen()[0].text);
  EXPECT_FALSE(boxes.seen()[0].dialogVisible);
}

TEST_F(ResidentWindow, EscapeAndEnterEndTheRunWhileVisible) {
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=30\r\n");
  for (auto [key, result] : {std::pair{VK_ESCAPE, IDCANCEL}, std::pair{VK_RETURN, IDOK}}) {
    CResidentDlg dlg(file, dir.path().c_str());
    EXPECT_EQ(result, RunModal(dlg, [&] {
                PostMessageA(GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(key), 0);
                Pump(300);
              }));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
  }
}

TEST_F(ResidentWindow, ExitCommandEndsTheRun) {
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=30\r\n");
  CResidentDlg dlg(file, dir.path().c_str());
  EXPECT_EQ(IDOK, RunModal(dlg, [&] {
              dlg.SendMessage(WM_COMMAND, 32776, 0);
              Pump(100);
            }));
}

TEST_F(ResidentWindow, SilenceAtStartShowsItInStatusAndTray) {
  OpenSettings("Setup=1\r\nBootOnNoSound=1\r\nBootOnSoundChange=0\r\n", "-C:\\a.wav\r\n");
  CResidentDlg dlg(file, dir.path().c_str());
  RunModal(dlg, [&] {
    EXPECT_EQ(Cp932("サウンド無しに設定しました"), Status(dlg));
    EXPECT_EQ(TimerPhases::PhaseBootWait, dlg.phases().phase());
    EXPECT_EQ(CString(".None"), ActiveScheme());
    Tick(dlg);
    Tick(dlg);
    EXPECT_STREQ("Belltide - No Sound", dlg.trayData().szTip);  // the tray tells the truth
  });
}

TEST_F(ResidentWindow, ReassignmentAtTheEndOfTheWaitReplacesTheSilence) {
  OpenSettings("Setup=1\r\nBootOnNoSound=1\r\nBootOnSoundChange=1\r\n", "-C:\\a.wav\r\n");
  CResidentDlg dlg(file, dir.path().c_str());
  RunModal(dlg, [&] {
    EXPECT_EQ(CString(".None"), ActiveScheme());
    Tick(dlg);
    EXPECT_EQ(CString(".Current"), ActiveScheme());
    CString sound;
    RegistryKey::OpenForRead("AppEvents\\Schemes\\Apps\\App\\Ev\\.Current").QueryString(nullptr, sound);
    EXPECT_EQ(CString("C:\\a.wav"), sound);
    EXPECT_STREQ("Belltide", dlg.trayData().szTip);
  });
}

// Run by the English pass, under code page 1252: the texts of the status
// window, the first-run message, the settings and the import dialog.
TEST_F(ResidentWindow, EnglishFirstRun) {
  ASSERT_NE(932u, GetACP());
  OpenSettings("Setup=0\r\nBootOnSoundChange=0\r\n");
  MessageBoxWatcher boxes;
  std::string label, importTitle, firstScheme;
  WhenWindowAppears import("Import Sound Settings", [&](HWND window) {
    importTitle = WindowText(window);
    char item[256] = {};
    SendDlgItemMessageA(window, 1000, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item));
    firstScheme = std::string(item).substr(0, 18);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  });
  WhenWindowAppears settings("Belltide Settings", [&](HWND window) {
    label = WindowText(GetDlgItem(window, 1012));
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(1012, BN_CLICKED), 0);  // Import...
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  });
  CResidentDlg dlg(file, dir.path().c_str());
  RunModal(dlg, [&] {
    EXPECT_EQ("First start", Status(dlg));
    Tick(dlg);
    EXPECT_EQ("Going to the notification area", Status(dlg));
  });
  ASSERT_EQ(1u, boxes.seen().size());
  EXPECT_EQ("- Welcome to Belltide -\nFirst of all, click Import... to fill the sound pools.", boxes.seen()[0].text);
  EXPECT_EQ("&Import...", label);
  EXPECT_EQ("Import Sound Settings", importTitle);
  EXPECT_EQ("(Current settings)", firstScheme);
}
