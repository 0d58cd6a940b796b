#include "platform/registry_memory.h"
#include "registry_sandbox.h"

void ClearTestKeys() { memory_registry::Clear(); }
