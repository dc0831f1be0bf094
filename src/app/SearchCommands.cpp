#include "SearchCommands.h"

#include "TMain1.h"
#include "search/TOKBottomDlg1.h"

#include <QAction>
#include <QScrollBar>

namespace {
struct KindItem {
    int kind;
    const char* item;
};
constexpr KindItem kKindItems[] = {{0, "bits1"}, {1, "Nibbel1"}, {3, "Byte1"}, {4, "Word1"}};
} // namespace

SearchCommands::SearchCommands(TMain1& main, TOKBottomDlg1*& dialog)
    : QObject(&main), main_(main), dialog_(dialog) {}

void SearchCommands::Connect() {
    main_.OnAction(QStringLiteral("Suchen3"), [this] { Suchen3Click(); });
    main_.OnAction(QStringLiteral("Weitersuchen1"), [this] { Weitersuchen1Click(); });
    for (const auto& k : kKindItems) {
        const int kind = k.kind;
        main_.OnAction(QString::fromLatin1(k.item), [this, kind] { TriggerKindClick(kind); });
    }
}

void SearchCommands::Suchen3Click() {
    if (dialog_) dialog_->OpenForSearch();
}

void SearchCommands::Weitersuchen1Click() {
    if (dialog_) dialog_->ContinueSearch();
}

void SearchCommands::TriggerKindClick(int kind) {
    const char* own = nullptr;
    for (const auto& k : kKindItems)
        if (k.kind == kind) own = k.item;
    if (!own || !dialog_) return;
    main_.Action(QString::fromLatin1(own))->setChecked(true);
    dialog_->OpenForSync(kind, search::SyncCaption(kind));
    for (const auto& k : kKindItems)
        if (k.kind != kind) main_.Action(QString::fromLatin1(k.item))->setChecked(false);
}

void SearchCommands::SetScrollBarPosition(int position) {
    main_.Ui().ScrollBar1->setValue(position);
}
