#include "decodeview/DecodeWindow.h"

#include "decodeview/AnnotationTableModel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

DecodeWindow::DecodeWindow(Actions actions, QWidget* parent)
    : QWidget(parent, parent ? Qt::Tool : Qt::Window), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("DecodeWindow"));
    setWindowTitle(QStringLiteral("Protokolldekodierung"));
    // A window beside the main window: closing the main window ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 4);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 0, 6, 0);
    auto* setupButton = new QPushButton(QStringLiteral("Einrichten ..."));
    setupButton->setObjectName(QStringLiteral("DecodeSetupButton"));
    auto* exportButton = new QPushButton(QStringLiteral("Exportieren ..."));
    exportButton->setObjectName(QStringLiteral("DecodeExportButton"));
    progress_ = new QProgressBar;
    progress_->setObjectName(QStringLiteral("DecodeProgress"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->setMaximumWidth(160);
    cancel_ = new QPushButton(QStringLiteral("Abbrechen"));
    cancel_->setObjectName(QStringLiteral("DecodeCancelButton"));
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("DecodeStatus"));
    bar->addWidget(setupButton);
    bar->addWidget(exportButton);
    bar->addWidget(progress_);
    bar->addWidget(cancel_);
    bar->addWidget(status_, 1);
    layout->addLayout(bar);

    model_ = new AnnotationTableModel(this);
    list_ = new QTableView;
    list_->setObjectName(QStringLiteral("AnnotationList"));
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->verticalHeader()->setVisible(false);
    list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // Millions of annotations: every row as high as the others, so the view
    // never measures them one by one.
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setColumnWidth(AnnotationTableModel::Time, 130);
    list_->setColumnWidth(AnnotationTableModel::Decoder, 90);
    list_->setColumnWidth(AnnotationTableModel::Row, 140);
    // The view holds only the rows on screen; this bar scrolls over all of them.
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setAutoScroll(false);
    scroll_ = new QScrollBar(Qt::Vertical);
    scroll_->setObjectName(QStringLiteral("AnnotationListScroll"));
    auto* listRow = new QHBoxLayout;
    listRow->setSpacing(0);
    listRow->addWidget(list_, 1);
    listRow->addWidget(scroll_);
    layout->addLayout(listRow, 1);
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);

    const auto guarded = [this](const std::function<void()>& f) {
        return [this, f] {
            if (f) Guarded(f);
        };
    };
    connect(setupButton, &QPushButton::clicked, this, guarded(actions_.setup));
    connect(exportButton, &QPushButton::clicked, this, guarded(actions_.exportAnnotations));
    connect(cancel_, &QPushButton::clicked, this, guarded(actions_.cancel));
    connect(list_, &QTableView::clicked, this, [this, guarded](const QModelIndex& index) {
        const auto a = model_->At(index.row());
        if (!a) return;
        current_ = std::int64_t(model_->First()) + index.row();
        if (!actions_.jumpTo) return;
        const auto cell = std::int64_t(a->start);
        guarded([this, cell] { actions_.jumpTo(cell); })();
    });
    connect(scroll_, &QScrollBar::valueChanged, this,
            [this, guarded](int first) { guarded([this, first] { ShowPageFrom(first); })(); });
    ShowProgress(-1);
}

DecodeWindow::~DecodeWindow() = default;

void DecodeWindow::ShowSource(const sigrokdecode::AnnotationSource* source,
                              const sampling::TimeBase& timeBase) {
    model_->SetSource(source, timeBase);
    current_ = -1;
    list_->selectionModel()->clear();
    scroll_->setValue(0);
    FitPage();
}

void DecodeWindow::Guarded(const std::function<void()>& f) {
    if (actions_.guard)
        actions_.guard(f);
    else
        f();
}

int DecodeWindow::WholeRows() const {
    const int row = std::max(1, list_->verticalHeader()->defaultSectionSize());
    return std::max(1, list_->viewport()->height() / row);
}

void DecodeWindow::FitPage() {
    const int whole = WholeRows();
    // A scroll bar counts in int; a list that long ends there (the rows in
    // the diagram and the export still have every annotation).
    const auto total = std::int64_t(
        std::min<std::size_t>(model_->Total(), std::size_t(std::numeric_limits<int>::max())));
    scroll_->setRange(0, int(std::max<std::int64_t>(0, total - whole)));
    scroll_->setPageStep(whole);
    ShowPageFrom(scroll_->value());
}

void DecodeWindow::ShowPageFrom(int first) {
    model_->SetPage(std::size_t(std::max(first, 0)), WholeRows());
    // The highlight stays on its annotation, wherever that is on the page.
    const std::int64_t local = current_ - std::int64_t(model_->First());
    if (current_ >= 0 && local >= 0 && local < model_->rowCount())
        list_->selectionModel()->setCurrentIndex(model_->index(int(local), 0),
                                                 QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
    else
        list_->selectionModel()->clear();
}

void DecodeWindow::MoveCurrentTo(std::int64_t index) {
    const auto total = std::int64_t(model_->Total());
    if (total == 0) return;
    current_ = std::clamp<std::int64_t>(index, 0, total - 1);
    const int whole = WholeRows();
    const int first = scroll_->value();
    if (current_ < first)
        scroll_->setValue(int(current_));
    else if (current_ >= std::int64_t(first) + whole)
        scroll_->setValue(int(current_ - whole + 1));
    ShowPageFrom(scroll_->value());
}

bool DecodeWindow::Key(int key) {
    const std::int64_t at = current_ >= 0 ? current_ : std::int64_t(model_->First());
    const int whole = WholeRows();
    switch (key) {
    case Qt::Key_Up:
        MoveCurrentTo(at - 1);
        return true;
    case Qt::Key_Down:
        MoveCurrentTo(current_ >= 0 ? at + 1 : at);
        return true;
    case Qt::Key_PageUp:
        MoveCurrentTo(at - whole);
        return true;
    case Qt::Key_PageDown:
        MoveCurrentTo(at + whole);
        return true;
    case Qt::Key_Home:
        MoveCurrentTo(0);
        return true;
    case Qt::Key_End:
        MoveCurrentTo(std::int64_t(model_->Total()) - 1);
        return true;
    default:
        return false;
    }
}

bool DecodeWindow::eventFilter(QObject* watched, QEvent* event) {
    bool handled = false;
    const auto run = [this, watched, event, &handled] {
        if (watched == list_->viewport() && event->type() == QEvent::Wheel) {
            // The view has nothing to scroll: the wheel moves the list's own bar.
            QCoreApplication::sendEvent(scroll_, event);
            handled = true;
        } else if (watched == list_->viewport() && event->type() == QEvent::Resize) {
            FitPage();
        } else if (watched == list_ && event->type() == QEvent::KeyPress) {
            handled = Key(static_cast<QKeyEvent*>(event)->key());
        }
    };
    Guarded(run);
    return handled || QWidget::eventFilter(watched, event);
}

void DecodeWindow::ShowProgress(double fraction) {
    const bool running = fraction >= 0;
    progress_->setVisible(running);
    cancel_->setVisible(running);
    if (running) progress_->setValue(int(fraction * 1000));
}

void DecodeWindow::ShowStatus(const QString& text) {
    status_->setText(text);
}
