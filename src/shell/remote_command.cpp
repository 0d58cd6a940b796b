#include "shell/remote_command.h"

#include "platform/stored_path_win32.h"

namespace {

// dwData of our WM_COPYDATA: other programs' data is not ours to read.
constexpr ULONG_PTR kCommandData = 0x42544443;  // "BTDC"
// A command name, a folder path, each ended by a NUL: far below this.
constexpr DWORD kMostBytes = 2 * (16 + 32768);

struct Name {
  const wchar_t* text;
  RemoteCommand command;
};
constexpr Name kNames[] = {
    {L"change", RemoteCommand::Change}, {L"silent", RemoteCommand::Silent}, {L"settings", RemoteCommand::Settings},
    {L"exit", RemoteCommand::Exit},     {L"logon", RemoteCommand::Logon},   {L"?", RemoteCommand::Help},
    {L"help", RemoteCommand::Help}};

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

RemoteCommand Named(const std::wstring& name) {
  for (const Name& known : kNames)
    if (EqualNoCase(name, known.text)) return known.command;
  return RemoteCommand::Unknown;
}

const wchar_t* NameOf(RemoteCommand command) {
  for (const Name& known : kNames)
    if (known.command == command) return known.text;
  return L"";
}

}  // namespace

RemoteCommand ParseSwitch(const std::vector<std::wstring>& arguments) {
  if (arguments.empty()) return RemoteCommand::None;
  const std::wstring& word = arguments[0];
  if (arguments.size() > 1 || word.size() < 2 || (word[0] != L'/' && word[0] != L'-')) return RemoteCommand::Unknown;
  return Named(word.substr(1));
}

COPYDATASTRUCT EncodeRemoteCommand(RemoteCommand command, const std::wstring& folder, std::vector<wchar_t>& buffer) {
  std::wstring text = std::wstring(NameOf(command)) + L'\0' + folder + L'\0';
  buffer.assign(text.begin(), text.end());
  return {kCommandData, static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), buffer.data()};
}

RemoteCommand DecodeRemoteCommand(const COPYDATASTRUCT& data, const std::wstring& folder) {
  if (data.dwData != kCommandData || !data.lpData || data.cbData % sizeof(wchar_t) != 0 ||
      data.cbData < 2 * sizeof(wchar_t) || data.cbData > kMostBytes)
    return RemoteCommand::None;
  const wchar_t* text = static_cast<const wchar_t*>(data.lpData);
  size_t length = data.cbData / sizeof(wchar_t);
  if (text[length - 1] != L'\0') return RemoteCommand::None;
  std::wstring name(text);  // ends at the first NUL, at the last unit at the latest
  if (name.size() + 1 >= length) return RemoteCommand::None;
  std::wstring target(text + name.size() + 1);
  if (name.size() + 1 + target.size() + 1 != length || !SamePath(target, folder)) return RemoteCommand::None;
  RemoteCommand command = Named(name);
  return command == RemoteCommand::Help || command == RemoteCommand::Unknown ? RemoteCommand::None : command;
}
