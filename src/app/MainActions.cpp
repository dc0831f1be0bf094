#include "MainActions.h"

#include <QAction>
#include <QMenuBar>
#include <stdexcept>

void MainActions::ForEach(const std::function<void(const QString&, QAction*&)>& f) {
#define SPURWERK_MENU_VISIT(name) f(QStringLiteral(#name), name);
    SPURWERK_MENU_ITEMS(SPURWERK_MENU_VISIT)
#undef SPURWERK_MENU_VISIT
    for (int n = 0; n < 32; ++n) {
        f(QStringLiteral("Bit%1").arg(n + 1), Bit[n]);
        f(QStringLiteral("BitText%1").arg(n + 1), BitText[n]);
    }
    for (int n = 0; n < 16; ++n)
        f(BitColourItemName(n), Bitfarbe[n]);
    for (int n = 0; n < 8; ++n)
        f(QStringLiteral("PortAuswahl%1").arg(n + 1), PortAuswahl[n]);
}

QString BitColourItemName(int n) {
    return n == 0 ? QStringLiteral("Bitfarbe01") : QStringLiteral("Bitfarbe%1").arg(n + 1) + QLatin1Char('1');
}

MainActions FindMainActions(QMenuBar* bar) {
    MainActions actions;
    actions.ForEach([bar](const QString& name, QAction*& member) {
        member = bar->findChild<QAction*>(name);
        if (!member)
            throw std::logic_error("Der Menüpunkt " + name.toStdString() + " fehlt im Menü.");
    });
    return actions;
}
