// SPDX-FileCopyrightText: 2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessiblecontrols.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include <algorithm>

namespace {

// A button's caption as it reads: without the marks of its mnemonic.
QString withoutMnemonic(const QString &caption)
{
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i; // "&W" reads "W", "&&" reads "&"
        plain += caption.at(i);
    }
    return plain;
}

// A push button: its caption, state and press, the press refused while a
// box blocks its window. The press clicks later, from the button's own
// timer, as Qt's does: a handler that shows a box must not hold up the
// assistive technology's request while the box waits.
class AccessibleButton : public QAccessibleWidget
{
public:
    explicit AccessibleButton(QAbstractButton *button) : QAccessibleWidget(button, QAccessible::Button) { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && button()->accessibleName().isEmpty())
            return withoutMnemonic(button()->text());
        if (t == QAccessible::Accelerator)
            return QKeySequence::mnemonic(button()->text()).toString(QKeySequence::NativeText);
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->isDown();
        if (const auto *push = qobject_cast<const QPushButton *>(button()))
            state.defaultButton = push->isDefault();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &action) override
    {
        if (!widget()->isEnabled() || blockedByBox(widget()))
            return;
        if (action == pressAction())
            button()->animateClick();
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString &action) const override
    {
        const QString key = text(QAccessible::Accelerator);
        return action == pressAction() && !key.isEmpty() ? QStringList{key}
                                                         : QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
};

// A text box: its text with caret and selection, read as Qt shows them, and
// edits that a read-only box or one in a blocked window refuses. Offsets
// from outside are held to the text.
class AccessibleTextBox : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface
{
public:
    explicit AccessibleTextBox(QPlainTextEdit *box) : QAccessibleWidget(box, QAccessible::EditableText) { }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = box()->isReadOnly();
        state.editable = !state.readOnly;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? box()->toPlainText() : QAccessibleWidget::text(t);
    }

    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t == QAccessible::Value)
            replaceText(0, characterCount(), text);
        else
            QAccessibleWidget::setText(t, text);
    }

    // The caret and the one selection.
    void selection(int index, int *start, int *end) const override
    {
        const QTextCursor cursor = box()->textCursor();
        const bool selected = index == 0 && cursor.hasSelection();
        *start = selected ? cursor.selectionStart() : 0;
        *end = selected ? cursor.selectionEnd() : 0;
    }
    int selectionCount() const override { return box()->textCursor().hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            setSelection(0, cursorPosition(), cursorPosition());
    }
    void setSelection(int index, int start, int end) override
    {
        if (index != 0 || blockedByBox(box()))
            return;
        box()->setTextCursor(range(start, end));
    }
    int cursorPosition() const override { return box()->textCursor().position(); }
    void setCursorPosition(int position) override { setSelection(0, position, position); }

    QString text(int start, int end) const override
    {
        const QString all = box()->toPlainText();
        start = held(start);
        return all.mid(start, held(end) - start);
    }
    int characterCount() const override { return box()->document()->characterCount() - 1; }

    QRect characterRect(int offset) const override
    {
        const QTextCursor at = range(offset, offset);
        const QRect caret = box()->cursorRect(at);
        const QString character = text(offset, offset + 1);
        const int width = character.isEmpty() || character == u"\n"
            ? caret.width()
            : box()->fontMetrics().horizontalAdvance(character);
        return {box()->viewport()->mapToGlobal(caret.topLeft()), QSize(width, caret.height())};
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = box()->viewport()->mapFromGlobal(point);
        return box()->viewport()->rect().contains(local) ? box()->cursorForPosition(local).position() : -1;
    }
    void scrollToSubstring(int start, int end) override
    {
        Q_UNUSED(end);
        if (blockedByBox(box()))
            return;
        box()->setTextCursor(range(start, start));
        box()->ensureCursorVisible();
    }
    // The text has one look throughout: no attributes to tell.
    QString attributes(int offset, int *start, int *end) const override
    {
        Q_UNUSED(offset);
        *start = 0;
        *end = characterCount();
        return {};
    }

    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString &text) override
    {
        if (box()->isReadOnly() || blockedByBox(box()))
            return;
        range(start, end).insertText(text);
    }

private:
    QPlainTextEdit *box() const { return static_cast<QPlainTextEdit *>(widget()); }

    // An offset held to the text; -1, as assistive technology gives it,
    // stands for the end.
    int held(int offset) const { return offset < 0 ? characterCount() : std::min(offset, characterCount()); }

    QTextCursor range(int start, int end) const
    {
        QTextCursor cursor(box()->document());
        cursor.setPosition(held(start));
        cursor.setPosition(held(end), QTextCursor::KeepAnchor);
        return cursor;
    }
};

QAccessibleInterface *accessibleControl(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    // The main window as the one window it is, and the plain panel in it as
    // a panel, not as a second window frame.
    if (className == QLatin1String("TForm1"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String("QFrame"))
        return new QAccessibleWidget(widget, QAccessible::Pane);
    if (className == QLatin1String("QPushButton"))
        return new AccessibleButton(static_cast<QPushButton *>(widget));
    if (className == QLatin1String("QPlainTextEdit"))
        return new AccessibleTextBox(static_cast<QPlainTextEdit *>(widget));
    return nullptr;
}

} // namespace

bool blockedByBox(const QWidget *widget)
{
    const QWidget *box = QApplication::activeModalWidget();
    return box && widget && widget->window() != box;
}

void installAccessibleControls()
{
    static const bool installed = (QAccessible::installFactory(accessibleControl), true);
    Q_UNUSED(installed);
}
