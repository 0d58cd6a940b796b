#pragma once
// The program's icon in the notification area: its tip and image tell the
// state of the sounds, a refused add is tried again by a timer of the
// window (often while Explorer may still be starting, then now and again),
// and a balloon says what the icon alone cannot.

#include <windows.h>
#include <shellapi.h>

class TrayIcon {
 public:
  enum class State { Sounding, Silent, PausedByWindows };
  using NotifyFunction = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
  using ClockFunction = ULONGLONG(WINAPI*)();

  TrayIcon(NotifyFunction notify, ClockFunction clock) : m_notify(notify), m_clock(clock) {}

  // The icon of `window`, whose `callbackMessage` carries the icon's id in
  // wParam; a refused add arms timer `retryTimer` of the window.
  void Create(HWND window, UINT callbackMessage, UINT_PTR retryTimer);
  static constexpr UINT kId = 1;

  // Adds the icon, or takes it as added if the tray has it already; on a
  // refusal the retry timer calls this again.
  void Add();
  void Remove();
  bool Shown() const { return m_shown; }

  State state() const { return m_state; }
  void Show(State state);
  // Shown once, now or as soon as the icon is added; Show(Sounding) or
  // Show(Silent) drops one not yet shown.
  void Balloon(UINT titleId, UINT textId);

 private:
  bool Notify(DWORD message) { return m_notify(message, &m_data) != FALSE; }
  void ShowDueBalloon();

  NotifyFunction m_notify;
  ClockFunction m_clock;
  NOTIFYICONDATAA m_data = {};
  UINT_PTR m_retryTimer = 0;
  State m_state = State::Sounding;
  bool m_shown = false;              // added, and not yet deleted
  bool m_balloonDue = false;         // m_data holds a balloon not yet shown
  ULONGLONG m_refusedSince = ~0ull;  // when the tray first refused the icon
};
