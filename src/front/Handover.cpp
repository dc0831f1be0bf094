#include "front/Handover.h"

#include "front/SystemError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#ifndef SPURWERK_LIBDIR_FROM_BINDIR
#define SPURWERK_LIBDIR_FROM_BINDIR "../lib/spurwerk"
#endif

namespace front {

namespace {

bool IsFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

} // namespace

bool Write(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(std::size_t(n));
    }
    return true;
}

std::string PartnerProgram(const char* name) {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    std::string directory(self, std::size_t(n));
    directory.erase(directory.rfind('/') + 1);
    const std::string beside = directory + name;
    if (IsFile(beside)) return beside;
    const std::string installed = directory + SPURWERK_LIBDIR_FROM_BINDIR + "/" + name;
    return IsFile(installed) ? installed : beside;
}

int HandOver(const char* name, char** argv) {
    const std::string program = PartnerProgram(name);
    if (!program.empty()) ::execv(program.c_str(), argv);
    const int error = program.empty() ? ENOENT : errno;
    const std::string_view what = std::string_view(name) == WindowProgramName
                                      ? "das Programmfenster "
                                      : "das Befehlsprogramm ";
    Write(STDERR_FILENO, "spurwerk: " + std::string(what) + (program.empty() ? name : program) +
                             " lässt sich nicht starten: " + SystemErrorText(error) + "\n");
    return 1;
}

bool DisplayAvailable(bool platformGiven) {
    return platformGiven || Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM");
}

} // namespace front
