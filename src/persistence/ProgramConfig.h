#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

// The program's own settings: what the capabilities beyond the display options
// remember (the sigrok device and its rate, the decoder stacks, buses, ...).
// Spurwerk.ini keeps the display options alone; this file lives in the user's
// configuration folder and is written whenever one of its values changes.
//
// The file is UTF-8 text: "[group]" lines, each followed by "key=value" lines;
// a backslash, a line feed and a carriage return in a value are written as
// "\\", "\n" and "\r". Lines starting with "#" or ";" are comments.
class ProgramConfig {
  public:
    using Entries = std::vector<std::pair<QString, QString>>;

    // Larger files are not read: the program's own stays far below.
    static constexpr qint64 MaxFileSize = 1024 * 1024;

    // spurwerk.conf in QStandardPaths::AppConfigLocation.
    static QString DefaultPath();

    // Reads the file at `path`. A missing file is an empty configuration. One
    // that cannot be read or is not such a file (too large, not a regular
    // file, not text, a line that is neither group, value nor comment) counts
    // as empty too, and LoadError() says why; before the first write it is set
    // aside as "<path>.defekt" instead of being overwritten unseen.
    explicit ProgramConfig(QString path);

    const QString& Path() const { return path_; }
    // Why the file could not be used, in German; empty when it could.
    const QString& LoadError() const { return loadError_; }

    std::optional<QString> Value(const QString& group, const QString& key) const;
    // The group's values in the order they were written; empty when there is none.
    Entries Group(const QString& group) const;

    // Both raise EFileError when the file cannot be written; the file and the
    // values kept here then stay as they were. A group or key name that is
    // empty, has blanks at its ends or holds "=", "[", "]" or a line break
    // raises std::invalid_argument.

    // False for the names the two setters refuse.
    static bool UsableName(const QString& name);

    // Sets one value; the file is written when the value changed.
    void SetValue(const QString& group, const QString& key, const QString& value);
    // Replaces all values of a group (no entries: the group goes); the file is
    // written when anything changed.
    void SetGroup(const QString& group, const Entries& entries);

  private:
    struct Section {
        QString name;
        Entries entries;
    };
    using Sections = std::vector<Section>;

    void load();
    void store(Sections changed);

    QString path_;
    QString loadError_;
    bool setAsidePending_ = false;
    Sections sections_;
};
