#include "persistence/ProgramConfig.h"

#include "persistence/EINIRegistryError.h"
#include "persistence/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>
#include <algorithm>
#include <stdexcept>

namespace {

const QString kSubject = QStringLiteral("Die Konfigurationsdatei");

void checkName(const QString& name) {
    if (!ProgramConfig::UsableName(name))
        throw std::invalid_argument("unusable configuration name: " + name.toStdString());
}

QString escaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString unescaped(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text[++i];
        if (next == u'n')
            out += u'\n';
        else if (next == u'r')
            out += u'\r';
        else if (next == u'\\')
            out += u'\\';
        else
            out += QStringView(text).mid(i - 1, 2); // not ours: kept as it stands
    }
    return out;
}

} // namespace

bool ProgramConfig::UsableName(const QString& name) {
    return !name.isEmpty() && name.trimmed() == name &&
           std::none_of(name.begin(), name.end(), [](QChar c) {
               return c == u'=' || c == u'[' || c == u']' || c == u'\n' || c == u'\r';
           });
}

QString ProgramConfig::DefaultPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("spurwerk.conf"));
}

ProgramConfig::ProgramConfig(QString path) : path_(std::move(path)) {
    load();
}

void ProgramConfig::load() {
    const QFileInfo info(path_);
    if (!info.exists() && !info.isSymLink()) return;
    const QString shown = QDir::toNativeSeparators(path_);
    try {
        const QByteArray bytes = fileaccess::ReadRegularFile(
            path_, kSubject, MaxFileSize,
            QStringLiteral("%1 %2 ist größer als %3 KiB und wird nicht gelesen.")
                .arg(kSubject, shown)
                .arg(MaxFileSize / 1024));
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decode(bytes);
        if (decode.hasError() || text.contains(QChar(0)))
            throw EFileError(QStringLiteral("%1 %2 ist keine Textdatei.").arg(kSubject, shown));
        Sections read;
        int lineNumber = 0;
        for (QStringView line : QStringView(text).split(u'\n')) {
            ++lineNumber;
            if (line.endsWith(u'\r')) line.chop(1);
            const QStringView trimmed = line.trimmed();
            if (trimmed.isEmpty() || trimmed.startsWith(u'#') || trimmed.startsWith(u';')) continue;
            if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
                const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed().toString();
                const auto known = std::find_if(read.begin(), read.end(),
                                                [&](const Section& s) { return s.name == name; });
                if (known == read.end())
                    read.push_back({name, {}});
                else
                    std::rotate(known, known + 1, read.end()); // later lines go to it
                continue;
            }
            const qsizetype equals = line.indexOf(u'=');
            if (equals <= 0 || read.empty())
                throw EFileError(QStringLiteral("%1 %2 ist beschädigt (Zeile %3).")
                                     .arg(kSubject, shown)
                                     .arg(lineNumber));
            const QString key = line.left(equals).trimmed().toString();
            const QString value = unescaped(line.mid(equals + 1));
            Entries& entries = read.back().entries;
            const auto same = std::find_if(entries.begin(), entries.end(),
                                           [&](const auto& e) { return e.first == key; });
            if (same != entries.end())
                same->second = value;
            else
                entries.emplace_back(key, value);
        }
        std::erase_if(read, [](const Section& s) { return s.entries.empty(); });
        sections_ = std::move(read);
    } catch (const EFileError& error) {
        loadError_ = error.Message();
        setAsidePending_ = true;
    }
}

std::optional<QString> ProgramConfig::Value(const QString& group, const QString& key) const {
    for (const auto& [name, value] : Group(group))
        if (name == key) return value;
    return std::nullopt;
}

ProgramConfig::Entries ProgramConfig::Group(const QString& group) const {
    for (const Section& s : sections_)
        if (s.name == group) return s.entries;
    return {};
}

void ProgramConfig::SetValue(const QString& group, const QString& key, const QString& value) {
    checkName(group);
    checkName(key);
    Entries entries = Group(group);
    const auto same =
        std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.first == key; });
    if (same != entries.end())
        same->second = value;
    else
        entries.emplace_back(key, value);
    SetGroup(group, entries);
}

void ProgramConfig::SetGroup(const QString& group, const Entries& entries) {
    checkName(group);
    for (const auto& entry : entries)
        checkName(entry.first);
    Sections changed = sections_;
    const auto at = std::find_if(changed.begin(), changed.end(),
                                 [&](const Section& s) { return s.name == group; });
    if (entries.empty()) {
        if (at == changed.end()) return;
        changed.erase(at);
    } else if (at == changed.end()) {
        changed.push_back({group, entries});
    } else {
        if (at->entries == entries) return;
        at->entries = entries;
    }
    store(std::move(changed));
}

void ProgramConfig::store(Sections changed) {
    QString text = QStringLiteral("# Spurwerk: Einstellungen der Erweiterungen\n");
    for (const Section& s : changed) {
        text += QStringLiteral("\n[") + s.name + QStringLiteral("]\n");
        for (const auto& [key, value] : s.entries)
            text += key + u'=' + escaped(value) + u'\n';
    }
    const QString shown = QDir::toNativeSeparators(path_);
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        throw EFileError(QStringLiteral("%1 %2 kann nicht geschrieben werden: der Ordner lässt "
                                        "sich nicht anlegen.")
                             .arg(kSubject, shown));
    if (setAsidePending_) {
        // The unreadable file may hold what the user wants back: keep it.
        const QString aside = path_ + QStringLiteral(".defekt");
        QFile::remove(aside);
        if (!QFile::rename(path_, aside) && QFileInfo(path_).exists())
            throw EFileError(QStringLiteral("%1 %2 ist unbrauchbar und lässt sich nicht nach %3 "
                                            "verschieben.")
                                 .arg(kSubject, shown, QDir::toNativeSeparators(aside)));
        setAsidePending_ = false;
    }
    fileaccess::WriteRegularFile(path_, kSubject, text.toUtf8());
    sections_ = std::move(changed);
}
