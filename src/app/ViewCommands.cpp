#include "ViewCommands.h"

#include "BusCommands.h"
#include "MainUiBuilder.h"
#include "NavigationCommands.h"
#include "TMain1.h"
#include "TNewHintWindow.h"
#include "UpDownPair.h"
#include "display/TOverview.h"
#include "display/TTrazor.h"
#include "display/TrazorGeometry.h"
#include "display/ViewScale.h"
#include "platform/Conversion.h"
#include "platform/Desktop.h"
#include "sampling/TimeFormat.h"

#include <algorithm>

#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {
constexpr int kFixedHeight = 755;
constexpr int kHintLingerMs = 1500;
constexpr int kNarrowestStep = 2;
} // namespace

ViewCommands::ViewCommands(TMain1& main) : QObject(&main), main_(main) {}

void ViewCommands::Connect() {
    const MainActions& a = main_.Actions();
    auto on = [this](QAction* item, std::function<void()> handler) {
        main_.OnAction(item, std::move(handler));
    };
    for (int n = 1; n <= 16; ++n)
        on(a.Bit[std::size_t(n - 1)], [this, n] { BitClick(n); });
    on(a.Aufoesungp1, [this] { ChangeResolution(+1); });
    on(a.Aufloesungn1, [this] { ChangeResolution(-1); });
    on(a.Aufoesungp10, [this] { ChangeResolution(+10); });
    on(a.Aufloesungn10, [this] { ChangeResolution(-10); });
    on(a.EinheitMikroSek1, [this] { EinheitMikroSek1Click(); });
    on(a.EinheitMilliSek1, [this] { EinheitMilliSek1Click(); });
    on(a.EinheitSek1, [this] { EinheitSek1Click(); });
    on(a.Hintergrundfarbe1, [this] { Hintergrundfarbe1Click(); });
    on(a.Zeitachsenfarbe1, [this] { Zeitachsenfarbe1Click(); });
    on(a.Textfarbe1, [this] { Textfarbe1Click(); });
    on(a.AlleLinienmiteinerFarbe1, [this] { AlleLinienmiteinerFarbe1Click(); });
    on(a.Gitterfarbe1, [this] { Gitterfarbe1Click(); });
    for (int n = 0; n < 16; ++n) {
        on(a.Bitfarbe[std::size_t(n)], [this, n] { SetMultiFarbe(n); });
        on(a.BitText[std::size_t(n)], [this, n] { SetMultiBitText(n); });
    }
    on(a.DatenneuAnzeigen1, [this] { DatenneuAnzeigen1Click(); });
    on(a.Anzeigelschen1, [this] { Anzeigelschen1Click(); });

    MainUi& ui = main_.Ui();
    connect(ui.ButtonScaleTimeUp, &QToolButton::clicked, this,
            [this] { main_.RunGuarded([this] { ButtonScaleTimeUpClick(); }); });
    connect(ui.ButtonScaleTimeDown, &QToolButton::clicked, this,
            [this] { main_.RunGuarded([this] { ButtonScaleTimeDownClick(); }); });
    connect(ui.ScaleTimeComboBox1, &QComboBox::textActivated, this,
            [this] { main_.RunGuarded([this] { ScaleTimeComboBox1Click(); }); });
    connect(ui.ButtonZeitachsenEinheit_1, &UpDownPair::clicked, this, [this](UpDownPair::Arrow a) {
        main_.RunGuarded(
            [this, a] { ButtonZeitachsenEinheitClick(1, a == UpDownPair::Arrow::Forward); });
    });
    connect(ui.ButtonZeitachsenEinheit_200, &UpDownPair::clicked, this,
            [this](UpDownPair::Arrow a) {
                main_.RunGuarded([this, a] {
                    ButtonZeitachsenEinheitClick(200, a == UpDownPair::Arrow::Forward);
                });
            });
    connect(ui.ScrollBar1, &QAbstractSlider::actionTriggered, this,
            [this](int action) { main_.RunGuarded([this, action] { onScrollAction(action); }); });
    connect(ui.ScrollBar1, &QAbstractSlider::sliderReleased, this, [this] {
        main_.RunGuarded([this] {
            int pos = main_.Ui().ScrollBar1->sliderPosition();
            ScrollBar1Scroll(ScrollCode::Position, pos);
            main_.Ui().ScrollBar1->setValue(pos);
            // The hint has no pointer to follow once the thumb is let go: leave
            // the final position readable for a moment, then take it away.
            if (TNewHintWindow* hint = main_.ScrollHint())
                QTimer::singleShot(kHintLingerMs, hint, &QWidget::hide);
        });
    });
}

int ViewCommands::cellsPerPosition() const {
    return main_.Trazor1().Option().CellsSize() / 8192;
}

void ViewCommands::onScrollAction(int action) {
    QScrollBar* bar = main_.Ui().ScrollBar1;
    ScrollCode code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = ScrollCode::LineBack;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = ScrollCode::LineForward;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = ScrollCode::PageBack;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = ScrollCode::PageForward;
        break;
    case QAbstractSlider::SliderMove:
        // Only a dragged thumb tracks. The wheel moves the bar by whole
        // lines without a thumb to let go of: a line move that scrolls the
        // diagram, with no hint left standing.
        if (bar->isSliderDown())
            code = ScrollCode::Track;
        else if (bar->sliderPosition() > bar->value())
            code = ScrollCode::LineForward;
        else if (bar->sliderPosition() < bar->value())
            code = ScrollCode::LineBack;
        else
            return;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = ScrollCode::Top;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = ScrollCode::Bottom;
        break;
    default:
        return;
    }
    // The bar has already applied the step to its slider position: that is the proposal.
    int pos = bar->sliderPosition();
    ScrollBar1Scroll(code, pos);
    bar->setSliderPosition(pos);
}

void ViewCommands::BitClick(int count) {
    main_.SetMultiBit(count);
}

void ViewCommands::ChangeResolution(int delta) {
    main_.Trazor1().ChangeTimeStep(delta);
}

void ViewCommands::EinheitMikroSek1Click() {
    auto& opt = main_.Trazor1().Option();
    // A unit chosen by hand counts in tens of it again: a device may have
    // set a factor for its own period.
    opt.SetTimefactor(10);
    opt.SetTimeUnit(QStringLiteral("µs"));
    opt.SetTimeScale(10);
    main_.Ui().SimultanTimer1->setInterval(1);
    main_.Trazor1().DrawSignals();
}

void ViewCommands::EinheitMilliSek1Click() {
    auto& opt = main_.Trazor1().Option();
    opt.SetTimefactor(10);
    opt.SetTimeUnit(QStringLiteral("ms"));
    opt.SetTimeScale(10);
    main_.Ui().SimultanTimer1->setInterval(10);
    main_.Trazor1().DrawSignals();
}

void ViewCommands::EinheitSek1Click() {
    auto& opt = main_.Trazor1().Option();
    opt.SetTimefactor(10);
    opt.SetTimeUnit(QStringLiteral(" s"));
    opt.SetTimeScale(1);
    main_.Ui().SimultanTimer1->setInterval(1000);
    main_.Trazor1().DrawSignals();
}

void ViewCommands::ShowZoomField() {
    const TTrazor& t = main_.Trazor1();
    // A zoomed-out view shows how many steps it lies past "0%": "-1", "-2", ...
    const QString text =
        t.ZoomedOut()
            ? QStringLiteral("-") +
                  QString::number(trazor::zoomOutLevel(
                      trazor::cellWidth(t.LineOption().Line_length(), kNarrowestStep), t.Scale()))
            : QString::number(t.Option().TimeStep() - 2) + "%";
    main_.Ui().ScaleTimeComboBox1->setEditText(text);
}

void ViewCommands::ButtonScaleTimeUpClick() {
    main_.desktop().PumpEvents();
    TTrazor& t = main_.Trazor1();
    if (t.ZoomedOut()) {
        main_.Navigation().ZoomAt(+1, t.ZoomAnchorX());
        return;
    }
    t.ChangeTimeStep(+1);
    ShowZoomField();
}

void ViewCommands::ButtonScaleTimeDownClick() {
    main_.desktop().PumpEvents();
    TTrazor& t = main_.Trazor1();
    // Past the narrowest step the zoomed-out views follow.
    if (t.ZoomedOut() || t.Option().TimeStep() == kNarrowestStep) {
        main_.Navigation().ZoomAt(-1, t.ZoomAnchorX());
        return;
    }
    t.ChangeTimeStep(-1);
    ShowZoomField();
}

void ViewCommands::ScaleTimeComboBox1Click() {
    QComboBox* box = main_.Ui().ScaleTimeComboBox1;
    const QString text = box->currentText();
    QString number;
    if (!text.contains(QLatin1Char('%'))) {
        number = text;
        box->setEditText(text + "%");
    } else {
        number = text.left(text.size() - 1);
    }
    main_.desktop().PumpEvents();
    const int value = StrToInt(number);
    TTrazor& t = main_.Trazor1();
    t.Option().SetTimeStep(value + 2);
    fullRefresh();
}

void ViewCommands::fullRefresh() {
    TTrazor& t = main_.Trazor1();
    t.DrawScale(t.Option().CellsPos());
    t.DrawBaseLines();
    t.DrawSignals();
}

void ViewCommands::ButtonZeitachsenEinheitClick(int cells, bool forward) {
    const int f = cellsPerPosition();
    Desktop& d = main_.desktop();
    d.PumpEvents();
    TTrazor& t = main_.Trazor1();
    if (!t.Idle()) return;
    UpDownPair* counter = main_.Ui().ButtonZeitachsenEinheit_200;
    d.PumpEvents();
    if (forward) {
        if (cells == 200 && counter->Position() > 29999) counter->SetPosition(0);
        t.ScrollForward(cells);
    } else {
        if (cells == 200 && counter->Position() <= 0) counter->SetPosition(30000);
        t.ScrollBack(cells);
    }
    // A buffer smaller than the scroll range leaves no cells per position; keep the bar where it
    // is.
    if (f > 0) main_.Ui().ScrollBar1->setValue(t.Option().CellsPos() / f);
}

void ViewCommands::ScrollBar1Scroll(ScrollCode code, int& pos) {
    const int f = cellsPerPosition();
    TTrazor& t = main_.Trazor1();
    if (!t.Idle()) return;
    const int maximum = main_.Ui().ScrollBar1->maximum();
    auto& opt = t.Option();
    TNewHintWindow* hint = main_.ScrollHint();

    switch (code) {
    case ScrollCode::LineBack:
    case ScrollCode::PageBack:
        if (pos > 0) --pos;
        break;
    case ScrollCode::LineForward:
    case ScrollCode::PageForward:
        if (pos < maximum) ++pos;
        break;
    default:
        break;
    }
    switch (code) {
    case ScrollCode::LineBack:
    case ScrollCode::LineForward:
    case ScrollCode::PageBack:
    case ScrollCode::PageForward:
    case ScrollCode::Track:
        opt.SetCellsPos(pos * f);
        if (hint) hint->setText(scrollHintText());
        break;
    default:
        break;
    }
    switch (code) {
    case ScrollCode::LineBack:
        if (pos >= 0) {
            if (opt.CellsPos() == 0) opt.SetCellsPos(1);
            t.ScrollBack(1);
        }
        break;
    case ScrollCode::LineForward:
        if (pos <= maximum) t.ScrollForward(1);
        break;
    case ScrollCode::PageBack:
        if (pos >= 0) t.ScrollBack(1);
        break;
    case ScrollCode::PageForward:
        t.ScrollForward(1);
        break;
    case ScrollCode::Track:
        if (hint) hint->SetTracking(true);
        if (pos == 0) {
            t.ScrollBack(2);
            main_.desktop().Beep();
        } else if (pos == maximum) {
            t.ScrollForward(0);
            main_.desktop().Beep();
        }
        break;
    case ScrollCode::Position:
        opt.SetCellsPos(pos * f);
        if (hint) hint->setText(scrollHintText());
        t.ScrollForward(1);
        break;
    case ScrollCode::Top:
    case ScrollCode::Bottom:
        // Home and End move the bar to its ends; the diagram goes with it.
        opt.SetCellsPos(pos * f);
        t.ScrollForward(0);
        break;
    case ScrollCode::EndScroll:
        break;
    }
}

QString ViewCommands::scrollHintText() const {
    // The time at the first shown cell, in the unit the axis legend names.
    const TTrazor& t = main_.Trazor1();
    const auto& opt = t.Option();
    if (t.TrueTimeAxis())
        return QString::fromStdString(
            sampling::FormatDuration(t.GetTimeBase().SecondsAt(opt.CellsPos())));
    return QString::number(qint64(opt.CellsPos()) * opt.Timefactor()) + " " + opt.TimeUnit();
}

void ViewCommands::Hintergrundfarbe1Click() {
    auto& opt = main_.Trazor1().Option();
    if (auto c = main_.desktop().ColorDialog(opt.ColorBackground())) opt.SetColorBackground(*c);
}

void ViewCommands::Zeitachsenfarbe1Click() {
    auto& opt = main_.Trazor1().Option();
    if (auto c = main_.desktop().ColorDialog(opt.ColorScale())) opt.SetColorScale(*c);
}

void ViewCommands::Textfarbe1Click() {
    auto& opt = main_.Trazor1().Option();
    if (auto c = main_.desktop().ColorDialog(opt.ColorFont())) opt.SetColorFont(*c);
}

void ViewCommands::AlleLinienmiteinerFarbe1Click() {
    auto& colors = main_.Trazor1().Option().DigiColor();
    if (auto c = main_.desktop().ColorDialog(colors.Colordefault())) colors.SetColordefault(*c);
}

void ViewCommands::Gitterfarbe1Click() {
    auto& opt = main_.Trazor1().Option();
    if (auto c = main_.desktop().ColorDialog(opt.ColorMarker())) opt.SetColorMarker(*c);
}

void ViewCommands::SetMultiFarbe(int line) {
    auto& colors = main_.Trazor1().Option().DigiColor();
    const auto c = main_.desktop().ColorDialog(colors.Get(line));
    if (!c) return;
    if (line >= 0 && line <= 15) colors.Set(line, *c);
    main_.desktop().PumpEvents();
}

void ViewCommands::SetMultiBitText(int line) {
    if (!lineNameEditor_) return;
    auto& names = main_.Trazor1().Option().DigiName();
    if (auto text = lineNameEditor_(line, names.Get(line))) names.Set(line, *text);
}

void ViewCommands::ShowCell(std::int64_t cell) {
    TTrazor& t = main_.Trazor1();
    auto& opt = t.Option();
    const std::int64_t first =
        std::clamp<std::int64_t>(cell - t.VisibleCells() / 4, 0, opt.CellsSize());
    opt.SetCellsPos(int(first));
    fullRefresh();
    t.DrawMarkers();
    const int f = cellsPerPosition();
    if (f > 0) {
        // Only the thumb follows; its own handler would scroll a second time.
        QScrollBar* bar = main_.Ui().ScrollBar1;
        const QSignalBlocker block(bar);
        bar->setValue(opt.CellsPos() / f);
    }
}

void ViewCommands::DatenneuAnzeigen1Click() {
    main_.SetDigiStatus(4, QStringLiteral("Daten werden neu gezeichnet"), true);
    fullRefresh();
    main_.Trazor1().DrawMarkers();
}

void ViewCommands::Anzeigelschen1Click() {
    main_.SetDigiStatus(4, QStringLiteral("Anzeige wird gelöscht !"), true);
    TTrazor& t = main_.Trazor1();
    t.Redraw();
    t.DrawBaseLines();
    main_.Ui().ScrollBar1->setValue(0);
}

void ViewCommands::FormResize() {
    MainUi& ui = main_.Ui();
    // The second status row sits under the scroll bar, above the five panels.
    const int infoHeight = ui.InfoBar->sizeHint().height();
    const bool overview = ui.Overview1 && !ui.Overview1->isHidden();
    // The window grows only where bus rows find no room under the time axis,
    // and never beyond what its screen holds.
    const int fixedDiagram = kFixedHeight - main_.menuBar()->height() - 89 - infoHeight -
                             (overview ? kOverviewHeight : 0);
    const int held = main_.HeldHeight(kFixedHeight + main_.Buses().RoomMissing(fixedDiagram));
    if (main_.height() != held) main_.resize(main_.width(), held);
    const int clientWidth = main_.width();
    const int clientHeight = main_.height() - main_.menuBar()->height();
    const int barHeight = ui.ScrollBar1->sizeHint().height();
    const int centralHeight = clientHeight - ui.StatusBar1->height() - infoHeight;
    ui.ToolPanel->setGeometry(0, 0, clientWidth, kToolPanelHeight);
    ui.InfoBar->setGeometry(0, centralHeight, clientWidth, infoHeight);
    ui.ScrollBar1->setGeometry(0, centralHeight - barHeight, clientWidth - 1, barHeight);
    if (overview)
        ui.Overview1->setGeometry(0, centralHeight - barHeight - kOverviewHeight, clientWidth - 1,
                                  kOverviewHeight);
    TTrazor& t = main_.Trazor1();
    t.setGeometry(t.x(), t.y(), clientWidth - 1,
                  clientHeight - 89 - infoHeight - (overview ? kOverviewHeight : 0));
    main_.Buses().PlaceRows();
    fullRefresh();
}
