#pragma once

#include <cstddef>
#include <string>

namespace sigrok {

// A new file written beside its target under a temporary name; Commit makes
// it durable and renames it over the target. Destroyed without a commit, it
// removes the temporary file, so a failed write never touches the target.
class SafeFile {
  public:
    explicit SafeFile(std::string target);
    ~SafeFile();
    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    const std::string& TempPath() const { return temp_; }
    // Closes the temporary file for writers that open it by name themselves.
    void CloseHandle();
    void Write(const char* data, std::size_t size);
    void Commit();

  private:
    [[noreturn]] void Fail(const std::string& what, int error) const;

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
};

} // namespace sigrok
