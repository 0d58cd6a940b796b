#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <wtsapi32.h>

#include <cstdlib>
#include <map>
#include <tuple>
#include <ctime>

#include "cp932.h"
#include "fake_system.h"
#include "modal_script.h"
#include "platform/registry.h"
#include "registry_sandbox.h"
#include "settings_text.h"
#include "shell/resident_dlg.h"
#include "temp_dir.h"
#include "wave_file.h"

namespace {

std::string Status(const CResidentDlg& dlg) { return WindowText(dlg.GetDlgItem(1031)); }

std::string Waiting(int seconds) { return Cp932(("時間待ち中... : あと " + std::to_string(seconds) + "秒").c_str()); }

CString ActiveScheme() { return CString(DefaultValue("AppEvents\\Schemes")); }

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

  // Delivers one firing of the window's own timer.
  static void Tick(CResidentDlg& dlg) { dlg.SendMessage(WM_TIMER, 1); }

  TempDir dir;
  StartupFiles files{dir.File("BTD.CFG").c_str(), dir.File("BTD_BAK.CFG").c_str(), dir.path().c_str()};
  SettingsFile file;
  ResidentSystem system = fake_system::Start();
};

}  // namespace

TEST_F(ResidentWindow, BootWaitCountsDownThenHidesOneTickLater) {
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=2\r\n");
  CResidentDlg dlg(file, files, system);
  HWND window = nullptr;
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
    EXPECT_EQ(nullptr, fake_system::Icon(dlg.m_hWnd));
    Tick(dlg);
    EXPECT_FALSE(dlg.IsWindowVisible());
    const NOTIFYICONDATAA* icon = fake_system::Icon(dlg.m_hWnd);
    ASSERT_TRUE(icon);
    EXPECT_STREQ("Belltide", icon->szTip);
    EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE), icon->cbSize);  // the first layout with balloons
    EXPECT_EQ(static_cast<UINT>(WM_MOUSEMOVE), icon->uCallbackMessage);
    EXPECT_FALSE(KillTimer(dlg.m_hWnd, 1));  // no periodic change: nothing left to wake for
    window = dlg.m_hWnd;
  });
  EXPECT_EQ(nullptr, fake_system::Icon(window));  // deleted when the window went
}

// The picks must differ from one start to the next: the generator is seeded
// from the clock when the window starts.
TEST_F(ResidentWindow, RandomGeneratorIsSeededFromTheClock) {
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\n");
  std::time_t before = std::time(nullptr);
  CResidentDlg dlg(file, files, system);
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
  CResidentDlg dlg(file, files, system);
  RunModal(dlg, [&] {
    EXPECT_EQ(Cp932("初回起動ルーチン起動"), Status(dlg));
    Tick(dlg);  // the start-up goes on as usual once the settings are closed
    EXPECT_EQ(Cp932("タスクトレイに常駐します"), Status(dlg));
  });
  EXPECT_TRUE(settings.seen());
  EXPECT_TRUE(settingsAfterMessage);
  ASSERT_EQ(1u, boxes.seen().size());
  EXPECT_EQ(Cp932("－初回起動メッセージ－\n最初に、「インポート」を行ってください。"), boxes.seen()[0].text);
  EXPECT_FALSE(boxes.seen()[0].dialogVisible);
}

// At start the files of the notification events are made readable for
// notifications, silently: a refusal shows no box at log-on.
TEST_F(ResidentWindow, NotificationSoundsAreMadeReadableSilentlyAtStart) {
  TempDir sounds;
  for (const char* name : {"toast.wav", "refused.wav", "other.wav"}) sounds.Write(name, WaveBytes(10));
  dir.Write("BTD.CFG", "Setup=1\r\nBootOnSoundChange=0\r\n\r\n" + GroupBlock("\\.Default", "Windows") +
                           EventBlock("Notification.IM", "IM",
                                      {"-" + sounds.File("toast.wav"), "-" + sounds.File("refused.wav"),
                                       "-" + sounds.File("gone.wav")}) +
                           EventBlock("MailBeep", "Mail", {"-" + sounds.File("other.wav")}));
  ASSERT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
  MessageBoxWatcher boxes;
  CResidentDlg dlg(file, files, system);
  RunModal(dlg, [&] {
    EXPECT_EQ((std::vector<std::string>{sounds.File("toast.wav"), sounds.File("refused.wav")}), fake_system::grants);
  });
  EXPECT_TRUE(boxes.seen().empty());
}

// A command from a second start while the first-run message is on screen
// would act on pools not yet filled: a change then would clear every sound.
// It is refused; during the start-up wait that follows, it is kept for its end.
TEST_F(ResidentWindow, CommandsWaitUntilTheStartUpIsSetUp) {
  const char kSound[] = "AppEvents\\Schemes\\Apps\\App\\Ev\\.Current";
  SetDefault(kSound, "C:\\now.wav");
  OpenSettings("Setup=0\r\nBootOnSoundChange=0\r\nBootWaitTime=5\r\n");
  CResidentDlg dlg(file, files, system);
  std::vector<wchar_t> buffer;
  const COPYDATASTRUCT change =
      EncodeRemoteCommand(RemoteCommand::Change, std::wstring(dir.path().begin(), dir.path().end()), buffer);
  auto send = [&] { return dlg.SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&change)); };
  LRESULT duringMessage = -1;
  WhenWindowAppears message("Belltide", [&](HWND box) {
    duringMessage = send();
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  WhenWindowAppears settings(Cp932("Belltide 設定"),
                             [](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
  RunModal(dlg, [&] {
    EXPECT_EQ(kRefused, duringMessage);
    EXPECT_EQ("C:\\now.wav", DefaultValue(kSound));
    EXPECT_EQ(kDone, send());  // in the start-up wait: kept
    EXPECT_EQ("C:\\now.wav", DefaultValue(kSound));
    for (int second = 0; second <= 5; ++second) Tick(dlg);
    EXPECT_EQ("", DefaultValue(kSound));  // the empty pool, as the user asked at its end
  });
  EXPECT_TRUE(message.seen());
}

// WM_MOUSEMOVE with wParam 1 is also a real mouse move with the left button
// held, whose x may read as a double click (515): over the status window,
// where there is no tray icon yet, it is only a mouse move.
TEST_F(ResidentWindow, MouseMovesOverTheStatusWindowAreNoTrayClicks) {
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=30\r\n");
  CResidentDlg dlg(file, files, system);
  WhenWindowAppears settings(Cp932("Belltide 設定"),
                             [](HWND window) { PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
  RunModal(dlg, [&] {
    Tick(dlg);
    ASSERT_TRUE(dlg.IsWindowVisible());
    dlg.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(WM_LBUTTONDBLCLK, 10));
    Pump(300);
  });
  EXPECT_FALSE(settings.seen());
}

// The sounds Windows 8 and later no longer play: each event's sound of now,
// from memory, never the default beep; log-on and unlock at once, log-off
// and shutdown to their end but at most 4 seconds; nothing when Windows
// forces the end, in silent mode, or with the option off.
class SessionSoundsTest : public ResidentWindow {
 protected:
  void SetUp() override {
    ResidentWindow::SetUp();
    for (auto [event, milliseconds] : {std::pair{"WindowsLogon", 700u}, std::pair{"WindowsLogoff", 9000u},
                                       std::pair{"SystemExit", 1500u}, std::pair{"WindowsUnlock", 300u}}) {
      waves[event] = WaveBytes(milliseconds);
      dir.Write((std::string(event) + ".wav").c_str(), waves[event]);
      SetDefault("AppEvents\\Schemes\\Apps\\.Default\\" + std::string(event) + "\\.Current",
                 dir.File((std::string(event) + ".wav").c_str()));
    }
  }

  // What was played since the last look, by event, and the time it took.
  std::vector<std::string> Played() {
    std::vector<std::string> events;
    for (const fake_system::Played& played : fake_system::played) {
      EXPECT_EQ(SND_MEMORY | SND_ASYNC | SND_NODEFAULT | kSoundOfTheSystem, played.flags);
      for (const auto& [event, wave] : waves)
        if (wave == played.wave) events.push_back(event);
    }
    fake_system::played.clear();
    return events;
  }

  std::map<std::string, std::string> waves;
};

// The query is answered at once; the sound plays only once the end is
// certain, after the settings and their backup are on the disk.
TEST_F(SessionSoundsTest, PlayedWhenTheSessionEndsAndAtTheUnlock) {
  const struct {
    DWORD reasons;  // ENDSESSION_*
    const char* played;
    ULONGLONG ms;
  } kEnds[] = {
      {ENDSESSION_LOGOFF | ENDSESSION_CLOSEAPP, "WindowsLogoff", 4000},  // cut at 4 seconds
      {0, "SystemExit", 1500},
      {ENDSESSION_CRITICAL | ENDSESSION_LOGOFF, nullptr, 0},
      {ENDSESSION_CLOSEAPP, nullptr, 0},  // an update's restart of applications
  };
  for (const auto& end : kEnds) {
    file.Close();
    OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\nSessionSounds=1\r\n");
    CResidentDlg dlg(file, files, system);
    bool savedFirst = false;
    fake_system::onPlay = [&] { savedFirst = !file.IsOpen() && !dir.Read("BTD_BAK.CFG").empty(); };
    RunModal(dlg, [&] {
      const LPARAM reasons = static_cast<LPARAM>(end.reasons);
      EXPECT_TRUE(dlg.SendMessage(WM_QUERYENDSESSION, 0, reasons));
      dlg.SendMessage(WM_ENDSESSION, FALSE, reasons);  // called off: nothing plays, the run goes on
      EXPECT_TRUE(dlg.SendMessage(WM_QUERYENDSESSION, 0, reasons));
      EXPECT_TRUE(Played().empty());
      ULONGLONG before = fake_system::now;
      dlg.SendMessage(WM_ENDSESSION, TRUE, reasons);
      EXPECT_EQ(end.ms, fake_system::now - before) << end.reasons;
    });
    EXPECT_EQ(end.played ? std::vector<std::string>{end.played} : std::vector<std::string>{}, Played()) << end.reasons;
    EXPECT_EQ(end.played != nullptr, savedFirst) << end.reasons;
  }
  fake_system::onPlay = nullptr;

  file.Close();
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\nSessionSounds=1\r\n");
  CResidentDlg dlg(file, files, system);
  RunModal(dlg, [&] {
    dlg.SendMessage(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0);
    EXPECT_TRUE(Played().empty());
    dlg.SendMessage(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    EXPECT_EQ(std::vector<std::string>{"WindowsUnlock"}, Played());
    SetEnvironmentVariableA("BELLTIDE_SOUNDS", dir.path().c_str());  // as Windows' own %SystemRoot%\media\...
    SetDefault("AppEvents\\Schemes\\Apps\\.Default\\WindowsUnlock\\.Current", "%BELLTIDE_SOUNDS%\\WindowsUnlock.wav");
    dlg.SendMessage(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    EXPECT_EQ(std::vector<std::string>{"WindowsUnlock"}, Played());

    SetDefault("AppEvents\\Schemes", ".None");
    dlg.SendMessage(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0);
    dlg.SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(Played().empty());
  });
}

// Silent at start-up means no log-on sound either, whatever the registry
// holds at that moment.
TEST_F(SessionSoundsTest, LogonSoundOnlyForAStartAtLogonWithTheOptionOn) {
  for (auto [options, logon, played] :
       {std::tuple{"SessionSounds=1\r\n", true, true}, std::tuple{"SessionSounds=1\r\n", false, false},
        std::tuple{"", true, false}, std::tuple{"SessionSounds=1\r\nBootOnNoSound=1\r\n", true, false}}) {
    file.Close();
    OpenSettings(std::string("Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=30\r\n") + options);
    CResidentDlg dlg(file, files, system);
    if (logon) dlg.DoOnceResident(RemoteCommand::Logon);
    RunModal(dlg, [&] {
      EXPECT_EQ(played ? std::vector<std::string>{"WindowsLogon"} : std::vector<std::string>{}, Played()) << options;
      EXPECT_TRUE(dlg.IsWindowVisible());  // before the start-up wait
      dlg.SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_CRITICAL);
    });
  }
}

TEST_F(ResidentWindow, EscapeAndEnterEndTheRunWhileVisible) {
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=30\r\n");
  for (auto [key, result] : {std::pair{VK_ESCAPE, IDCANCEL}, std::pair{VK_RETURN, IDOK}}) {
    CResidentDlg dlg(file, files, system);
    EXPECT_EQ(result, RunModal(dlg, [&] {
                PostMessageA(GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(key), 0);
                Pump(300);
              }));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
  }
}

TEST_F(ResidentWindow, ExitCommandEndsTheRun) {
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\nBootWaitTime=30\r\n");
  CResidentDlg dlg(file, files, system);
  EXPECT_EQ(IDOK, RunModal(dlg, [&] {
              dlg.SendMessage(WM_COMMAND, 32776, 0);
              Pump(100);
            }));
}

TEST_F(ResidentWindow, SilenceAtStartShowsItInStatusAndTray) {
  OpenSettings("Setup=1\r\nBootOnNoSound=1\r\nBootOnSoundChange=0\r\n", "-C:\\a.wav\r\n");
  CResidentDlg dlg(file, files, system);
  RunModal(dlg, [&] {
    EXPECT_EQ(Cp932("サウンド無しに設定しました"), Status(dlg));
    EXPECT_EQ(CString(".None"), ActiveScheme());
    Tick(dlg);
    EXPECT_EQ(Cp932("タスクトレイに常駐します"), Status(dlg));  // the wait still runs
    Tick(dlg);
    ASSERT_TRUE(fake_system::Icon(dlg.m_hWnd));
    EXPECT_STREQ("Belltide - No Sound", fake_system::Icon(dlg.m_hWnd)->szTip);  // the tray tells the truth
  });
}

TEST_F(ResidentWindow, ReassignmentAtTheEndOfTheWaitReplacesTheSilence) {
  OpenSettings("Setup=1\r\nBootOnNoSound=1\r\nBootOnSoundChange=1\r\n", "-C:\\a.wav\r\n");
  CResidentDlg dlg(file, files, system);
  RunModal(dlg, [&] {
    EXPECT_EQ(CString(".None"), ActiveScheme());
    Tick(dlg);
    EXPECT_EQ(CString(".Current"), ActiveScheme());
    CString sound(DefaultValue("AppEvents\\Schemes\\Apps\\App\\Ev\\.Current"));
    EXPECT_EQ(CString("C:\\a.wav"), sound);
    Tick(dlg);
    ASSERT_TRUE(fake_system::Icon(dlg.m_hWnd));
    EXPECT_STREQ("Belltide", fake_system::Icon(dlg.m_hWnd)->szTip);
  });
}

// At the end of the Windows session the program ends as Exit ends it, from
// inside whatever dialog is open: the settings' unapplied edits are dropped,
// the last save and the backup are on the disk, the icon is gone.
TEST_F(ResidentWindow, SessionEndEndsTheRunAsExitWould) {
  OpenSettings("Setup=1\r\nBootOnSoundChange=0\r\n", "-C:\\a.wav\r\n");
  CResidentDlg dlg(file, files, system);
  WhenWindowAppears settings(Cp932("Belltide 設定"), [&](HWND) {
    file.EditTable()[1].AppendCandidate("C:\\unapplied.wav", false);
    EXPECT_TRUE(dlg.SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    dlg.SendMessage(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);  // called off: nothing happens
    EXPECT_TRUE(file.IsOpen());
    dlg.SendMessage(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  });
  HWND window = nullptr;
  EXPECT_EQ(IDOK, RunModal(dlg, [&] {
              Tick(dlg);
              Tick(dlg);
              window = dlg.m_hWnd;
              ASSERT_TRUE(fake_system::Icon(window));
              dlg.SendMessage(WM_COMMAND, 32773, 0);  // the settings, until the session ends
            }));
  EXPECT_TRUE(settings.seen());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(nullptr, fake_system::Icon(window));
  std::string saved = dir.Read("BTD.CFG");
  EXPECT_EQ(std::string::npos, saved.find("unapplied"));
  EXPECT_EQ(saved, dir.Read("BTD_BAK.CFG"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(dir.File("BTD_SAVE.CFG").c_str()));
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
  CResidentDlg dlg(file, files, system);
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
