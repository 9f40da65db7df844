// What platform code (not registry users) needs: where the stores live, and the initial
// registrations written when the registry is first used.
//
// The stores live in one folder: $TKV_REGISTRY_DIR when set, else $XDG_DATA_HOME/tkv/registry,
// else ~/.local/share/tkv/registry; files HKEY_LOCAL_MACHINE.reg and HKEY_CURRENT_USER.reg
// (HKEY_CLASSES_ROOT lives inside the first), each with a .lock file beside it.
//
// First-use hooks: a service that must find its registrations in place (the media
// framework's stock filters, for instance) registers a hook at start-up, before anything
// reads the registry; the hooks run once, in the order registered, on the thread of the
// first Reg* call of the process (others wait), and may call the Reg* functions. A hook
// registered after that first call runs at once. Pointing the registry at another folder
// makes the hooks run again on the next Reg* call, so each folder gets its registrations.
// Hooks should write their keys unconditionally (they are cheap when nothing changes).
// Threading: any thread; changing the folder while other threads use the registry is not.
#pragma once

#include <functional>
#include <string>

void RegisterFirstUseHook(std::function<void()> hook);

// Uses `folder` for the stores from now on ("" returns to the default above). Open handles
// keep naming their paths, now in the new folder. Meant for tests and tools.
void RegistrySetFolder(const std::string& folder);

// The folder in use (resolved from the environment on first need).
std::string RegistryFolder();
