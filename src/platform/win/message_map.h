#pragma once
// Message-map tables: one row per message, command or notification, in the
// order a dialog lists them, dispatched to member functions of the dialog.

#include <windows.h>

template <class T>
struct MessageMapEntry {
  enum class Kind { Message, Command, Notify };
  Kind kind;
  UINT message;  // Message: the window message
  UINT id;       // Command and Notify: the control or command id
  UINT code;     // Command: the notification code; Notify: NMHDR::code
  void (T::*onCommand)();
  LRESULT (T::*onMessage)(WPARAM, LPARAM);
  LRESULT (T::*onNotify)(NMHDR*);
};

template <class T>
constexpr MessageMapEntry<T> OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  return {MessageMapEntry<T>::Kind::Message, message, 0, 0, nullptr, handler, nullptr};
}

// A menu command or a button click (BN_CLICKED is 0, like a menu's code).
template <class T>
constexpr MessageMapEntry<T> OnCommand(UINT id, void (T::*handler)(), UINT code = BN_CLICKED) {
  return {MessageMapEntry<T>::Kind::Command, WM_COMMAND, id, code, handler, nullptr, nullptr};
}

template <class T>
constexpr MessageMapEntry<T> OnNotify(UINT id, UINT code, LRESULT (T::*handler)(NMHDR*)) {
  return {MessageMapEntry<T>::Kind::Notify, WM_NOTIFY, id, code, nullptr, nullptr, handler};
}

// The first row that matches handles the message; false when none does.
template <class T, size_t N>
bool DispatchMessageMap(T& target, const MessageMapEntry<T> (&map)[N], UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) {
  for (const MessageMapEntry<T>& entry : map) {
    using Kind = typename MessageMapEntry<T>::Kind;
    switch (entry.kind) {
      case Kind::Message:
        if (entry.message != message) continue;
        result = (target.*entry.onMessage)(wParam, lParam);
        return true;
      case Kind::Command:
        if (message != WM_COMMAND || LOWORD(wParam) != entry.id || HIWORD(wParam) != entry.code) continue;
        (target.*entry.onCommand)();
        result = 0;
        return true;
      case Kind::Notify: {
        if (message != WM_NOTIFY) continue;
        NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom != entry.id || header->code != entry.code) continue;
        result = (target.*entry.onNotify)(header);
        return true;
      }
    }
  }
  return false;
}
