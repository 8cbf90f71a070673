// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "applicationmessagebox.h"
#include "glyph.h"
#include "lightcolours.h"
#include "programname.h"
#include "tform1.h"

#include <QApplication>
#include <QGroupBox>

int main(int argc, char *argv[])
{
    // The program takes no arguments: Qt is shown only the program's own
    // name, so options such as -style or -reverse change nothing.
    (void)argc;
    int programOnly = 1;
    QApplication app(programOnly, argv);
    // The task bar and the window class carry the program file's name.
    QApplication::setApplicationName(taskBarName(QString::fromLocal8Bit(argv[0])));
    // Desktops match the window to its installed entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("perforon"));
    QApplication::setWindowIcon(programIcon());
    keepLightColours();

    ApplicationMessageBox messageBox;
    TForm1 form(messageBox);
    messageBox.keepClearOf(form.HoleCardGroup);
    // At its place and size: some platforms (a browser) show a new window
    // full screen by default.
    form.showNormal();
    return QApplication::exec();
}
