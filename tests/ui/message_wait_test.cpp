#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "platform/win/dialog.h"
#include "platform/win/unique_handle.h"
#include "res/resource.h"

namespace {

// Counts its object's signals and its own message: a signal from another
// thread while the loop sleeps posts the message, whose handler signals
// again; the second signal ends the dialog. A timer ends a loop that sleeps
// through a signal.
class SignalledDlg : public CDialog {
 public:
  explicit SignalledDlg(HANDLE event) : CDialog(IDD_ABOUT), m_event(event) { WaitAlsoFor(event); }

  int signals = 0, messages = 0;
  bool onOwnThread = true;

 protected:
  bool OnInitDialog() override {
    SetTimer(m_hWnd, 1, 10000, nullptr);
    return CDialog::OnInitDialog();
  }
  void OnSignalled() override {
    onOwnThread = onOwnThread && GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId();
    if (++signals == 1)
      PostMessageA(m_hWnd, WM_APP, 0, 0);
    else
      EndDialog(IDOK);
  }
  bool OnMessageMap(UINT message, WPARAM, LPARAM, LRESULT&) override {
    if (message == WM_APP) ++messages, SetEvent(m_event);
    if (message == WM_TIMER) EndDialog(IDABORT);
    return message == WM_APP || message == WM_TIMER;
  }

 private:
  HANDLE m_event;
};

}  // namespace

TEST(ModalLoop, WaitsOnItsObjectBesideItsMessages) {
  UniqueKernelObject event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  SignalledDlg dlg(event.get());
  std::thread later([&] {
    Sleep(300);
    SetEvent(event.get());
  });
  EXPECT_EQ(IDOK, dlg.DoModal());
  later.join();
  EXPECT_EQ(2, dlg.signals);
  EXPECT_EQ(1, dlg.messages);
  EXPECT_TRUE(dlg.onOwnThread);
}
