#pragma once

#include "persistence/IniRegistryList.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

// A small hierarchical key/value store kept in memory and saved as one binary
// file (extension ".ini", though not a text INI file). Paths use backslashes.
// Saving keeps the previous file as ".~ni"; loading sets a file with a wrong
// header (or one above MaxFileSize) aside as "Defekt.~ni" and falls back to
// the backup.
class TIniRegistry {
  public:
    // Settings files larger than this are set aside unread; the program's own is about 1 KiB.
    static constexpr qsizetype MaxFileSize = 4 * 1024 * 1024;
    static constexpr std::uint16_t FormatVersion = 0x1000;
    static constexpr std::int32_t HeaderSize = 17;

    TIniRegistry();
    virtual ~TIniRegistry();
    TIniRegistry(const TIniRegistry&) = delete;
    TIniRegistry& operator=(const TIniRegistry&) = delete;

    // Loads Name with its extension replaced by ".ini"; false when no file with
    // a valid header was found (the tree is then unchanged). A file whose
    // contents are damaged raises EFileError or EINIRegistryError and leaves
    // the tree as it was.
    bool LoadFromFile(const QString& name);
    // Writes the tree to Name with ".ini", the previous file becoming ".~ni";
    // without a previous file an old ".~ni" is deleted, and one above
    // MaxFileSize is set aside first. A failing write raises EFileError and
    // leaves the settings file and its backup as they were.
    void SaveToFile(const QString& name);

    bool OpenKey(const QString& path, bool canCreate);
    void CloseKey() { currentKey_ = rootKey_.get(); }

    QString ReadString(const QString& name) const;
    void WriteString(const QString& name, const QString& value);
    std::int32_t ReadInteger(const QString& name) const;
    void WriteInteger(const QString& name, std::int32_t value);
    bool ReadBool(const QString& name) const;
    void WriteBool(const QString& name, bool value);
    long double ReadFloat(const QString& name) const;
    void WriteFloat(const QString& name, long double value);
    QByteArray ReadBinary(const QString& name) const;
    void WriteBinary(const QString& name, const QByteArray& value);

    // Empties the root key.
    void Clear();

    TIniRegistryList& RootKey() { return *rootKey_; }
    const TIniRegistryList& RootKey() const { return *rootKey_; }
    TIniRegistryList* CurrentKey() const { return currentKey_; }

    // The file image of the whole tree, and its counterpart: reads an image
    // into the tree (false when its header does not match). Used by the file
    // routines and usable on bytes alone.
    QByteArray SaveToBytes();
    bool LoadFromBytes(QByteArray image);

    const QString& IniExtension() const { return iniExtension_; }
    const QString& BackupExtension() const { return backupExtension_; }
    const QString& DefectSuffix() const { return defectSuffix_; }

  protected:
    virtual void InitNames();
    // Hooks around the bytes after the header, e.g. for an encoded variant of the store.
    virtual void AfterLoad(char* data, qsizetype length);
    virtual void BeforeSave(char* data, qsizetype length);
    virtual bool CheckHeader(TIniMemoryStream& stream);

    QString iniExtension_;
    QString backupExtension_;
    QString defectSuffix_;
    QByteArray signature_;

  private:
    TIniRegistryList& CurrentOrFail() const;
    std::int32_t ValueIndex(const QString& name) const;
    void WriteValue(const QString& name, std::uint8_t type, const void* data, std::int32_t size);
    // Moves the settings file to the defect name, replacing an older one.
    bool SetAside(const QString& base);
    // A file whose header failed: set it aside and bring the backup in its place.
    bool SetAsideAndRestoreBackup(const QString& base);

    std::unique_ptr<TIniRegistryList> rootKey_;
    TIniRegistryList* currentKey_ = nullptr;
};

// The file name without its extension, as the store builds its three names from it.
QString IniBaseName(const QString& name);
