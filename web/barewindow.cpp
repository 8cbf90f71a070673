// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A bare Qt window of the program's size with one label, built as the
// program is: what the page benchmark sets Perforon beside.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1369, 712);
    new QLabel(QStringLiteral("Perforon"), &window);
    window.show();
    return QApplication::exec();
}
