#pragma once
// One owner for a Windows handle: move-only, closed by its traits, which
// also name the value that means no handle.

#include <windows.h>
#include <shellapi.h>

#include <utility>

template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : m_handle(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return m_handle; }
  explicit operator bool() const { return m_handle != Traits::Invalid(); }
  Handle release() { return std::exchange(m_handle, Traits::Invalid()); }
  void reset(Handle handle = Traits::Invalid()) {
    if (m_handle != Traits::Invalid()) Traits::Close(m_handle);
    m_handle = handle;
  }

 private:
  Handle m_handle = Traits::Invalid();
};

struct MenuTraits {
  using Handle = HMENU;
  static HMENU Invalid() { return nullptr; }
  static void Close(HMENU menu) { DestroyMenu(menu); }
};
using UniqueMenu = UniqueHandle<MenuTraits>;

struct DropTraits {
  using Handle = HDROP;
  static HDROP Invalid() { return nullptr; }
  static void Close(HDROP drop) { DragFinish(drop); }
};
using UniqueDrop = UniqueHandle<DropTraits>;

// Processes, threads, events: kernel objects that CloseHandle closes and
// that a null handle means none of.
struct KernelObjectTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE object) { CloseHandle(object); }
};
using UniqueKernelObject = UniqueHandle<KernelObjectTraits>;

struct RegistryKeyTraits {
  using Handle = HKEY;
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY key) { RegCloseKey(key); }
};
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;

struct FindTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE find) { FindClose(find); }
};
using UniqueFind = UniqueHandle<FindTraits>;

template <class Interface>
struct ComTraits {
  using Handle = Interface*;
  static Interface* Invalid() { return nullptr; }
  static void Close(Interface* object) { object->Release(); }
};
template <class Interface>
using UniqueCom = UniqueHandle<ComTraits<Interface>>;

// Memory the security functions allocate: descriptors, ACLs.
struct LocalMemoryTraits {
  using Handle = HLOCAL;
  static HLOCAL Invalid() { return nullptr; }
  static void Close(HLOCAL memory) { LocalFree(memory); }
};
using UniqueLocal = UniqueHandle<LocalMemoryTraits>;
