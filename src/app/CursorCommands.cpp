#include "CursorCommands.h"

#include "TMain1.h"
#include "display/CursorPair.h"
#include "display/TTrazor.h"

#include <QLabel>

CursorCommands::CursorCommands(TMain1& main) : QObject(&main), main_(main) {}

void CursorCommands::Connect() {
    TTrazor& t = main_.Trazor1();
    connect(&t, &TTrazor::cursorsChanged, this,
            [this] { main_.RunGuarded([this] { ShowCursors(); }); });
    // A new recording or file brings its own time base.
    connect(&t, &TTrazor::pictureChanged, this,
            [this] { main_.RunGuarded([this] { ShowCursors(); }); });
    main_.OnAction(main_.Actions().CursorSetzen1, [this] { main_.Trazor1().PlaceCursorsInView(); });
    main_.OnAction(main_.Actions().CursorEntfernen1, [this] { main_.Trazor1().ClearCursors(); });
}

void CursorCommands::ShowCursors() {
    const TTrazor& t = main_.Trazor1();
    QLabel* panel = main_.Ui().PanelCursors;
    if (!t.Cursors().any()) {
        panel->clear();
        panel->hide();
        return;
    }
    const QString text = QStringLiteral(" ") + trazor::cursorReadout(t.Cursors(), t.GetTimeBase());
    if (panel->text() != text) panel->setText(text);
    panel->show();
}
