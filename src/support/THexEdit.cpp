#include "support/THexEdit.h"

#include "platform/Guard.h"
#include "support/HexDigits.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <algorithm>

namespace {
constexpr int kMostDigits = 8;

bool isDroppedKey(const QKeyEvent& event) {
    // The keypad's decimal key reports itself as a period or, on some
    // layouts, a comma; both are dropped like the main keyboard's keys.
    return event.key() == Qt::Key_Period || event.key() == Qt::Key_Comma;
}
} // namespace

THexEdit::THexEdit(QWidget* parent) : QLineEdit(parent) {
    applyLengthLimit();
    connect(this, &QLineEdit::textChanged, this, guard::Slot(nullptr, [this] {
                // A text left longer than the limit may shrink, but never grow again.
                const int limit = std::max(maxlength_, static_cast<int>(text().size()));
                if (maxLength() <= limit) return;
                const int cursor = cursorPosition();
                setMaxLength(limit);
                setCursorPosition(cursor);
            }));
}

void THexEdit::SetNumRETURN(bool value) {
    if (value) Commit();
}

void THexEdit::Setmaxlength(int value) {
    maxlength_ = std::clamp(value, 1, kMostDigits);
    applyLengthLimit();
}

void THexEdit::Commit() {
    hexvalue_ = hexdigits::TextToValue(text());
    const QString shown = hexdigits::ValueToText(hexvalue_, maxlength_);
    // Widen the limit before setting the text: a value may need more digits
    // than the field's length, and the widget would cut them off.
    setMaxLength(std::max(maxlength_, static_cast<int>(shown.size())));
    setText(shown);
}

void THexEdit::applyLengthLimit() {
    // The widget cuts its text to a new limit; ours only limits what is typed
    // or pasted next, so a longer text stays until the next commit.
    setMaxLength(std::max(maxlength_, static_cast<int>(text().size())));
}

void THexEdit::keyPressEvent(QKeyEvent* event) {
    guard::Run(nullptr, [this, event] {
        if (isDroppedKey(*event)) return;
        const QString typed = event->text();
        const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        if (!shortcut && typed.size() == 1 && typed[0].isPrint() &&
            !hexdigits::IsAcceptedChar(typed[0]))
            return;
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            // Commit before the dialog's default button sees the key, so the
            // button acts on the value the field shows.
            Commit();
        }
        QLineEdit::keyPressEvent(event);
    });
}

void THexEdit::focusOutEvent(QFocusEvent* event) {
    guard::Run(nullptr, [this, event] {
        // The field's own context menu takes the focus only for a moment.
        if (event->reason() != Qt::PopupFocusReason) Commit();
        QLineEdit::focusOutEvent(event);
    });
}
