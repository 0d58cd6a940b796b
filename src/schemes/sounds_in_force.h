#pragma once
// The sounds in force as Belltide last wrote them, or found them at its
// start: the active scheme and each event's value. Whatever the registry
// holds beyond that was changed by someone else (Windows' Sound settings, a
// theme), and Belltide's own writes never count as such a change.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class OutsideChange {
  None,      // the registry holds what was written
  Sounds,    // an event's sound, or the active scheme, was changed
  Silenced,  // ".None" was made the active scheme
};

class SoundsInForce {
 public:
  // Records what the registry holds now: the active scheme, and the value
  // `valueName` (nullptr: the default value) of `keyPath` for each Add.
  static SoundsInForce ReadNow();
  void AddFound(std::string_view keyPath, const char* valueName);

  // Records what was just written.
  void SetActiveScheme(std::string_view scheme) { m_activeScheme = std::string(scheme); }
  void AddWritten(std::string_view keyPath, const char* valueName, std::string_view value);

  // How the registry differs from the record now. A missing value or key
  // counts as an empty one: both mean no sound.
  OutsideChange Compare() const;

  // The active scheme as the registry holds it now; empty when unreadable.
  static std::string ActiveSchemeNow();

 private:
  struct Value {
    std::string keyPath;
    std::optional<std::string> valueName;
    std::optional<std::string> text;  // nullopt: too long to read
  };
  static std::optional<std::string> Read(const Value& value);

  std::optional<std::string> m_activeScheme;
  std::vector<Value> m_values;
};
