#pragma once
// A folder of the benchmark's own, removed with the files in it when it goes
// out of scope.

#include <string>

class ScratchFolder {
 public:
  // A new folder under the temp folder (no parent) or under `parent`.
  explicit ScratchFolder(const std::string& name, const ScratchFolder* parent = nullptr);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "\\" + name; }

 private:
  std::string m_path;
};
