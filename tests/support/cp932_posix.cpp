#include <iconv.h>

#include <stdexcept>

#include "cp932.h"

std::string Cp932(const char* utf8) {
  iconv_t converter = iconv_open("CP932", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no CP932 converter");
  std::string in(utf8), out(in.size() * 2 + 1, '\0');
  char* from = in.data();
  char* to = out.data();
  size_t fromLeft = in.size(), toLeft = out.size();
  size_t result = iconv(converter, &from, &fromLeft, &to, &toLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1)) throw std::runtime_error("not representable in CP932");
  out.resize(out.size() - toLeft);
  return out;
}
