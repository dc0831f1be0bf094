#pragma once

#include <cstddef>
#include <string>

namespace sigrok {

// A new file written beside its target under a temporary name
// (".NAME.XXXXXX"); Commit makes it durable and renames it over the target.
// A target that is a symbolic link is written through: the file it points to
// is replaced, the link stays. Destroyed without a commit, it removes the
// temporary file and any that a writer opening it by name made beside it
// (libzip's ".NAME.XXXXXX.XXXXXX"), so a failed write never touches the
// target and leaves nothing behind. Temporaries of the same target left by a
// save that was killed are removed when the next one begins.
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
    // True when the folder the file is written to has (next to) no room
    // left: a writer that failed without saying why ran out of space.
    bool NoSpaceLeft() const;

    // The German reason for a system error, the full disk said plainly.
    static std::string Reason(int error);

  private:
    [[noreturn]] void Fail(const std::string& what, int error) const;

    std::string target_;  // as given, for messages
    std::string written_; // the file replaced: the target, or where its links lead
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
};

} // namespace sigrok
