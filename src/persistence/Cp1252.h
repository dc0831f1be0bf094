#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Texts stored in the program's files are 8-bit Windows Western (code page
// 1252) strings, so that files move between this program and the Windows one
// unchanged. Characters that the code page cannot hold become '?'.
namespace cp1252 {
QByteArray encode(const QString& text);
QString decode(QByteArrayView bytes);
} // namespace cp1252
