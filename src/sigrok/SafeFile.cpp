#include "sigrok/SafeFile.h"

#include "front/SystemError.h"
#include "sigrok/SigrokError.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace sigrok {

namespace {

namespace fs = std::filesystem;

// The file a path names after following its symbolic links (as a write
// through it would), whether or not that file exists yet.
std::string Resolved(const std::string& path) {
    fs::path at(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(at, error))) return at.string();
        const fs::path next = fs::read_symlink(at, error);
        if (error) return at.string();
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    throw Error("Die Datei " + path + " kann nicht geschrieben werden: " + SafeFile::Reason(ELOOP));
}

fs::path Folder(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

bool IsRandomPart(std::string_view text) {
    if (text.size() != 6) return false;
    for (const char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

// ".NAME.XXXXXX" (ours) or ".NAME.XXXXXX.XXXXXX" (libzip's beside ours).
bool IsTemporaryOf(std::string_view entry, const std::string& name) {
    const std::string prefix = "." + name + ".";
    if (entry.substr(0, prefix.size()) != prefix) return false;
    entry.remove_prefix(prefix.size());
    if (entry.size() == 6) return IsRandomPart(entry);
    return entry.size() == 13 && entry[6] == '.' && IsRandomPart(entry.substr(0, 6)) &&
           IsRandomPart(entry.substr(7));
}

// Removes the regular files in `folder` that `matches` names.
template <class Match> void RemoveFiles(const fs::path& folder, const Match& matches) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!matches(std::string_view(entry->d_name))) continue;
        const fs::path file = folder / entry->d_name;
        struct stat info {};
        if (::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode)) ::unlink(file.c_str());
    }
    ::closedir(dir);
}

} // namespace

std::string SafeFile::Reason(int error) {
    if (error == ENOSPC || error == EDQUOT) return "der Datenträger ist voll";
    return SystemErrorText(error);
}

SafeFile::SafeFile(std::string target) : target_(std::move(target)), written_(Resolved(target_)) {
    const fs::path path(written_);
    const fs::path dir = Folder(path);
    // A save killed before its rename left its temporaries: this save of
    // the same file takes their place.
    const std::string name = path.filename().string();
    RemoveFiles(dir, [&name](std::string_view entry) { return IsTemporaryOf(entry, name); });
    temp_ = (dir / ("." + name + ".XXXXXX")).string();
    fd_ = mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) Fail("kann nicht angelegt werden", errno);
    // mkstemp gives 0600; a replaced file keeps its mode, a new one gets the
    // usual mode of a document.
    struct stat old {};
    const mode_t mode = ::stat(written_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ::fchmod(fd_, mode);
}

SafeFile::~SafeFile() {
    CloseHandle();
    if (committed_) return;
    ::unlink(temp_.c_str());
    const fs::path temp(temp_);
    const std::string derived = temp.filename().string() + ".";
    RemoveFiles(Folder(temp), [&derived](std::string_view entry) {
        return entry.substr(0, derived.size()) == derived &&
               IsRandomPart(entry.substr(derived.size()));
    });
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
    if (::rename(temp_.c_str(), written_.c_str()) != 0) Fail("kann nicht ersetzt werden", errno);
    committed_ = true;
}

bool SafeFile::NoSpaceLeft() const {
    struct statvfs disk {};
    if (::statvfs(Folder(fs::path(temp_)).c_str(), &disk) != 0) return false;
    // Less than a few blocks: what a buffered writer needs to go on.
    return disk.f_bavail < 16 || disk.f_favail == 0;
}

void SafeFile::Fail(const std::string& what, int error) const {
    throw Error("Die Datei " + target_ + " " + what + ": " + Reason(error));
}

} // namespace sigrok
