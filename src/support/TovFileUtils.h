#pragma once

#include <QString>
#include <optional>

// Well-known directories of the system and of the program, a search for a
// file in them, and loading a shared library from them. On Linux the
// counterpart of the Windows directory is /usr/local/lib and that of the
// system directory the multiarch library directory (/usr/lib/<triplet>).
class TovFileUtils {
  public:
    enum DirectoryKind {
        WindowsDir = 0,   // /usr/local/lib
        SystemDir = 1,    // the system library directory
        PrgSystemDir = 2, // current directory + "/system"
        CurrentDir = 3,   // current directory
        UtilitiesDir = 4, // "UtilitiesDirectory" of the system-wide settings
    };

    TovFileUtils() = default;
    ~TovFileUtils();
    TovFileUtils(const TovFileUtils&) = delete;
    TovFileUtils& operator=(const TovFileUtils&) = delete;

    // Computed on first read, then kept; a preset value wins.
    QString Path_CurrWindows();
    QString Path_CurrWinSystem();
    QString Path_CurrPrgSystem();
    void SetPath_CurrPrgSystem(const QString& path);
    QString Path_CurrProgram();
    void SetPath_CurrProgram(const QString& path);

    // The library loaded last by LoadDLL, or null. This object owns it.
    void* FileHandle() const { return fileHandle_; }

    // Computed afresh on every call; empty for an unknown kind.
    static QString GetDirectory(int kind);
    // Tries the current, "Windows", system, program-system and utilities
    // directories in this order; the first existing file wins.
    static std::optional<QString> FindFile(const QString& name);
    // Loads the library from Path_CurrProgram, Path_CurrWindows,
    // Path_CurrWinSystem, then Path_CurrPrgSystem; keeps and returns the first
    // handle (null when all fail). A library loaded before is released first.
    void* LoadDLL(const QString& name);
    void FreeDLL();

    // One "/" between directory and name, none when the directory ends with
    // one; an absolute name stands for itself.
    static QString JoinPath(const QString& directory, const QString& name);

  private:
    std::optional<QString> windows_;
    std::optional<QString> winSystem_;
    std::optional<QString> prgSystem_;
    std::optional<QString> program_;
    void* fileHandle_ = nullptr;
};
