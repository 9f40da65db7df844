// A file written under a temporary name beside its target, then renamed over the target in
// one step. Destroying it without Commit removes the temporary file, so a failure leaves
// whatever was at the target untouched. A target that is a symbolic link stays one: the file
// it points to is the one replaced. A target the user may not write (or that is read-only)
// is refused with EACCES rather than replaced. One thread at a time.
#pragma once

#include <string>

class TemporaryOutputFile {
public:
    explicit TemporaryOutputFile(std::string target);
    ~TemporaryOutputFile();
    TemporaryOutputFile(const TemporaryOutputFile&) = delete;
    TemporaryOutputFile& operator=(const TemporaryOutputFile&) = delete;

    bool Reserve();  // makes the empty temporary file; Path() names it
    bool Commit();   // gives it the usual permissions and renames it over the target
    const std::string& Path() const { return m_path; }
    int Error() const { return m_error; }  // errno of the last failure

private:
    std::string m_target;  // with its symbolic links followed
    std::string m_path;
    int m_error = 0;
};
