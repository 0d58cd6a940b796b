#pragma once
// The bare Win32 work that the program's load and reassignment cannot do
// with less; the benchmark times it as the floor of its figures. Each
// returns false if a call failed: a failed call would make a floor cheaper.

#include <string>
#include <vector>

#include "generated_settings.h"

// CopyFileA of `file` to `copy`, then one read of the whole of `file`.
bool CopyAndReadOnce(const std::string& file, const std::string& copy);

// One read of the whole of `file`, then one write of those bytes to `copy`,
// forced to the disk: what a load and a save of the file cannot do with less.
bool ReadOnceWriteAndFlushOnce(const std::string& file, const std::string& copy);

// CreateFileA (CREATE_ALWAYS), one WriteFile, FlushFileBuffers if `flush`,
// CloseHandle.
bool WriteWholeFile(const std::string& path, const std::string& bytes, bool flush);

// The registry calls of a reassignment: ".Current" as the active scheme,
// then each event's .Current value, every key opened and closed on its own.
bool WriteSoundsDirectly(const std::vector<SoundWrite>& writes);
