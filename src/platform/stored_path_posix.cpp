#include "platform/stored_path.h"

#include "platform/mbcs.h"

// Outside Windows there are no short names: a path is the one way to its file.
struct SameFileKeys::Folders {};

SameFileKeys::SameFileKeys() = default;
SameFileKeys::~SameFileKeys() = default;

std::string SameFileKeys::Of(std::string_view path) {
  return mbcs::LowerAscii(path.data(), static_cast<int>(path.size()));
}
