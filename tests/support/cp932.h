#pragma once
// Test texts are written in UTF-8; the program's are code page 932 bytes.

#include <string>

std::string Cp932(const char* utf8);
