// One registry store on disk (the keys under one root), shared by every TKV process of the
// user. Reads use a cached tree, refreshed when the file was replaced since it was read.
// A change is made under an exclusive flock on a lock file beside it: the file is read
// again, the change applied to a copy of the tree, and the result written to a temporary
// file in the same folder, synced and renamed over the store, so two processes never lose
// each other's keys and a crash never leaves a torn file. A file that cannot be parsed is
// reported once on stderr, renamed aside as "<name>.damaged-<time>" and the store starts
// empty; if it cannot be renamed, the store reads as empty and refuses changes
// (ERROR_REGISTRY_CORRUPT) rather than overwrite what may still be recovered by hand.
// Threading: not thread-safe; the Registry serialises every call.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>

#include "platform/registry/RegistryKey.h"

class RegistryFile {
public:
    // Change to the tree; sets *modified when there is something to write. Its result is
    // Update's result; nothing is written unless it returns ERROR_SUCCESS.
    using Change = std::function<LONG(RegistryKey& root, bool* modified)>;

    // The store `folder`/`name`.reg, locked through `folder`/`name`.lock.
    RegistryFile(std::string folder, const std::string& name);
    ~RegistryFile();
    RegistryFile(const RegistryFile&) = delete;
    RegistryFile& operator=(const RegistryFile&) = delete;

    // The newest committed tree; an unreadable store reads as empty.
    const RegistryKey& Current();
    LONG Update(const Change& change);

    const std::string& Path() const { return m_path; }

private:
    LONG Refresh(bool locked);
    LONG Load(bool locked, bool* retry);
    void SetAside(int fd, const std::string& problem, bool locked);
    LONG Commit(RegistryKey root);
    int Lock();
    void Forget();

    std::string m_folder;
    std::string m_name;
    std::string m_path;
    std::string m_lock_path;
    RegistryKey m_root;
    int m_fd = -1;           // the file m_root came from, kept open so that its inode is not reused
    struct stat m_stat {};   // of m_fd when it was read
    bool m_damaged = false;  // m_fd is a damaged file that could not be set aside
};
