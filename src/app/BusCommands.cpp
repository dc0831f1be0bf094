#include "BusCommands.h"

#include "BusDialog.h"
#include "BusSettings.h"
#include "TMain1.h"
#include "ViewCommands.h"
#include "display/BusRows.h"
#include "display/TTrazor.h"
#include "display/TrazorCanvas.h"
#include "display/TrazorGeometry.h"

#include "sigrok/SigrokImport.h"
#include <QFontMetrics>

#include <algorithm>

BusCommands::BusCommands(TMain1& main) : QObject(&main), main_(main) {}

namespace {
// The legend under the "t" reaches this far below the axis.
constexpr int kLegend = 46;
// Rotated labels start this far below the axis.
constexpr int kLabelOffset = 10;
constexpr int kGap = 4;
} // namespace

void BusCommands::Connect() {
    main_.Ui().BusRows1->SetBuses(ReadBuses(main_.Config()));
    main_.OnAction(main_.Actions().Busse1, [this] { Busse1Click(); });
    // Another line count or longer axis labels move the rows' place: they
    // follow, and the window changes its height where their room changed.
    connect(
        &main_.Trazor1(), &TTrazor::pictureChanged, this,
        [this] {
            main_.RunGuarded([this] {
                const BusRows& rows = *main_.Ui().BusRows1;
                if (rows.Buses().empty() || rows.y() == main_.Trazor1().y() + rowsTop()) return;
                main_.View().FormResize();
            });
        },
        Qt::QueuedConnection);
}

int BusCommands::rowsTop() const {
    const TTrazor& t = main_.Trazor1();
    const TLineVariable& lines = t.LineOption();
    // Below the longest label now shown, which grows with the digits of deep
    // zooms into long captures.
    const QFontMetrics metrics(trazor::Canvas::rotatedFont());
    int labels = 0;
    for (const QString& label : t.ShownAxis().labels)
        labels = std::max(labels, metrics.horizontalAdvance(label));
    return trazor::axisY(lines.Line_distance(), t.Option().Digits(), lines.Line_Maxhigh()) +
           std::max(kLegend, kLabelOffset + labels + kGap);
}

int BusCommands::RoomMissing(int diagramHeight) const {
    const int height = main_.Ui().BusRows1->RowsHeight();
    if (height == 0) return 0;
    return std::max(0, rowsTop() + height - diagramHeight);
}

void BusCommands::PlaceRows() {
    BusRows& rows = *main_.Ui().BusRows1;
    const TTrazor& t = main_.Trazor1();
    if (rows.Buses().empty()) {
        rows.hide();
        return;
    }
    rows.setGeometry(t.x(), t.y() + rowsTop(), t.width(), rows.RowsHeight());
    rows.show();
    rows.raise();
}

void BusCommands::Busse1Click() {
    BusDialog dialog(&main_, main_.Ui().BusRows1->Buses());
    if (dialog.exec() != QDialog::Accepted) return;
    SetBuses(dialog.Buses());
}

void BusCommands::SetBuses(std::vector<trazor::BusDef> buses) {
    WriteBuses(main_.Config(), buses);
    main_.Ui().BusRows1->SetBuses(std::move(buses));
    main_.View().FormResize();
}

void BusCommands::AdoptImported(const std::vector<sigrok::LineGroup>& groups) {
    if (groups.empty()) return;
    std::vector<trazor::BusDef> buses;
    for (const sigrok::LineGroup& group : groups)
        buses.push_back({QString::fromStdString(group.name), group.lines});
    SetBuses(std::move(buses));
}
