#include "sigrok/SafeFile.h"

#include "sigrok/SigrokError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace sigrok {

SafeFile::SafeFile(std::string target) : target_(std::move(target)) {
    const std::filesystem::path path(target_);
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : ".";
    temp_ = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    fd_ = mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) Fail("kann nicht angelegt werden", errno);
    // mkstemp gives 0600; a replaced file keeps its mode, a new one gets the
    // usual mode of a document.
    struct stat old {};
    const mode_t mode = ::stat(target_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ::fchmod(fd_, mode);
}

SafeFile::~SafeFile() {
    CloseHandle();
    if (!committed_) ::unlink(temp_.c_str());
}

void SafeFile::CloseHandle() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void SafeFile::Write(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail("kann nicht geschrieben werden", n < 0 ? errno : ENOSPC);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void SafeFile::Commit() {
    if (fd_ < 0) {
        // Written by name (libzip): reopen to make the content durable.
        fd_ = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) Fail("wurde nicht geschrieben", errno);
    }
    if (::fsync(fd_) != 0) Fail("kann nicht geschrieben werden", errno);
    CloseHandle();
    if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail("kann nicht ersetzt werden", errno);
    committed_ = true;
}

void SafeFile::Fail(const std::string& what, int error) const {
    throw Error("Die Datei " + target_ + " " + what + ": " + std::strerror(error));
}

} // namespace sigrok
