#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <sys/mount.h>

// A tmpfs of a few KiB mounted on a folder of its own while it lives: a disk
// that really fills up. Mounting needs root (or a mount namespace); where it
// is refused, Mounted() is false and the test skips.
class SmallDisk {
  public:
    explicit SmallDisk(int kib) {
        const QByteArray options = "size=" + QByteArray::number(kib) + "k";
        mounted_ =
            folder_.isValid() && ::mount("tmpfs", QFile::encodeName(folder_.path()).constData(),
                                         "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    QString FilePath(const QString& name) const { return folder_.filePath(name); }
    // Every name in the folder, hidden ones included.
    QStringList Entries() const {
        return QDir(folder_.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

  private:
    QTemporaryDir folder_;
    bool mounted_ = false;
};
