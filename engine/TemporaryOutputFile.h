// A file written under a temporary name beside its target, then renamed over the target in
// one step. Destroying it without Commit removes the temporary file, so a failure leaves
// whatever was at the target untouched. One thread at a time.
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
    std::string m_target;
    std::string m_path;
    int m_error = 0;
};
