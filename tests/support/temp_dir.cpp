#include "temp_dir.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

TempDir::TempDir(const fs::path& base) {
  std::random_device seed;
  std::mt19937 random(seed());
  for (;;) {
    fs::path candidate = base / ("belltide-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      m_path = candidate.string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(m_path, ignored);
}

std::string TempDir::File(const char* name) const { return (fs::path(m_path) / name).string(); }

std::string TempDir::Read(const char* name) const {
  std::ifstream in(File(name), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string Contents(const CStdioFile& file) {
  std::string bytes;
  return file.ReadAll(bytes) ? bytes : "<unreadable>";
}

void TempDir::Write(const char* name, const std::string& bytes) const {
  std::ofstream(File(name), std::ios::binary) << bytes;
}
