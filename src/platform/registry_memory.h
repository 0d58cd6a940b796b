#pragma once
// Control of the in-memory registry backend, for tests.

namespace memory_registry {

// Removes every key and value. No RegistryKey may be open.
void Clear();

}  // namespace memory_registry
