#pragma once
// A fresh directory for one test, removed with everything in it afterwards.

#include <filesystem>
#include <string>

#include "platform/stdio_file.h"

class TempDir {
 public:
  // In `base`: the system's folder for temporary files unless given.
  explicit TempDir(const std::filesystem::path& base = std::filesystem::temp_directory_path());
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return m_path; }
  std::string File(const char* name) const;

  std::string Read(const char* name) const;  // the bytes of a file in it
  void Write(const char* name, const std::string& bytes) const;

 private:
  std::string m_path;
};

// The bytes of a file that `file` holds open, and so locked against others.
std::string Contents(const CStdioFile& file);
