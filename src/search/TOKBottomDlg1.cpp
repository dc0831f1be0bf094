#include "search/TOKBottomDlg1.h"

#include "display/TTrazor.h"
#include "platform/Desktop.h"
#include "platform/Guard.h"
#include "search/SearchHost.h"
#include "search/SyncSetup.h"
#include "search/TRadioGroup.h"
#include "search/TrazorCells.h"
#include "search/TriggerSettings.h"
#include "support/THexEdit.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace search {
QString SyncCaption(int kind) {
    switch (kind) {
    case KindBits:
        return QStringLiteral("Synchronmodus Bit´s");
    case KindNibbleLo:
    case KindNibbleHi:
        return QStringLiteral("Synchronmodus Nibbel");
    case KindByte:
        return QStringLiteral("Synchronmodus Byte");
    case KindWord:
        return QStringLiteral("Synchronmodus Word");
    default:
        return QString();
    }
}
} // namespace search

namespace {

using namespace search;

QStringList lineItems() {
    QStringList items;
    for (int i = 1; i <= 16; ++i)
        items << QStringLiteral("Bit %1").arg(i);
    return items;
}

// Runs a search once at a time: pending events may bring a second request
// while the first one still walks the buffer.
class SearchGuard {
  public:
    explicit SearchGuard(bool& flag) : flag_(flag), entered_(!flag) { flag_ = true; }
    ~SearchGuard() {
        if (entered_) flag_ = false;
    }
    bool entered() const { return entered_; }

  private:
    bool& flag_;
    bool entered_;
};

} // namespace

TOKBottomDlg1::TOKBottomDlg1(QWidget* parent, TTrazor& trazor, Desktop& desktop,
                             TriggerSettings& trigger, SearchHost& host)
    : QDialog(parent), trazor_(trazor), desktop_(desktop), trigger_(trigger), host_(host) {
    setObjectName(QStringLiteral("OKBottomDlg1"));
    setWindowTitle(QStringLiteral("Suchen"));
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    buildControls();
}

void TOKBottomDlg1::buildControls() {
    radioGroup2_ = new TRadioGroup(
        QStringLiteral("RadioGroup2"), QStringLiteral(" Globalparameter "),
        {QStringLiteral("Bit´s"), QStringLiteral("Nibbel Lo"), QStringLiteral("Nibbel Hi"),
         QStringLiteral("Byte"), QStringLiteral("Word")},
        5, this);
    radioGroup1_ = new TRadioGroup(QStringLiteral("RadioGroup1"), QStringLiteral(" Bitauswahl "),
                                   lineItems(), 4, this);
    radioGroup3_ = new TRadioGroup(QStringLiteral("RadioGroup3"), QStringLiteral(" Flanke "),
                                   {QStringLiteral("0 --> 1"), QStringLiteral("1 --> 0")}, 1, this);
    radioGroup4_ = new TRadioGroup(QStringLiteral("RadioGroup4"), QStringLiteral(" Nibbel,Byte "),
                                   {QStringLiteral("Low"), QStringLiteral("High")}, 1, this);
    radioGroup1_->setEnabled(false);
    radioGroup3_->setEnabled(false);
    radioGroup4_->setEnabled(false);
    connect(radioGroup2_, &TRadioGroup::itemChosen, this,
            guard::Slot(&desktop_, [this] { RadioGroup2Click(); }));

    auto* label1 = new QLabel(QStringLiteral("Nibbel / Byte / Word"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    hexEdit1_ = new THexEdit(this);
    hexEdit1_->setObjectName(QStringLiteral("HexEdit1"));
    QFont bold = hexEdit1_->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    hexEdit1_->setFont(bold);
    hexEdit1_->Setmaxlength(8);
    hexEdit1_->setEnabled(false);
    label1->setBuddy(hexEdit1_);

    progressBar1_ = new QProgressBar(this);
    progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar1_->setRange(0, 100);
    progressBar1_->setValue(0);
    progressBar1_->setTextVisible(false);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    // The searches pump events and may raise errors: neither may reach Qt.
    connect(ok, &QPushButton::clicked, this, guard::Slot(&desktop_, [this] { OKBtnClick(); }));
    connect(cancel, &QPushButton::clicked, this,
            guard::Slot(&desktop_, [this] { CancelBtnClick(); }));

    auto* valueColumn = new QVBoxLayout;
    valueColumn->addWidget(radioGroup3_);
    valueColumn->addWidget(radioGroup4_);
    valueColumn->addWidget(label1);
    valueColumn->addWidget(hexEdit1_);
    valueColumn->addStretch();

    auto* middle = new QHBoxLayout;
    middle->addWidget(radioGroup1_, 1);
    middle->addLayout(valueColumn);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(progressBar1_, 1);
    buttons->addSpacing(12);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(radioGroup2_);
    layout->addLayout(middle);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TOKBottomDlg1::OpenForSearch() {
    tag_ = 0;
    setWindowTitle(QStringLiteral("Spurwerk : Suchen in den Daten"));
    progressBar1_->setValue(0);
    showAtFront();
}

void TOKBottomDlg1::OpenForSync(int kind, const QString& caption) {
    progressBar1_->setValue(0);
    setWindowTitle(caption);
    tag_ = 1;
    lockedKind_ = kind;
    radioGroup2_->SetItemIndex(kind);
    showAtFront();
}

void TOKBottomDlg1::ContinueSearch() {
    switch (radioGroup2_->ItemIndex()) {
    case KindBits:
        search_next_bit(radioGroup1_->ItemIndex(), radioGroup3_->ItemIndex());
        break;
    case KindNibbleLo:
    case KindNibbleHi:
        search_next_nibbel(hexEdit1_->Hexvalue(), radioGroup4_->ItemIndex());
        break;
    default:
        break;
    }
}

void TOKBottomDlg1::showAtFront() {
    show();
    raise();
    activateWindow();
}

void TOKBottomDlg1::changeEvent(QEvent* event) {
    // On activation the set-up mode holds to the kind it shows.
    guard::Run(&desktop_, [this, event] {
        if (event->type() == QEvent::ActivationChange && isActiveWindow() && tag_ > 0)
            lockedKind_ = radioGroup2_->ItemIndex();
    });
    QDialog::changeEvent(event);
}

void TOKBottomDlg1::RadioGroup2Click() {
    if (changingKind_) return;
    changingKind_ = true;
    const KindChoice choice = ResolveKindChange(tag_, lockedKind_, radioGroup2_->ItemIndex());
    lockedKind_ = choice.lockedKind;
    if (choice.kind != radioGroup2_->ItemIndex()) radioGroup2_->SetItemIndex(choice.kind);
    applyKind(choice.kind);
    changingKind_ = false;
}

void TOKBottomDlg1::applyKind(int kind) {
    const auto choose = [](TRadioGroup* group, int index) {
        group->setEnabled(index >= 0);
        group->SetItemIndex(index);
    };
    switch (kind) {
    case KindBits:
        choose(radioGroup1_, 0);
        choose(radioGroup3_, EdgeRising);
        choose(radioGroup4_, -1);
        hexEdit1_->clear();
        hexEdit1_->setEnabled(false);
        break;
    case KindNibbleLo:
    case KindNibbleHi:
    case KindByte:
        choose(radioGroup4_, ByteLow);
        choose(radioGroup1_, -1);
        choose(radioGroup3_, -1);
        hexEdit1_->Setmaxlength(kind == KindByte ? 2 : 1);
        hexEdit1_->setEnabled(true);
        break;
    case KindWord:
        choose(radioGroup1_, -1);
        choose(radioGroup3_, -1);
        choose(radioGroup4_, -1);
        hexEdit1_->Setmaxlength(4);
        hexEdit1_->setEnabled(true);
        break;
    default:
        break;
    }
}

void TOKBottomDlg1::OKBtnClick() {
    const int kind = radioGroup2_->ItemIndex();
    if (tag_ == 0) {
        if (kind == KindBits) {
            search_bit(radioGroup1_->ItemIndex(), radioGroup3_->ItemIndex());
        } else if (kind == KindNibbleLo || kind == KindNibbleHi) {
            // Enter or a click may reach OK while the field still holds an
            // uncommitted text; search for what the field shows.
            hexEdit1_->SetNumRETURN(true);
            search_nibbel(hexEdit1_->Hexvalue(), radioGroup4_->ItemIndex());
        }
        return;
    }
    if (kind >= KindNibbleLo && kind <= KindWord) hexEdit1_->SetNumRETURN(true);
    StoreSyncParameters(trigger_, kind, radioGroup1_->ItemIndex(), radioGroup3_->ItemIndex(),
                        hexEdit1_->Hexvalue());
    hide();
}

void TOKBottomDlg1::CancelBtnClick() {
    hide();
}

void TOKBottomDlg1::showCell(std::int32_t cellsPos) {
    trazor_.Option().SetCellsPos(cellsPos);
    trazor_.DrawScale(trazor_.Option().CellsPos());
    trazor_.DrawBaseLines();
    trazor_.DrawSignals();
}

void TOKBottomDlg1::search_bit(int line, int edge) {
    search_next_bit(line, edge);
    hide();
}

void TOKBottomDlg1::search_next_bit(int line, int edge) {
    const SearchGuard guard(searching_);
    if (!guard.entered()) return;
    progressBar1_->setValue(0);
    const std::int32_t size = trazor_.Option().CellsSize();
    const auto hit = FindEdge(TrazorCells(trazor_), trazor_.Option().CellsPos(), size, line, edge,
                              [this] { desktop_.PumpEvents(); });
    if (!hit) return;
    // The last cell before the edge goes to the left border.
    trazor_.Option().SetCellsPos(*hit - 1);
    host_.SetScrollBarPosition(ScrollBarPosition(trazor_.Option().CellsPos(), size));
    showCell(trazor_.Option().CellsPos());
}

void TOKBottomDlg1::search_nibbel(std::int32_t value, int byte) {
    const SearchGuard guard(searching_);
    if (guard.entered()) {
        progressBar1_->setValue(0);
        if (const auto hit = findNibble(0, value, byte, true)) {
            desktop_.Beep();
            showCell(*hit);
        }
    }
    hide();
}

void TOKBottomDlg1::search_next_nibbel(std::int32_t value, int byte) {
    const SearchGuard guard(searching_);
    if (guard.entered()) {
        progressBar1_->setValue(0);
        const std::int32_t from = trazor_.Option().CellsPos() + 1;
        if (const auto hit = findNibble(from, value, byte, false)) showCell(*hit);
    }
    hide();
}

std::optional<std::int32_t> TOKBottomDlg1::findNibble(std::int32_t first, std::int32_t value,
                                                      int byte, bool withProgress) {
    const auto onBlock = [this, withProgress] {
        if (withProgress)
            progressBar1_->setValue(std::min(progressBar1_->value() + 1, progressBar1_->maximum()));
        desktop_.PumpEvents();
    };
    return FindNibble(TrazorCells(trazor_), first, trazor_.Option().CellsSize(), value, byte,
                      radioGroup2_->ItemIndex(), onBlock);
}
