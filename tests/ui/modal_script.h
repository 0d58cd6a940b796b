#pragma once
// Driving modal windows from inside their own message loops.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win/dialog.h"
#include "window_text.h"

// Runs `dialog` modally and calls `script` once from inside its modal loop.
// The script pumps messages only when it asks to; if it leaves the dialog
// running, the dialog is ended with -2.
INT_PTR RunModal(CDialog& dialog, const std::function<void()>& script);

// Lets the thread handle its queued messages for about `milliseconds`,
// dialog keys as the modal loop would.
void Pump(int milliseconds);

// Answers every message box that this thread shows while it lives, with
// the button `answer`, and records what each one said.
class MessageBoxWatcher {
 public:
  struct Seen {
    std::string text;
    bool dialogVisible;  // whether a "Belltide" window was visible then
  };
  explicit MessageBoxWatcher(int answer = IDOK);
  ~MessageBoxWatcher();
  const std::vector<Seen>& seen() const { return m_seen; }

 private:
  static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
  UINT_PTR m_timer;
  int m_answer;
  std::vector<Seen> m_seen;
};

// Calls `act` from inside whatever modal loop runs when a visible window
// titled `title` of this thread appears; once.
class WhenWindowAppears {
 public:
  WhenWindowAppears(std::string title, std::function<void(HWND)> act);
  ~WhenWindowAppears();
  bool seen() const { return m_seen; }

 private:
  static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
  std::string m_title;
  std::function<void(HWND)> m_act;
  UINT_PTR m_timer;
  bool m_seen = false;
};
