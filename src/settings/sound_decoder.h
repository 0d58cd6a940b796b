#pragma once
// Sound files of any format Windows decodes, as 16-bit PCM of at most two
// channels and ten seconds (schemes/pcm_sound.h).

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "schemes/pcm_sound.h"

// What a decoder returns when Windows has no Media Foundation.
constexpr HRESULT kNoMediaFoundation = HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);

// Decodes the file at `path` into `sound`: S_OK, or why not; E_ABORT once
// `cancel` is set. Called on a worker thread.
using SoundDecoder = std::function<HRESULT(const std::wstring& path, const std::atomic<bool>& cancel, PcmSound& sound)>;

// Through Media Foundation's source reader: the file's first audio stream,
// at its own rate.
HRESULT DecodeWithMediaFoundation(const std::wstring& path, const std::atomic<bool>& cancel, PcmSound& sound);
