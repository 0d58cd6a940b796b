#include "shell/ui_language.h"

#include <windows.h>

#include "platform/win/resources.h"

void ChooseUiLanguage() {
  bool japanese = GetACP() == 932;
  SetResourceLanguage(japanese ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)
                               : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}
