#include "sigrok/RegularFile.h"

#include "front/SystemError.h"
#include "sigrok/SigrokError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sigrok {

FileHandle::~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
}

FileHandle OpenRegularFile(const std::string& path, const std::string& name) {
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) throw Error(name + " kann nicht gelesen werden: " + SystemErrorText(errno));
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw Error(name + " ist keine gewöhnliche Datei.");
    return file;
}

} // namespace sigrok
