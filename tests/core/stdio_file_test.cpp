#include <gtest/gtest.h>

#include <string>

#include "platform/stdio_file.h"
#include "temp_dir.h"

TEST(StdioFile, ReadsWholeAndRewritesInPlace) {
  TempDir dir;
  std::string big;
  for (int i = 0; big.size() < 5 * 1024 * 1024; ++i) big += "line " + std::to_string(i) + "\r\n";
  dir.Write("t.txt", big);
  CStdioFile file;
  ASSERT_TRUE(file.Open(dir.File("t.txt").c_str()));
  std::string bytes;
  ASSERT_TRUE(file.ReadAll(bytes));
  EXPECT_EQ(big, bytes);

  EXPECT_TRUE(file.Rewrite("short\r\n"));  // the old tail must not survive
  EXPECT_EQ(7, file.GetLength());
  ASSERT_TRUE(file.ReadAll(bytes));
  EXPECT_EQ("short\r\n", bytes);
  file.Close();  // it is open exclusively
  EXPECT_EQ("short\r\n", dir.Read("t.txt"));
}

TEST(StdioFile, OpenIsExclusiveCreatesAndNeverTruncates) {
  TempDir dir;
  CStdioFile first, second;
  ASSERT_TRUE(first.Open(dir.File("t.txt").c_str()));
  EXPECT_EQ(0, first.GetLength());
  EXPECT_FALSE(second.Open(dir.File("t.txt").c_str()));
  EXPECT_TRUE(first.Rewrite("keep"));
  first.Close();
  EXPECT_TRUE(second.Open(dir.File("t.txt").c_str()));
  EXPECT_EQ(4, second.GetLength());
}
