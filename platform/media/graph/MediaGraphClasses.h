// Makes the graph's classes creatable with CoCreateInstance: the filter graph
// (CLSID_FilterGraph and CLSID_FilterGraphNoThread), the filter mappers (CLSID_FilterMapper2,
// CLSID_FilterMapper) and the system clock (CLSID_SystemClock).
// Order of use: once at start-up, before the first of them is created; calling it again is
// harmless. These classes need no registry entries of their own.
// Threading: any thread.
#pragma once

void RegisterMediaGraphClasses();
