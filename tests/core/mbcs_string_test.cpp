#include <gtest/gtest.h>

#include "cp932.h"
#include "platform/cstring.h"
#include "platform/mbcs.h"

// 'ソ' is 0x83 0x5C and 'ポ' is 0x83 0x7C: their trail bytes are '\' and '|'.
TEST(MultiByteText, SeparatorScansStepOverTrailBytes) {
  CString text(Cp932("ソポ|x\\").c_str());
  ASSERT_EQ(7, text.GetLength());
  EXPECT_EQ(4, text.Find('|'));
  EXPECT_EQ(6, text.Find('\\'));
  EXPECT_EQ(-1, text.Find('|', 5));
  EXPECT_EQ(-1, CString(Cp932("ソポ").c_str()).Find('\\'));
}

TEST(MultiByteText, CutCharacterAtTheEndIsDetected) {
  std::string cut = Cp932("aポ").substr(0, 2);
  EXPECT_TRUE(mbcs::EndsInsideCharacter(cut.data(), 2));
  EXPECT_FALSE(mbcs::EndsInsideCharacter(Cp932("aポ").data(), 3));
  EXPECT_FALSE(mbcs::EndsInsideCharacter("", 0));
}

TEST(MultiByteText, CaseIsIgnoredOnlyForAsciiLetters) {
  EXPECT_TRUE(CString("C:\\Sounds\\A.WAV").EqualsNoCase("c:\\sounds\\a.wav"));
  EXPECT_FALSE(CString("C:\\a.wav").EqualsNoCase("C:\\a.wa"));
  // 'ソ' (83 5C) and 'ポ' (83 7C) differ only in a trail byte that would fold
  // if it were a letter; they must stay different.
  EXPECT_FALSE(CString(Cp932("ソ").c_str()).EqualsNoCase(Cp932("ポ").c_str()));
  EXPECT_TRUE(CString(Cp932("C:\\ソ.wav").c_str()).EqualsNoCase(Cp932("c:\\ソ.WAV").c_str()));
}

TEST(MultiByteText, FormatAndSlicing) {
  CString text;
  text.Format("%s : %d", "Asterisk", -3);
  EXPECT_EQ(CString("Asterisk : -3"), text);
  EXPECT_EQ(CString("Aste"), text.Left(4));
  EXPECT_EQ(CString("-3"), text.Mid(11));
  EXPECT_EQ(CString(""), text.Mid(40));
  EXPECT_EQ(CString("eri"), text.Mid(3, 3));
}
