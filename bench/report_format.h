#pragma once
// Numbers as the benchmark prints them.

#include <cstdio>
#include <string>

inline std::string Thousands(long long n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
  return n < 0 ? "-" + digits : digits;
}

// "2.05x"; a dash where the divisor is not positive, which only noise gives.
inline std::string Ratio(double part, double whole, int decimals = 2) {
  if (!(whole > 0)) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.*fx", decimals, part / whole);
  return text;
}
