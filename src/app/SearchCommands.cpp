#include "SearchCommands.h"

#include "RecordingCommands.h"
#include "TMain1.h"
#include "search/TOKBottomDlg1.h"

#include <QAction>
#include <QScrollBar>

namespace {
struct KindItem {
    int kind;
    QAction* MainActions::*item;
};
constexpr KindItem kKindItems[] = {{0, &MainActions::bits1},
                                   {1, &MainActions::Nibbel1},
                                   {3, &MainActions::Byte1},
                                   {4, &MainActions::Word1}};
} // namespace

SearchCommands::SearchCommands(TMain1& main, TOKBottomDlg1*& dialog)
    : QObject(&main), main_(main), dialog_(dialog) {}

void SearchCommands::Connect() {
    main_.OnAction(main_.Actions().Suchen3, [this] { Suchen3Click(); });
    main_.OnAction(main_.Actions().Weitersuchen1, [this] { Weitersuchen1Click(); });
    for (const auto& k : kKindItems) {
        const int kind = k.kind;
        main_.OnAction(main_.Actions().*k.item, [this, kind] { TriggerKindClick(kind); });
    }
}

void SearchCommands::Suchen3Click() {
    if (main_.Recording().RefusedForLongCapture(QStringLiteral("Suchen"))) return;
    if (dialog_) dialog_->OpenForSearch();
}

void SearchCommands::Weitersuchen1Click() {
    if (main_.Recording().RefusedForLongCapture(QStringLiteral("Suchen"))) return;
    if (dialog_) dialog_->ContinueSearch();
}

void SearchCommands::TriggerKindClick(int kind) {
    QAction* MainActions::*own = nullptr;
    for (const auto& k : kKindItems)
        if (k.kind == kind) own = k.item;
    if (!own || !dialog_) return;
    (main_.Actions().*own)->setChecked(true);
    dialog_->OpenForSync(kind, search::SyncCaption(kind));
    for (const auto& k : kKindItems)
        if (k.kind != kind) (main_.Actions().*k.item)->setChecked(false);
}

void SearchCommands::SetScrollBarPosition(int position) {
    main_.Ui().ScrollBar1->setValue(position);
}
