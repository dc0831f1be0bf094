#pragma once

#include <QString>

class QObject;
class Desktop;

// Context numbers of the help file: a menu item or widget carries its number
// as a property; the help file has an anchor "ctx" + number for each.
namespace help {

// The context the "Hilfe" command opens: the start page.
constexpr int kMainContext = 11;

void SetHelpContext(QObject& object, int context);
// 0 when the object carries no context.
int HelpContextOf(const QObject& object);

// The anchor of a context in the help file, e.g. "ctx42".
QString AnchorOf(int context);

// The help file beside the program (programDir is the program's directory),
// or in the installed help folder when it is not beside it.
QString HelpFilePath(const QString& programDir);

// The start-up check: reports a missing help file to the user and returns
// the file's path either way, for the help hook.
QString CheckHelpFile(Desktop& desktop, const QString& programDir);

} // namespace help
