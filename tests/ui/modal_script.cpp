#include "modal_script.h"

#include <algorithm>

#include "shell/ui_language.h"

namespace {

const std::function<void()>* g_script = nullptr;
CDialog* g_scriptedDialog = nullptr;
MessageBoxWatcher* g_watcher = nullptr;
std::vector<WhenWindowAppears*> g_waiters;

struct TitleSearch {
  const std::string* title;
  HWND found = nullptr;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TitleSearch*>(context);
  if (IsWindowVisible(window) && WindowText(window) == *search->title) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

UINT_PTR g_endTimer = 0;

// Fires only if a message loop still runs once the script is done: the
// script left the dialog open.
void CALLBACK EndScriptedDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_endTimer = 0;
  g_scriptedDialog->EndDialog(-2);
}

// Starts the script once the dialog is up and shown, not from inside the
// modal loop of a message box that its initialisation opened.
void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = g_scriptedDialog->m_hWnd;
  if (!window || !IsWindowVisible(window) || GetActiveWindow() != window) return;
  KillTimer(nullptr, timer);
  (*g_script)();
  g_endTimer = SetTimer(nullptr, 0, 0, EndScriptedDialog);
}

struct MessageBoxSearch {
  HWND box = nullptr;
  bool belltideVisible = false;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<MessageBoxSearch*>(context);
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) != "#32770" || !IsWindowVisible(window)) return TRUE;
  if (IsStatusWindow(window))
    search->belltideVisible = true;
  else if (IsMessageBox(window))
    search->box = window;
  return TRUE;
}

}  // namespace

INT_PTR RunModal(CDialog& dialog, const std::function<void()>& script) {
  ChooseUiLanguage();  // as the program does before its first window
  g_script = &script;
  g_scriptedDialog = &dialog;
  SetTimer(nullptr, 0, 10, RunScript);
  INT_PTR result = dialog.DoModal();
  if (g_endTimer) KillTimer(nullptr, g_endTimer);
  g_endTimer = 0;
  g_script = nullptr;
  g_scriptedDialog = nullptr;
  return result;
}

void Pump(int milliseconds) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  MSG msg;
  while (static_cast<int>(end - GetTickCount()) > 0) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      // As the modal loop would: dialog keys reach the scripted dialog.
      HWND dialog = g_scriptedDialog ? g_scriptedDialog->m_hWnd : nullptr;
      if (dialog && IsDialogMessageA(dialog, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  }
}

MessageBoxWatcher::MessageBoxWatcher(int answer) : m_timer(SetTimer(nullptr, 0, 20, OnTick)), m_answer(answer) {
  g_watcher = this;
}

MessageBoxWatcher::~MessageBoxWatcher() {
  KillTimer(nullptr, m_timer);
  g_watcher = nullptr;
}

void CALLBACK MessageBoxWatcher::OnTick(HWND, UINT, UINT_PTR, DWORD) {
  if (!g_watcher) return;
  MessageBoxSearch search;
  EnumThreadWindows(GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&search));
  if (!search.box) return;
  std::string text = LongestStaticText(search.box);
  g_watcher->m_seen.push_back({text, search.belltideVisible});
  PostMessageA(search.box, WM_COMMAND, static_cast<WPARAM>(g_watcher->m_answer), 0);
}

WhenWindowAppears::WhenWindowAppears(std::string title, std::function<void(HWND)> act)
    : m_title(std::move(title)), m_act(std::move(act)), m_timer(SetTimer(nullptr, 0, 30, OnTick)) {
  g_waiters.push_back(this);
}

WhenWindowAppears::~WhenWindowAppears() {
  KillTimer(nullptr, m_timer);
  g_waiters.erase(std::find(g_waiters.begin(), g_waiters.end(), this));
}

void CALLBACK WhenWindowAppears::OnTick(HWND, UINT, UINT_PTR timer, DWORD) {
  for (WhenWindowAppears* waiter : g_waiters) {
    if (waiter->m_timer != timer || waiter->m_seen) continue;
    TitleSearch search{&waiter->m_title};
    EnumThreadWindows(GetCurrentThreadId(), FindTitled, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return;
    waiter->m_seen = true;
    KillTimer(nullptr, timer);
    waiter->m_act(search.found);
    return;
  }
}
