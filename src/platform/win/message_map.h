#pragma once
// Message-map tables: one row per message, command or notification, in the
// order a dialog lists them, dispatched to member functions of the dialog.
// The handler is a template argument, so each row calls it with its own
// types:
//   OnMessage<WM_TIMER, &CMyDlg::OnTimer>()      cracked: void OnTimer(UINT_PTR)
//   OnMessage<&CMyDlg::OnNotice>(WM_APP + 1)     LRESULT OnNotice(WPARAM, LPARAM)
//   OnCommand<&CMyDlg::OnPlay>(IDC_PLAY)         void OnPlay()
//   OnNotify<&CMyDlg::OnSelchanged>(IDC_TREE, TVN_SELCHANGEDA)   LRESULT (NMHDR*)

#include <windows.h>
#include <shellapi.h>

template <class T>
struct MessageMapEntry {
  UINT message;
  UINT id;    // WM_COMMAND and WM_NOTIFY: the control or command id
  UINT code;  // WM_COMMAND: the notification code; WM_NOTIFY: NMHDR::code
  LRESULT (*call)(T&, WPARAM, LPARAM);
};

template <class Member>
struct ClassOf;
template <class T, class Function>
struct ClassOf<Function T::*> {
  using Type = T;
};
template <auto Handler>
using HandlerClass = typename ClassOf<decltype(Handler)>::Type;

// How a message's arguments reach a typed handler, and what it returns.
template <UINT Message>
struct Cracker;

template <>
struct Cracker<WM_TIMER> {
  template <class T>
  static LRESULT Call(T& target, void (T::*handler)(UINT_PTR), WPARAM wParam, LPARAM) {
    (target.*handler)(static_cast<UINT_PTR>(wParam));
    return 0;
  }
};

template <>
struct Cracker<WM_PAINT> {
  template <class T>
  static LRESULT Call(T& target, void (T::*handler)(), WPARAM, LPARAM) {
    (target.*handler)();
    return 0;
  }
};

template <>
struct Cracker<WM_QUERYDRAGICON> {
  template <class T>
  static LRESULT Call(T& target, HICON (T::*handler)(), WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>((target.*handler)());
  }
};

template <>
struct Cracker<WM_DROPFILES> {
  template <class T>
  static LRESULT Call(T& target, void (T::*handler)(HDROP), WPARAM wParam, LPARAM) {
    (target.*handler)(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
};

template <>
struct Cracker<WM_DRAWITEM> {
  template <class T>
  static LRESULT Call(T& target, void (T::*handler)(const DRAWITEMSTRUCT&), WPARAM, LPARAM lParam) {
    (target.*handler)(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  }
};

template <>
struct Cracker<WM_QUERYENDSESSION> {
  template <class T>
  static LRESULT Call(T& target, bool (T::*handler)(LPARAM), WPARAM, LPARAM lParam) {
    return (target.*handler)(lParam) ? TRUE : FALSE;  // lParam: the ENDSESSION_* reasons
  }
};

template <>
struct Cracker<WM_ENDSESSION> {
  template <class T>
  static LRESULT Call(T& target, void (T::*handler)(bool, LPARAM), WPARAM wParam, LPARAM lParam) {
    (target.*handler)(wParam != FALSE, lParam);  // lParam: the ENDSESSION_* reasons
    return 0;
  }
};

template <>
struct Cracker<WM_POWERBROADCAST> {
  template <class T>
  static LRESULT Call(T& target, void (T::*handler)(UINT), WPARAM wParam, LPARAM) {
    (target.*handler)(static_cast<UINT>(wParam));
    return TRUE;
  }
};

template <>
struct Cracker<WM_COPYDATA> {
  template <class T>
  static LRESULT Call(T& target, LRESULT (T::*handler)(const COPYDATASTRUCT&), WPARAM, LPARAM lParam) {
    return lParam ? (target.*handler)(*reinterpret_cast<const COPYDATASTRUCT*>(lParam)) : 0;
  }
};

// A message with a cracker.
template <UINT Message, auto Handler, class T = HandlerClass<Handler>>
MessageMapEntry<T> OnMessage() {
  return {Message, 0, 0, [](T& target, WPARAM wParam, LPARAM lParam) {
            return Cracker<Message>::Call(target, Handler, wParam, lParam);
          }};
}

// Any message, its arguments passed on as they come.
template <auto Handler, class T = HandlerClass<Handler>>
MessageMapEntry<T> OnMessage(UINT message) {
  return {message, 0, 0, [](T& target, WPARAM wParam, LPARAM lParam) { return (target.*Handler)(wParam, lParam); }};
}

// A menu command or a button click (BN_CLICKED is 0, like a menu's code).
template <auto Handler, class T = HandlerClass<Handler>>
MessageMapEntry<T> OnCommand(UINT id, UINT code = BN_CLICKED) {
  return {WM_COMMAND, id, code, [](T& target, WPARAM, LPARAM) -> LRESULT {
            (target.*Handler)();
            return 0;
          }};
}

template <auto Handler, class T = HandlerClass<Handler>>
MessageMapEntry<T> OnNotify(UINT id, UINT code) {
  return {WM_NOTIFY, id, code,
          [](T& target, WPARAM, LPARAM lParam) { return (target.*Handler)(reinterpret_cast<NMHDR*>(lParam)); }};
}

// The first row that matches handles the message; false when none does.
template <class T, size_t N>
bool DispatchMessageMap(T& target, const MessageMapEntry<T> (&map)[N], UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) {
  for (const MessageMapEntry<T>& entry : map) {
    if (entry.message != message) continue;
    if (message == WM_COMMAND && (LOWORD(wParam) != entry.id || HIWORD(wParam) != entry.code)) continue;
    if (message == WM_NOTIFY) {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom != entry.id || header->code != entry.code) continue;
    }
    result = entry.call(target, wParam, lParam);
    return true;
  }
  return false;
}
