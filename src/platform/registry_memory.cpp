#include "platform/registry_memory.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/mbcs.h"
#include "platform/registry.h"

namespace {

constexpr size_t kMaxKeyName = 255;  // as in Windows

// Key and value names compare without regard to case; the order is the one
// Windows enumerates subkeys in.
struct NoCaseLess {
  static std::string Upper(const std::string& s) {
    std::string result = s;
    for (size_t i = 0; i < result.size(); ++i) {
      if (mbcs::IsLeadByte(static_cast<unsigned char>(result[i])))
        ++i;
      else if (result[i] >= 'a' && result[i] <= 'z')
        result[i] = char(result[i] - 'a' + 'A');
    }
    return result;
  }
  bool operator()(const std::string& a, const std::string& b) const { return Upper(a) < Upper(b); }
};

struct Node {
  std::map<std::string, std::unique_ptr<Node>, NoCaseLess> subkeys;
  std::map<std::string, std::string, NoCaseLess> values;
};

Node& Root() {
  static Node root;
  return root;
}

// Splits a key path at its backslashes, stepping over double-byte
// characters; false for an empty or over-long component.
bool SplitPath(const char* path, std::vector<std::string>& parts) {
  std::string part;
  for (const char* p = path;; ++p) {
    if (*p == '\\' || *p == '\0') {
      if (part.empty() || part.size() > kMaxKeyName) return false;
      parts.push_back(part);
      part.clear();
      if (*p == '\0') return true;
    } else {
      part += *p;
      if (mbcs::IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') part += *++p;
    }
  }
}

Node* Find(const char* path, bool create) {
  std::vector<std::string> parts;
  if (!SplitPath(path, parts)) return nullptr;
  Node* node = &Root();
  for (const std::string& part : parts) {
    auto it = node->subkeys.find(part);
    if (it == node->subkeys.end()) {
      if (!create) return nullptr;
      it = node->subkeys.emplace(part, std::make_unique<Node>()).first;
    }
    node = it->second.get();
  }
  return node;
}

Node* AsNode(void* handle) { return static_cast<Node*>(handle); }

// The value `name` of the key at `handle`, as ReadResult tells it: TooLong
// from `limit` bytes on.
RegistryKey::ReadResult FindValue(void* handle, const char* name, std::size_t limit, const std::string*& found) {
  if (!handle) return RegistryKey::ReadResult::Missing;
  const auto& values = AsNode(handle)->values;
  auto it = values.find(name ? name : "");
  if (it == values.end()) return RegistryKey::ReadResult::Missing;
  found = &it->second;
  return found->size() >= limit ? RegistryKey::ReadResult::TooLong : RegistryKey::ReadResult::Ok;
}

}  // namespace

void memory_registry::Clear() {
  Root().subkeys.clear();
  Root().values.clear();
}

RegistryKey RegistryKey::OpenForRead(const char* path) { return RegistryKey(Find(path, false)); }
RegistryKey RegistryKey::OpenForWrite(const char* path) { return RegistryKey(Find(path, false)); }
RegistryKey RegistryKey::Create(const char* path) { return RegistryKey(Find(path, true)); }

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  m_handle = other.m_handle;
  other.m_handle = nullptr;
  return *this;
}

RegistryKey::~RegistryKey() { Close(); }

void RegistryKey::Close() { m_handle = nullptr; }

bool RegistryKey::EnumSubKey(int index, CString& name) const {
  if (!m_handle) return false;
  const auto& subkeys = AsNode(m_handle)->subkeys;
  if (index < 0 || static_cast<size_t>(index) >= subkeys.size()) return false;
  auto it = subkeys.begin();
  std::advance(it, index);
  if (it->first.size() >= kBufferSize) return false;  // the buffer is too small
  name = CString(it->first);
  return true;
}

RegistryKey::ReadResult RegistryKey::QueryString(const char* name, CString& value) const {
  value.Empty();
  const std::string* found = nullptr;
  const ReadResult result = FindValue(m_handle, name, kBufferSize, found);
  if (result == ReadResult::Ok) value = CString(*found);
  return result;
}

RegistryKey::ReadResult RegistryKey::QueryText(const char* name, std::string& value) const {
  value.clear();
  const std::string* found = nullptr;
  const ReadResult result = FindValue(m_handle, name, kMostTextBytes, found);
  if (result == ReadResult::Ok) value = *found;
  return result;
}

// Values here are text of the code page already, and no file has a short path.
RegistryKey::ReadResult RegistryKey::QueryPath(CString& path) const { return QueryString(nullptr, path); }

bool RegistryKey::SetString(const char* name, const char* value) const {
  if (!m_handle) return false;
  AsNode(m_handle)->values[name ? name : ""] = value;
  return true;
}
