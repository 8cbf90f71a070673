// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>

class QKeyEvent;
class QPushButton;
class QWidget;

// The keys a dialog gives its buttons, for a plain window: Enter presses the
// default button, Esc the cancel button, a button's mnemonic letter presses
// it (with Alt from anywhere, alone where the focus takes no typing), and the
// arrow keys move the focus among a button's siblings. A default button
// wears the heavier frame while Enter would press it.
class DialogKeys : public QObject
{
    Q_OBJECT

public:
    explicit DialogKeys(QWidget *window);

    // Every control that can take the focus is watched for its keys.
    void watch(QWidget *control);

    void addDefaultButton(QPushButton *button);
    void setCancelButton(QPushButton *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool controlKey(QWidget *control, const QKeyEvent *key);
    bool windowKey(const QKeyEvent *key);
    bool pressMnemonic(QChar letter);
    void moveFocusAmongSiblings(QWidget *from, bool forward);
    void updateDefaultFrames();

    QWidget *window;
    QList<QPushButton *> defaultButtons;
    QPushButton *cancelButton = nullptr;
};
