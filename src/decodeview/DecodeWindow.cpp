#include "decodeview/DecodeWindow.h"

#include "decodeview/AnnotationTableModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

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
    layout->addWidget(list_, 1);

    const auto guarded = [this](const std::function<void()>& f) {
        return [this, f] {
            if (!f) return;
            if (actions_.guard)
                actions_.guard(f);
            else
                f();
        };
    };
    connect(setupButton, &QPushButton::clicked, this, guarded(actions_.setup));
    connect(exportButton, &QPushButton::clicked, this, guarded(actions_.exportAnnotations));
    connect(cancel_, &QPushButton::clicked, this, guarded(actions_.cancel));
    connect(list_, &QTableView::clicked, this, [this, guarded](const QModelIndex& index) {
        const auto a = model_->At(index.row());
        if (!a || !actions_.jumpTo) return;
        const auto cell = std::int64_t(a->start);
        guarded([this, cell] { actions_.jumpTo(cell); })();
    });
    // Each batch once the window has answered its events, so a click or a
    // scroll never waits for the whole list.
    fill_ = new QTimer(this);
    fill_->setInterval(0);
    connect(fill_, &QTimer::timeout, this, guarded([this] {
                if (!model_->ShowMore()) fill_->stop();
            }));
    ShowProgress(-1);
}

DecodeWindow::~DecodeWindow() = default;

void DecodeWindow::ShowSource(const sigrokdecode::AnnotationSource* source,
                              const sampling::TimeBase& timeBase) {
    model_->SetSource(source, timeBase);
    if (model_->Complete())
        fill_->stop();
    else
        fill_->start();
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
