#pragma once
// The registry keys the benchmark's reassignments write, read back and
// removed between cases so that each case starts alike.

#include <string>

#include "generated_settings.h"

bool AppEventsExists();

// Removes the application keys of `settings`, and the whole
// HKEY_CURRENT_USER\AppEvents tree too if `wholeTree` (when the run began
// without one, as in a fresh test prefix).
void ForgetSoundKeys(const GeneratedSettings& settings, bool wholeTree);

// The default value of a key under HKEY_CURRENT_USER; empty if none.
std::string ReadSound(const std::string& keyPath);
// Empties it, if the key exists.
void ClearSound(const std::string& keyPath);
