#include "schemes/sounds_in_force.h"

#include <utility>

#include "platform/cstring.h"
#include "platform/registry.h"
#include "store/app_events.h"

namespace {

bool IsNoSoundScheme(std::string_view scheme) { return CString(scheme).EqualsNoCase(app_events::kNoSoundScheme); }

}  // namespace

std::string SoundsInForce::ActiveSchemeNow() {
  std::string scheme;
  RegistryKey::OpenForRead(app_events::kSchemesKey).QueryText(nullptr, scheme);
  return scheme;
}

std::optional<std::string> SoundsInForce::Read(const Value& value) {
  std::string text;
  RegistryKey key = RegistryKey::OpenForRead(value.keyPath.c_str());
  if (key.QueryText(value.valueName ? value.valueName->c_str() : nullptr, text) == RegistryKey::ReadResult::TooLong)
    return std::nullopt;
  return text;
}

SoundsInForce SoundsInForce::ReadNow() {
  SoundsInForce found;
  found.m_activeScheme = ActiveSchemeNow();
  return found;
}

void SoundsInForce::AddFound(std::string_view keyPath, const char* valueName) {
  Value value{std::string(keyPath), valueName ? std::optional<std::string>(valueName) : std::nullopt, std::nullopt};
  value.text = Read(value);
  m_values.push_back(std::move(value));
}

void SoundsInForce::AddWritten(std::string_view keyPath, const char* valueName, std::string_view text) {
  m_values.push_back(
      {std::string(keyPath), valueName ? std::optional<std::string>(valueName) : std::nullopt, std::string(text)});
}

OutsideChange SoundsInForce::Compare() const {
  const std::string active = ActiveSchemeNow();
  if (m_activeScheme && active != *m_activeScheme)
    return IsNoSoundScheme(active) ? OutsideChange::Silenced : OutsideChange::Sounds;
  for (const Value& value : m_values)
    if (Read(value) != value.text) return OutsideChange::Sounds;
  return OutsideChange::None;
}
