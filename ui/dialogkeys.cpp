// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// A text box takes typed characters, Enter, Esc and the arrow keys itself,
// so none of the window's keyboard roles acts while it has the focus.
bool takesTyping(const QWidget *widget)
{
    return qobject_cast<const QPlainTextEdit *>(widget) != nullptr;
}

Qt::KeyboardModifiers modifiersOf(const QKeyEvent *key)
{
    return key->modifiers() & ~Qt::KeypadModifier;
}

} // namespace

DialogKeys::DialogKeys(QWidget *window) : QObject(window), window(window)
{
    window->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &DialogKeys::updateDefaultFrames);
}

void DialogKeys::watch(QWidget *control)
{
    control->installEventFilter(this);
}

void DialogKeys::addDefaultButton(QPushButton *button)
{
    defaultButtons.append(button);
}

void DialogKeys::setCancelButton(QPushButton *button)
{
    cancelButton = button;
}

bool DialogKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && qobject_cast<QPushButton *>(watched)) {
        updateDefaultFrames();
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        // The window sees the keys its focused control did not take.
        return watched == window ? windowKey(key) : controlKey(static_cast<QWidget *>(watched), key);
    }
    return false;
}

bool DialogKeys::controlKey(QWidget *control, const QKeyEvent *key)
{
    const Qt::KeyboardModifiers modifiers = modifiersOf(key);
    if ((modifiers == Qt::AltModifier || modifiers == (Qt::AltModifier | Qt::ShiftModifier))
        && key->text().size() == 1) {
        const QChar letter = key->text().at(0);
        // Alt with a mnemonic letter, shifted or not, presses its button from
        // any control, a text box included.
        if (pressMnemonic(letter))
            return true;
        // Alt with any other character is a command too, as on Windows: a
        // text box types nothing for it.
        if (takesTyping(control) && letter.isPrint())
            return true;
    }
    if (!qobject_cast<QAbstractButton *>(control))
        return false;
    switch (key->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Up:
        // With Alt down the arrows are not the window's.
        if (!(modifiers & Qt::AltModifier))
            moveFocusAmongSiblings(control, key->key() == Qt::Key_Right || key->key() == Qt::Key_Down);
        return true;
    default:
        return false;
    }
}

bool DialogKeys::windowKey(const QKeyEvent *key)
{
    if (takesTyping(window->focusWidget()))
        return false;
    const Qt::KeyboardModifiers modifiers = modifiersOf(key);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers != Qt::NoModifier)
            return false;
        for (QPushButton *button : std::as_const(defaultButtons)) {
            if (button->isEnabled()) {
                button->click();
                return true;
            }
        }
        return false;
    case Qt::Key_Escape:
        if (modifiers != Qt::NoModifier || !cancelButton || !cancelButton->isEnabled())
            return false;
        cancelButton->click();
        return true;
    default:
        return (modifiers & ~(Qt::ShiftModifier | Qt::AltModifier)) == Qt::NoModifier
            && key->text().size() == 1 && pressMnemonic(key->text().at(0));
    }
}

bool DialogKeys::pressMnemonic(QChar letter)
{
    if (!letter.isLetterOrNumber())
        return false;
    const auto buttons = window->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
        if (!mnemonic.isEmpty() && mnemonic[0].key() == letter.toUpper().unicode()) {
            if (button->isEnabled() && button->isVisible())
                button->animateClick();
            return true; // the letter is a mnemonic's: it types nothing
        }
    }
    return false;
}

void DialogKeys::moveFocusAmongSiblings(QWidget *from, bool forward)
{
    // Siblings were created in tab order, so their order among the parent's
    // children is their tab order.
    QWidgetList siblings;
    for (QObject *child : from->parentWidget()->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child))
            siblings.append(widget);
    }
    const qsizetype count = siblings.size();
    const qsizetype i = siblings.indexOf(from);
    for (qsizetype step = 1; step < count; ++step) {
        QWidget *next = siblings.at(((i + (forward ? step : -step)) % count + count) % count);
        if (next->focusPolicy() != Qt::NoFocus && next->isEnabled() && next->isVisible()) {
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void DialogKeys::updateDefaultFrames()
{
    // A default button is drawn as such while Enter would press it: the
    // focused button always, a default-kind button while the focus is on
    // something that neither is a button nor takes Enter.
    QWidget *focus = window->focusWidget();
    const bool enterIsFree = !qobject_cast<QAbstractButton *>(focus) && !takesTyping(focus);
    for (QPushButton *button : std::as_const(defaultButtons))
        button->setDefault(button == focus || (enterIsFree && button->isEnabled()));
}
