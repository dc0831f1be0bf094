#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

// Whole-file reads and writes for tests that check what landed on disk.

// The file's bytes, or "<missing>" when it cannot be opened.
inline QByteArray ReadTestFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Writes bytes as the file's whole content; a failed open or a short write fails the test.
inline void WriteTestFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size()) << path.toStdString();
}
