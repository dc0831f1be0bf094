#include "MainUiBuilder.h"

#include "ElidedLabel.h"
#include "UpDownPair.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QValidator>

namespace {

// The zoom field takes at most three typed characters; the entries of its
// list ("100%") are longer and must still show in full.
class ZoomFieldValidator final : public QValidator {
  public:
    ZoomFieldValidator(QComboBox* box) : QValidator(box), box_(box) {}
    State validate(QString& input, int&) const override {
        if (input.size() <= 3 || box_->findText(input) >= 0) return Acceptable;
        return Invalid;
    }

  private:
    QComboBox* box_;
};

enum class Glyph { Plus, Minus, Record, Stop, Play };

// Simple drawn glyphs keep the tool bar free of image files.
QIcon glyph(Glyph g) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    switch (g) {
    case Glyph::Plus:
        p.drawLine(4, 10, 16, 10);
        p.drawLine(10, 4, 10, 16);
        break;
    case Glyph::Minus:
        p.drawLine(4, 10, 16, 10);
        break;
    case Glyph::Record:
        p.setBrush(QColor(200, 0, 0));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(10, 10), 6, 6);
        break;
    case Glyph::Stop:
        p.setBrush(Qt::black);
        p.setPen(Qt::NoPen);
        p.drawRect(5, 5, 10, 10);
        break;
    case Glyph::Play: {
        p.setBrush(QColor(0, 128, 0));
        p.setPen(Qt::NoPen);
        const QPoint tri[] = {{6, 4}, {16, 10}, {6, 16}};
        p.drawPolygon(tri, 3);
        break;
    }
    }
    return QIcon(pm);
}

QToolButton* button(QWidget* parent, const char* name, const QString& hint, Glyph g, bool enabled) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setIcon(glyph(g));
    b->setIconSize(QSize(20, 20));
    b->setEnabled(enabled);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QTimer* timer(QObject* parent, const char* name, int interval, bool enabled) {
    auto* t = new QTimer(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setInterval(interval);
    if (enabled) t->start();
    return t;
}

UpDownPair* upDown(QWidget* parent, const char* name, const QString& hint) {
    auto* u = new UpDownPair(parent);
    u->setObjectName(QString::fromLatin1(name));
    u->setToolTip(hint);
    return u;
}

} // namespace

QIcon ImageListIcon(int index) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const bool chosen = index == 50 || index == 54;
    const QColor tone = index >= 54 ? QColor(0, 90, 200) : QColor(0, 140, 0);
    p.setPen(QPen(chosen ? tone : QColor(150, 150, 150), 1.5));
    p.setBrush(chosen ? tone : Qt::transparent);
    p.drawEllipse(QPointF(8, 8), 5, 5);
    return QIcon(pm);
}

MainUi BuildMainUi(QMainWindow& window, QWidget& central) {
    MainUi ui;
    ui.ToolPanel = new QWidget(&central);
    ui.ToolPanel->setObjectName(QStringLiteral("ToolPanel"));
    auto* row = new QHBoxLayout(ui.ToolPanel);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(4);

    ui.Label11 = label(ui.ToolPanel, "Label11", QStringLiteral("Port:"));
    ui.Shape1 = new QFrame(ui.ToolPanel);
    ui.Shape1->setObjectName(QStringLiteral("Shape1"));
    ui.Shape1->setFixedSize(56, 24);
    ui.Shape1->setAutoFillBackground(true);
    ui.Shape1->setFrameShape(QFrame::Box);
    ui.Portzustand = label(ui.Shape1, "Portzustand", QStringLiteral("LPTx"));
    ui.Portzustand->setAlignment(Qt::AlignCenter);
    // The indicator colours the frame's background; the name stays black on it.
    QPalette text = ui.Portzustand->palette();
    text.setColor(QPalette::WindowText, Qt::black);
    ui.Portzustand->setPalette(text);
    auto* shapeLayout = new QHBoxLayout(ui.Shape1);
    shapeLayout->setContentsMargins(0, 0, 0, 0);
    shapeLayout->addWidget(ui.Portzustand);

    ui.Label1 = label(ui.ToolPanel, "Label1", QStringLiteral("Zeitachse"));
    ui.ButtonZeitachsenEinheit_1 =
        upDown(ui.ToolPanel, "ButtonZeitachsenEinheit_1", QStringLiteral("Zeitachse +1"));
    ui.ButtonZeitachsenEinheit_200 =
        upDown(ui.ToolPanel, "ButtonZeitachsenEinheit_200", QStringLiteral("Zeitachse +200"));

    ui.Label2 = label(ui.ToolPanel, "Label2", QStringLiteral("Auflösung"));
    ui.ButtonScaleTimeUp =
        button(ui.ToolPanel, "ButtonScaleTimeUp", QStringLiteral("Vergrößern"), Glyph::Plus, true);
    ui.ButtonScaleTimeDown = button(ui.ToolPanel, "ButtonScaleTimeDown",
                                    QStringLiteral("Verkleinern"), Glyph::Minus, true);
    ui.ScaleTimeComboBox1 = new QComboBox(ui.ToolPanel);
    ui.ScaleTimeComboBox1->setObjectName(QStringLiteral("ScaleTimeComboBox1"));
    ui.ScaleTimeComboBox1->setEditable(true);
    ui.ScaleTimeComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ui.ScaleTimeComboBox1->setValidator(new ZoomFieldValidator(ui.ScaleTimeComboBox1));
    ui.ScaleTimeComboBox1->addItems({QStringLiteral("0%"), QStringLiteral("5%"),
                                     QStringLiteral("10%"), QStringLiteral("15%"),
                                     QStringLiteral("25%"), QStringLiteral("50%"),
                                     QStringLiteral("75%"), QStringLiteral("100%")});
    ui.ScaleTimeComboBox1->setFixedWidth(64);

    ui.Label7 = label(ui.ToolPanel, "Label7", QStringLiteral("Aufzeichnen"));
    ui.ButtonRecord_Signal = button(ui.ToolPanel, "ButtonRecord_Signal",
                                    QStringLiteral("Aufzeichnen"), Glyph::Record, false);
    ui.ButtonStop_Scan =
        button(ui.ToolPanel, "ButtonStop_Scan", QStringLiteral("Simultanstop"), Glyph::Stop, false);
    ui.ButtonPlay_Scan =
        button(ui.ToolPanel, "ButtonPlay_Scan", QStringLiteral("Simultanplay"), Glyph::Play, false);

    ui.ProgressBar1 = new QProgressBar(ui.ToolPanel);
    ui.ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ui.ProgressBar1->setRange(0, 100);
    ui.ProgressBar1->setValue(0);
    ui.ProgressBar1->setTextVisible(false);
    // The bar gives way first when the window is narrow; labels never do.
    ui.ProgressBar1->setMinimumWidth(48);
    ui.ProgressBar1->setMaximumWidth(120);

    row->addWidget(ui.Label11);
    row->addWidget(ui.Shape1);
    row->addSpacing(12);
    row->addWidget(ui.Label1);
    row->addWidget(ui.ButtonZeitachsenEinheit_1);
    row->addWidget(ui.ButtonZeitachsenEinheit_200);
    row->addSpacing(12);
    row->addWidget(ui.Label2);
    row->addWidget(ui.ButtonScaleTimeUp);
    row->addWidget(ui.ButtonScaleTimeDown);
    row->addWidget(ui.ScaleTimeComboBox1);
    row->addSpacing(12);
    row->addWidget(ui.Label7);
    row->addWidget(ui.ButtonRecord_Signal);
    row->addWidget(ui.ButtonStop_Scan);
    row->addWidget(ui.ButtonPlay_Scan);
    row->addSpacing(12);
    row->addWidget(ui.ProgressBar1, 1);

    // The register bit display; hidden and disabled in the window's first
    // layout. Its place is kept free while hidden, so showing it moves
    // nothing and never squeezes the labels.
    auto* bits = new QWidget(ui.ToolPanel);
    bits->setObjectName(QStringLiteral("BitIndicators"));
    auto* bitRow = new QHBoxLayout(bits);
    bitRow->setContentsMargins(0, 0, 0, 0);
    bitRow->setSpacing(0);
    for (int i = 0; i < 8; ++i) {
        auto* box = new QCheckBox(bits);
        box->setObjectName(QStringLiteral("d%1").arg(i + 1));
        box->setTristate(true);
        box->setEnabled(false);
        box->setVisible(false);
        ui.Bits[size_t(i)] = box;
    }
    for (int i = 7; i >= 0; --i)
        bitRow->addWidget(ui.Bits[size_t(i)]);
    bits->setFixedWidth(8 * ui.Bits[0]->sizeHint().width());
    row->addSpacing(6);
    row->addWidget(bits);

    ui.MarkerOriginLabel = label(ui.ToolPanel, "LabelMOrigin", QString());
    ui.MarkerStopLabel = label(ui.ToolPanel, "LabelMStop", QString());
    ui.MarkerOriginLabel->setVisible(false);
    ui.MarkerStopLabel->setVisible(false);

    ui.ScrollBar1 = new QScrollBar(Qt::Horizontal, &central);
    ui.ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ui.ScrollBar1->setRange(0, 100);
    ui.ScrollBar1->setSingleStep(1);
    ui.ScrollBar1->setPageStep(64);
    // A clicked bar takes the arrow, page and Home/End keys.
    ui.ScrollBar1->setFocusPolicy(Qt::ClickFocus);

    ui.StatusBar1 = window.statusBar();
    ui.StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    ui.StatusBar1->setSizeGripEnabled(false);
    const char* texts[] = {" Port", " Steuer", " Status", " Daten", " Digi-Status:"};
    const int widths[] = {100, 100, 100, 100, 50};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(QString::fromLatin1(texts[i]), ui.StatusBar1);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        if (i < 4)
            panel->setFixedWidth(widths[i]);
        else
            panel->setMinimumWidth(widths[i]);
        // The message panel takes what is left of the bar, as the last panel does.
        ui.StatusBar1->addWidget(panel, i == 4 ? 1 : 0);
        ui.Panels[size_t(i)] = panel;
    }
    ui.InfoBar = new QWidget(&central);
    ui.InfoBar->setObjectName(QStringLiteral("InfoBar"));
    ui.InfoBar->setFont(QFont(QStringLiteral("Arial"), 8));
    auto* infoRow = new QHBoxLayout(ui.InfoBar);
    infoRow->setContentsMargins(2, 1, 2, 1);
    infoRow->setSpacing(3);
    const auto sunken = [](QLabel* field) {
        field->setFrameShape(QFrame::Panel);
        field->setFrameShadow(QFrame::Sunken);
    };
    ui.PanelInfo = new ElidedLabel(ui.InfoBar);
    ui.PanelInfo->setObjectName(QStringLiteral("PanelInfo"));
    sunken(ui.PanelInfo);
    infoRow->addWidget(ui.PanelInfo, 1);
    ui.PanelReadout = new QLabel(ui.InfoBar);
    ui.PanelReadout->setObjectName(QStringLiteral("PanelReadout"));
    sunken(ui.PanelReadout);
    ui.PanelReadout->setVisible(false);
    infoRow->addWidget(ui.PanelReadout, 0);
    ui.PanelCursors = new QLabel(ui.InfoBar);
    ui.PanelCursors->setObjectName(QStringLiteral("PanelCursors"));
    sunken(ui.PanelCursors);
    ui.PanelCursors->setVisible(false);
    infoRow->addWidget(ui.PanelCursors, 0);

    ui.SimultanTimer1 = timer(&window, "SimultanTimer1", 100, false);
    ui.Timer2 = timer(&window, "Timer2", 10000, true);
    ui.Timer4 = timer(&window, "Timer4", 500, true);
    return ui;
}
