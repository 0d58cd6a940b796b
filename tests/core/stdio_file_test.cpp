#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/stdio_file.h"
#include "temp_dir.h"

namespace {

std::vector<std::string> ReadAll(CStdioFile& file) {
  std::vector<std::string> lines;
  CString line;
  file.SeekToBegin();
  while (file.ReadString(line)) lines.push_back(line.str());
  return lines;
}

}  // namespace

TEST(StdioFile, WritesCrLfAndReadsEitherBreak) {
  TempDir dir;
  CStdioFile file;
  ASSERT_TRUE(file.Open(dir.File("t.txt").c_str(), 0x7002));
  EXPECT_TRUE(file.WriteString("one\n\ntwo\n"));
  EXPECT_EQ((std::vector<std::string>{"one", "", "two"}), ReadAll(file));
  file.Close();  // it is open exclusively
  EXPECT_EQ("one\r\n\r\ntwo\r\n", dir.Read("t.txt"));

  dir.Write("t.txt", "lf\ncr lf\r\nbare\rcr\nlast");
  ASSERT_TRUE(file.Open(dir.File("t.txt").c_str(), 0x7002));
  EXPECT_EQ((std::vector<std::string>{"lf", "cr lf", "bare\rcr", "last"}), ReadAll(file));
}

TEST(StdioFile, LinesLongerThanAnyBufferAndBreaksAcrossChunks) {
  TempDir dir;
  std::string longLine(300000, 'x');
  // Ends so that its CR is the last byte of a 64 KiB read and its LF the first of the next.
  std::string edge(5 * 65536 - 1 - (longLine.size() + 1), 'y');
  dir.Write("t.txt", longLine + "\n" + edge + "\r\nz\r\n");
  CStdioFile file;
  ASSERT_TRUE(file.Open(dir.File("t.txt").c_str(), 0x7002));
  EXPECT_EQ((std::vector<std::string>{longLine, edge, "z"}), ReadAll(file));
}

TEST(StdioFile, SetLengthEmptiesAndOpenNeverTruncates) {
  TempDir dir;
  dir.Write("t.txt", "keep");
  CStdioFile file;
  ASSERT_TRUE(file.Open(dir.File("t.txt").c_str(), 0x7002));
  EXPECT_EQ(4, file.GetLength());
  EXPECT_TRUE(file.SetLength(0));
  EXPECT_EQ(0, file.GetLength());
  EXPECT_TRUE(file.WriteString("new\n"));
  EXPECT_EQ(5, file.GetLength());
}

TEST(StdioFile, OpenIsExclusiveAndCreatesOnlyWhenAsked) {
  TempDir dir;
  CStdioFile first, second;
  EXPECT_FALSE(first.Open(dir.File("t.txt").c_str(), CStdioFile::modeReadWrite));
  ASSERT_TRUE(first.Open(dir.File("t.txt").c_str(), 0x7002));
  EXPECT_FALSE(second.Open(dir.File("t.txt").c_str(), 0x7002));
  first.Close();
  EXPECT_TRUE(second.Open(dir.File("t.txt").c_str(), 0x7002));
}
