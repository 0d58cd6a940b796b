#pragma once
// Paths as the settings file and the registry store them: text in the ANSI
// code page. A file whose name the code page cannot spell is stored by its
// short (8.3) path, so one file may come by either path.

#include <memory>
#include <string>
#include <string_view>

// Keys under which paths of one file meet: in any case of ASCII letters, and
// a short path with the long path it stands for when the code page spells
// that one. Each folder is read once, so that thousands of short paths cost
// a listing per folder rather than a look-up each.
class SameFileKeys {
 public:
  SameFileKeys();
  ~SameFileKeys();
  SameFileKeys(const SameFileKeys&) = delete;
  SameFileKeys& operator=(const SameFileKeys&) = delete;

  std::string Of(std::string_view path);

 private:
  struct Folders;
  std::unique_ptr<Folders> m_folders;
};
