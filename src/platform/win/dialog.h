#pragma once
// CDialog: a modal dialog from a template, with a message-map table, data
// exchange and the framework's default OK and Cancel. It opens centred on
// its owner, or on the screen.

#include <windows.h>

#include "platform/win/message_map.h"
#include "platform/win/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, HWND parent = nullptr) : m_templateId(templateId), m_parent(parent) {}
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;
  virtual ~CDialog() = default;

  // Creates the dialog, runs its modal loop until EndDialog, then destroys
  // it through DestroyWindow. Returns the EndDialog result, -1 on failure.
  INT_PTR DoModal();
  void EndDialog(INT_PTR result);

  // Controls to fields (save true) or fields to controls; false when a field
  // could not be read (the user has been told).
  bool UpdateData(bool saveAndValidate = true);

  virtual bool DestroyWindow();

  // A kernel object the modal loop waits on beside the messages (nullptr:
  // none); OnSignalled runs on the dialog's thread each time it is
  // signalled. Nested modal loops of other windows do not wait on it: a
  // signal meanwhile is seen once this loop runs again.
  void WaitAlsoFor(HANDLE object) { m_waitObject = object; }

 protected:
  virtual void DoDataExchange(CDataExchange& dx);
  // Exchanges fields to controls. True lets the dialog manager focus the
  // first control; false when the handler set the focus itself.
  virtual bool OnInitDialog();
  virtual void OnOK();      // exchanges controls to fields, ends with IDOK
  virtual void OnCancel();  // ends with IDCANCEL

  // The derived dialog's message map; false lets the dialog manager handle
  // the message. `result` is what the message returns to its sender.
  virtual bool OnMessageMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  virtual void OnSignalled() {}

  // Called by a handler that also wants the dialog manager's processing.
  void PassToDefault() { m_handled = false; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  UINT m_templateId;
  HWND m_parent;
  bool m_inModalLoop = false;
  INT_PTR m_result = -1;
  bool m_handled = true;
  HANDLE m_waitObject = nullptr;
};
