#include "NavigationCommands.h"

#include "TMain1.h"
#include "ViewCommands.h"
#include "display/PulseReadout.h"
#include "display/TOverview.h"
#include "display/TTrazor.h"
#include "display/TrazorGeometry.h"
#include "display/ViewNavigation.h"
#include "platform/Desktop.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <algorithm>

namespace {
constexpr int kSmallestStep = 2;
constexpr int kLargestStep = 102;
} // namespace

NavigationCommands::NavigationCommands(TMain1& main) : QObject(&main), main_(main) {}

void NavigationCommands::Connect() {
    TTrazor& t = main_.Trazor1();
    connect(&t, &TTrazor::scrollRequested, this,
            [this](int cells) { main_.RunGuarded([this, cells] { ScrollBy(cells); }); });
    connect(&t, &TTrazor::positionRequested, this,
            [this](int pos) { main_.RunGuarded([this, pos] { MoveTo(pos); }); });
    connect(&t, &TTrazor::zoomRequested, this, [this](int delta, int x) {
        main_.RunGuarded([this, delta, x] { ZoomAt(delta, x); });
    });
    connect(&t, &TTrazor::edgeJumpRequested, this, [this](bool forward) {
        main_.RunGuarded([this, forward] { JumpToEdge(forward); });
    });
    // The pulse under a resting pointer changes as well when the view moves.
    connect(&t, &TTrazor::pointerMoved, this,
            [this] { main_.RunGuarded([this] { ShowReadout(); }); });
    connect(&t, &TTrazor::viewChanged, this,
            [this] { main_.RunGuarded([this] { ShowReadout(); }); });
    connect(main_.Ui().Overview1, &TOverview::positionRequested, this,
            [this](int pos) { main_.RunGuarded([this, pos] { MoveTo(pos); }); });
    main_.OnAction(QStringLiteral("Alleszeigen1"), [this] { Alleszeigen1Click(); });
    if (QAction* shown = main_.Action(QStringLiteral("Uebersicht1")))
        connect(shown, &QAction::toggled, this, [this](bool on) {
            main_.RunGuarded([this, on] { Uebersicht1Click(on); });
        });
}

void NavigationCommands::syncScrollBar() {
    const TTrazor& t = main_.Trazor1();
    const int f = t.Option().CellsSize() / 8192;
    if (f > 0) main_.Ui().ScrollBar1->setValue(t.Option().CellsPos() / f);
}

void NavigationCommands::showZoomField() {
    main_.Ui().ScaleTimeComboBox1->setEditText(
        QString::number(main_.Trazor1().Option().TimeStep() - 2) + "%");
}

void NavigationCommands::MoveTo(long long cellsPos) {
    TTrazor& t = main_.Trazor1();
    if (!t.Idle()) return;
    const int target = trazor::clampPos(t.View(), cellsPos);
    const int current = t.Option().CellsPos();
    if (target == current) return;
    if (target > current)
        t.ScrollForward(target - current);
    else
        t.ScrollBack(current - target);
    syncScrollBar();
}

void NavigationCommands::ScrollBy(int cells) {
    const TTrazor& t = main_.Trazor1();
    const int current = t.Option().CellsPos();
    const int target = trazor::clampPos(t.View(), (long long)current + cells);
    // Beyond the last data (the scroll bar reaches further) a step forward
    // must not jump back.
    if ((cells > 0 && target < current) || (cells < 0 && target > current)) return;
    MoveTo(target);
}

void NavigationCommands::ZoomAt(int delta, int anchorX) {
    TTrazor& t = main_.Trazor1();
    if (!t.Idle()) return;
    auto& opt = t.Option();
    const int step = std::clamp(opt.TimeStep() + delta, kSmallestStep, kLargestStep);
    if (step == opt.TimeStep()) return;
    trazor::ViewGeometry view = t.View();
    anchorX = std::max(anchorX, view.originX);
    const int anchorCell = trazor::cellAtX(view, anchorX).value_or(view.cellsPos);
    const int cellWidth = trazor::cellWidth(t.LineOption().Line_length(), step);
    // The position must suit the new zoom, which shows more or fewer cells.
    view.visibleCells = trazor::visibleCellsFor(t.width(), view.originX, cellWidth);
    view.lastPos = trazor::endPos(std::min(t.Buffer().Cells(), opt.CellsSize()), view.visibleCells);
    opt.SetCellsPos(trazor::anchoredZoomPos(view, anchorCell, anchorX, cellWidth));
    t.ChangeTimeStep(step - opt.TimeStep());
    showZoomField();
    syncScrollBar();
}

void NavigationCommands::Alleszeigen1Click() {
    TTrazor& t = main_.Trazor1();
    if (!t.Idle()) return;
    auto& opt = t.Option();
    const int cells = std::min(t.Buffer().Cells(), opt.CellsSize());
    const int gx = t.LineOption().Global_Xpos();
    const int drawWidth = t.width() - 1 - gx;
    const int step = trazor::fitTimeStep(cells, t.LineOption().Line_length(), drawWidth);
    if (main_.Ui().Overview1->isHidden()) main_.Action(QStringLiteral("Uebersicht1"))->setChecked(true);
    opt.SetCellsPos(0);
    t.ChangeTimeStep(step - opt.TimeStep());
    showZoomField();
    syncScrollBar();
    const bool fits =
        trazor::visibleCellsFor(t.width(), gx, trazor::cellWidth(t.LineOption().Line_length(), step)) >=
        cells;
    main_.SetDigiStatus(4,
                        fits ? QStringLiteral("Alle Daten werden angezeigt")
                             : QStringLiteral("Die Übersicht zeigt alle Daten, das Diagramm "
                                              "ihren Anfang"),
                        true);
}

void NavigationCommands::Uebersicht1Click(bool shown) {
    main_.Ui().Overview1->setVisible(shown);
    main_.View().FormResize();
}

void NavigationCommands::JumpToEdge(bool forward) {
    TTrazor& t = main_.Trazor1();
    if (!t.Idle()) return;
    const std::optional<QPoint> pointer = t.PointerPos();
    const trazor::ViewGeometry view = t.View();
    const std::optional<int> line = pointer ? t.LineAt(pointer->y()) : std::nullopt;
    const std::optional<int> cell = pointer ? trazor::cellAtX(view, pointer->x()) : std::nullopt;
    if (!line || !cell) {
        main_.SetDigiStatus(
            4, QStringLiteral("Für den Flankensprung den Mauszeiger auf eine Linie stellen"), true);
        return;
    }
    int from = *cell;
    if (lastJump_ && lastJump_->pointer == *pointer && lastJump_->line == *line &&
        lastJump_->cellsPos == view.cellsPos)
        from = lastJump_->edge;
    const SamplePyramid& pyramid = t.Pyramid();
    const std::optional<int> edge = forward ? trazor::edgeAfter(t.Buffer(), pyramid, *line, from)
                                            : trazor::edgeBefore(t.Buffer(), pyramid, *line, from);
    if (!edge) {
        main_.desktop().Beep();
        main_.SetDigiStatus(4,
                            QStringLiteral("Keine weitere Flanke auf ") +
                                t.Option().DigiName().Get(*line),
                            true);
        return;
    }
    MoveTo((long long)*edge - (*cell - view.cellsPos));
    lastJump_ = Jump{*pointer, *line, *edge, t.Option().CellsPos()};
    ShowReadout();
}

void NavigationCommands::ShowReadout() {
    TTrazor& t = main_.Trazor1();
    QLabel* panel = main_.Ui().PanelReadout;
    const std::optional<QPoint> pointer = t.PointerPos();
    const std::optional<trazor::PulseMeasure> measure =
        pointer ? t.MeasureAt(*pointer) : std::nullopt;
    if (!measure) {
        panel->clear();
        panel->hide();
        return;
    }
    panel->setText(QStringLiteral(" ") +
                   trazor::readoutText(*measure, t.Option().DigiName().Get(measure->line),
                                       t.GetTimeBase()));
    panel->show();
}
