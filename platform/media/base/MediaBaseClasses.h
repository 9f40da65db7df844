// Start-up registration of the base classes' own COM classes (the memory allocator,
// CLSID_MemoryAllocator) with the platform's built-in classes. Call once before the first
// CoCreateInstance of them; calling again is harmless.
// Threading: any thread.
#pragma once

void RegisterMediaBaseClasses();
