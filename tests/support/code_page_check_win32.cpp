// Every test program of the Windows tiers expects one ANSI code page: 932
// (Japanese) unless BELLTIDE_LOCALE names another language, as the English
// passes do. tools/wine-exec sets it up under Wine; on real Windows it is
// the system's, which a test run cannot change, so a pass whose code page
// is not there is skipped, saying why.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

class CodePageCheck : public testing::Environment {
 public:
  void SetUp() override {
    const char* locale = std::getenv("BELLTIDE_LOCALE");
    const bool japanese = !locale || std::string(locale).rfind("ja", 0) == 0;
    if (japanese && GetACP() != 932)
      GTEST_SKIP() << "these tests need the ANSI code page 932 (Japanese Windows, or Wine with LANG=ja_JP.UTF-8 "
                      "as tools/wine-exec sets it); this system's is "
                   << GetACP() << ". The English pass runs with BELLTIDE_LOCALE=en_US.UTF-8.";
    if (!japanese && GetACP() == 932)
      GTEST_SKIP() << "the English pass needs an ANSI code page other than 932; this system's is 932";
  }
};

const testing::Environment* const g_codePageCheck = testing::AddGlobalTestEnvironment(new CodePageCheck);

}  // namespace
