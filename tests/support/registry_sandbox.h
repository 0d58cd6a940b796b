#pragma once
// Each test that touches the registry starts without AppEvents and without
// the test's own key: in memory for native builds, in the real registry of a
// throw-away Wine prefix for Windows builds.

#include <gtest/gtest.h>

#include <string>

#include "platform/registry.h"

// Where tests put the keys of registry groups.
constexpr char kTestKey[] = "Software\\BelltideTest";

void ClearTestKeys();

// Sets the default value of `key`, creating the key.
inline void SetDefault(const std::string& key, const std::string& value) {
  RegistryKey::Create(key.c_str()).SetString(nullptr, value.c_str());
}

// The default value of `key`; empty when there is none.
inline std::string DefaultValue(const std::string& key) {
  CString value;
  RegistryKey::OpenForRead(key.c_str()).QueryString(nullptr, value);
  return value.str();
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearTestKeys(); }
  void TearDown() override { ClearTestKeys(); }
};
