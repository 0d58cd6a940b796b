#pragma once
// Dialog data exchange: binds controls to members and moves values between
// the controls and the dialog's fields. After a failed field the later
// exchanges do nothing.

#include "platform/win/wnd.h"

class CDialog;

class CDataExchange {
 public:
  CDataExchange(CDialog& dialog, bool saveAndValidate) : m_dialog(dialog), m_saveAndValidate(saveAndValidate) {}

  CDialog& Dialog() const { return m_dialog; }
  bool Saving() const { return m_saveAndValidate; }
  bool Failed() const { return m_failed; }
  // Tells the user, focuses the control and stops the exchange.
  void Fail(int controlId, UINT messageId);

 private:
  CDialog& m_dialog;
  bool m_saveAndValidate;
  bool m_failed = false;
};

void DDX_Control(CDataExchange& dx, int id, CWnd& control);
void DDX_Check(CDataExchange& dx, int id, int& value);
// A whole number; anything else fails the exchange with the framework's message.
void DDX_Text(CDataExchange& dx, int id, int& value);
