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
#include <QToolButton>
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
        main_.RunGuarded([this, delta, x] {
            if (zoomKeysAllowed(delta)) ZoomAt(delta, x);
        });
    });
    connect(&t, &TTrazor::edgeJumpRequested, this,
            [this](bool forward) { main_.RunGuarded([this, forward] { JumpToEdge(forward); }); });
    // The pulse under a resting pointer changes as well when the view moves.
    connect(&t, &TTrazor::pointerMoved, this,
            [this] { main_.RunGuarded([this] { ShowReadout(); }); });
    connect(&t, &TTrazor::viewChanged, this,
            [this] { main_.RunGuarded([this] { ShowReadout(); }); });
    connect(main_.Ui().Overview1, &TOverview::positionRequested, this,
            [this](int pos) { main_.RunGuarded([this, pos] { MoveTo(pos); }); });
    main_.OnAction(main_.Actions().Alleszeigen1, [this] { Alleszeigen1Click(); });
    if (QAction* shown = main_.Actions().Uebersicht1)
        connect(shown, &QAction::toggled, this,
                [this](bool on) { main_.RunGuarded([this, on] { Uebersicht1Click(on); }); });
}

void NavigationCommands::syncScrollBar() {
    const TTrazor& t = main_.Trazor1();
    const int f = t.Option().CellsSize() / 8192;
    if (f > 0) main_.Ui().ScrollBar1->setValue(t.Option().CellsPos() / f);
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

bool NavigationCommands::zoomKeysAllowed(int delta) const {
    // The keys and the wheel mirror "Vergrößern", "Verkleinern" and the zoom
    // field: while those are off (recording, live mode), so are they.
    const MainUi& ui = main_.Ui();
    const QWidget* button = delta > 0 ? ui.ButtonScaleTimeUp : ui.ButtonScaleTimeDown;
    return button->isEnabled() && ui.ScaleTimeComboBox1->isEnabled();
}

int NavigationCommands::narrowestCellWidth() const {
    return trazor::cellWidth(main_.Trazor1().LineOption().Line_length(), kSmallestStep);
}

int NavigationCommands::shownCells() const {
    const TTrazor& t = main_.Trazor1();
    return std::min(t.ShownCells(), t.Option().CellsSize());
}

int NavigationCommands::drawColumns() const {
    const TTrazor& t = main_.Trazor1();
    return std::max(0, t.width() - 1 - t.LineOption().Global_Xpos());
}

void NavigationCommands::showScale(std::optional<trazor::ViewScale> out, int step, int anchorX) {
    TTrazor& t = main_.Trazor1();
    auto& opt = t.Option();
    trazor::ViewGeometry view = t.View();
    anchorX = std::max(anchorX, view.originX);
    const int anchorCell = trazor::cellAtX(view, anchorX).value_or(view.cellsPos);
    const trazor::ViewScale scale =
        out ? *out : trazor::ViewScale{trazor::cellWidth(t.LineOption().Line_length(), step), 1};
    // The position must suit the new zoom, which shows more or fewer cells.
    view.visibleCells =
        trazor::visibleCellsFor(t.width(), view.originX, scale.cellWidth, scale.cellsPerColumn);
    view.lastPos = trazor::endPos(shownCells(), view.visibleCells);
    opt.SetCellsPos(
        trazor::anchoredZoomPos(view, anchorCell, anchorX, scale.cellWidth, scale.cellsPerColumn));
    if (out)
        t.SetZoomOut(out);
    else
        t.ChangeTimeStep(step - opt.TimeStep());
    main_.View().ShowZoomField();
    syncScrollBar();
}

void NavigationCommands::ZoomAt(int delta, int anchorX) {
    TTrazor& t = main_.Trazor1();
    if (!t.Idle() || delta == 0) return;
    const int narrowest = narrowestCellWidth();
    const int columns = drawColumns();
    if (t.ZoomedOut()) {
        const trazor::ViewScale now = t.Scale();
        const int level = trazor::zoomOutLevel(narrowest, now);
        if (delta > 0) {
            // Back in: the next finer view, and past the first one the zoom steps.
            if (level <= 1)
                showScale(std::nullopt, kSmallestStep, anchorX);
            else
                showScale(trazor::zoomOutScale(narrowest, level - 1), 0, anchorX);
            return;
        }
        // Out no further than the whole buffer.
        if (trazor::showsAll(now, shownCells(), columns)) return;
        trazor::ViewScale next = trazor::zoomOutScale(narrowest, level);
        if (next == now) next = trazor::zoomOutScale(narrowest, level + 1);
        const trazor::ViewScale whole = trazor::fitScale(shownCells(), columns, narrowest);
        if (trazor::zoomOutLevel(narrowest, whole) <= trazor::zoomOutLevel(narrowest, next))
            next = whole;
        showScale(next, 0, anchorX);
        return;
    }
    auto& opt = t.Option();
    if (delta < 0 && opt.TimeStep() == kSmallestStep) {
        // Past the narrowest step lie the zoomed-out views, while there is
        // more of the buffer to bring into sight.
        const trazor::ViewScale atStep{narrowest, 1};
        if (trazor::showsAll(atStep, shownCells(), columns)) return;
        trazor::ViewScale next = trazor::zoomOutScale(narrowest, 1);
        const trazor::ViewScale whole = trazor::fitScale(shownCells(), columns, narrowest);
        if (trazor::zoomOutLevel(narrowest, whole) <= 1) next = whole;
        showScale(next, 0, anchorX);
        return;
    }
    const int step = std::clamp(opt.TimeStep() + delta, kSmallestStep, kLargestStep);
    if (step == opt.TimeStep()) return;
    showScale(std::nullopt, step, anchorX);
}

void NavigationCommands::Alleszeigen1Click() {
    if (!main_.Trazor1().Idle()) return;
    ShowAll();
    main_.SetDigiStatus(4, QStringLiteral("Alle Daten werden angezeigt"), true);
}

void NavigationCommands::ShowAll() {
    TTrazor& t = main_.Trazor1();
    if (!t.Idle()) return;
    auto& opt = t.Option();
    const int cells = shownCells();
    const int columns = drawColumns();
    const int step = trazor::fitTimeStep(cells, t.LineOption().Line_length(), columns);
    const int lineLength = t.LineOption().Line_length();
    opt.SetCellsPos(0);
    if (trazor::visibleCellsFor(t.width(), t.LineOption().Global_Xpos(),
                                trazor::cellWidth(lineLength, step)) >= cells) {
        // The whole buffer fits at a zoom step: the largest such step.
        t.ChangeTimeStep(step - opt.TimeStep());
    } else {
        t.SetZoomOut(trazor::fitScale(cells, columns, narrowestCellWidth()));
    }
    main_.View().ShowZoomField();
    syncScrollBar();
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
        main_.SetDigiStatus(
            4, QStringLiteral("Keine weitere Flanke auf ") + t.Option().DigiName().Get(*line),
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
    panel->setText(
        QStringLiteral(" ") +
        trazor::readoutText(*measure, t.Option().DigiName().Get(measure->line), t.GetTimeBase()));
    panel->show();
}
