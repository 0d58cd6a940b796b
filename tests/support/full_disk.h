#pragma once
// A settings file, open, on a device that refuses every write, as a full
// disk would: a link to /dev/full. Not for Windows.

#include <unistd.h>

#include <gtest/gtest.h>

#include "store/settings_file.h"
#include "temp_dir.h"

struct FullDiskSettings {
  FullDiskSettings() {
    EXPECT_EQ(0, symlink("/dev/full", dir.File("BTD.CFG").c_str()));
    EXPECT_TRUE(file.Open(dir.File("BTD.CFG").c_str()));
  }

  TempDir dir;
  SettingsFile file;
};
