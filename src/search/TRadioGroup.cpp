#include "search/TRadioGroup.h"

#include "platform/Guard.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

TRadioGroup::TRadioGroup(const QString& name, const QString& title, const QStringList& items,
                         int columns, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
    setObjectName(name);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setVerticalSpacing(2);
    const int count = static_cast<int>(items.size());
    const int rows = (count + columns - 1) / columns;
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(items[i], this);
        button->setObjectName(name + QLatin1Char('_') + QString::number(i));
        group_->addButton(button, i);
        grid->addWidget(button, i % rows, i / rows);
        buttons_.append(button);
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int index) {
        // The dialog's handlers run from this signal; those of other owners
        // may not guard themselves.
        guard::Run(nullptr, [this, index] {
            if (index == itemIndex_) return;
            itemIndex_ = index;
            emit itemChosen(index);
        });
    });
}

void TRadioGroup::SetItemIndex(int index) {
    if (index < -1) index = -1;
    if (index >= Count()) index = Count() - 1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    check(index);
    emit itemChosen(index);
}

void TRadioGroup::check(int index) {
    if (index >= 0) {
        buttons_[index]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; clearing needs a pause.
    group_->setExclusive(false);
    for (QRadioButton* b : buttons_)
        b->setChecked(false);
    group_->setExclusive(true);
}
