#pragma once
// Each test that touches the registry starts without AppEvents and without
// the test's own key: in memory for native builds, in the real registry of a
// throw-away Wine prefix for Windows builds.

#include <gtest/gtest.h>

// Where tests put the keys of registry groups.
constexpr char kTestKey[] = "Software\\BelltideTest";

void ClearTestKeys();

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearTestKeys(); }
  void TearDown() override { ClearTestKeys(); }
};
