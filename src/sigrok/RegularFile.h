#pragma once

#include <string>

namespace sigrok {

// An open descriptor with one owner; closed when it goes.
class FileHandle {
  public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle& operator=(FileHandle&&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

// Opens PATH for reading without blocking on a FIFO or device, and refuses
// anything that is not a regular file. NAME starts the error messages.
FileHandle OpenRegularFile(const std::string& path, const std::string& name);

} // namespace sigrok
