// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start in a browser, which offers a program no fonts and
// keeps the page's last picture when the program ends: the faces the
// window names come with the page and are registered before the window is
// built; the boxes take the face Linux desktops give them; and the page
// learns when the last window has closed, so that it can say so.

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>

#include <emscripten/val.h>

namespace {

// Where the page's faces are preloaded, and the page's function that shows
// the program's end.
constexpr const char *FacesFolder = "/faces";
constexpr const char *EndedFunction = "perforonEnded";

// The application font of a Linux desktop without settings of its own.
constexpr const char *BoxFace = "DejaVu Sans";
constexpr int BoxPointSize = 9;

void startInBrowser()
{
    const QDir faces(QString::fromLatin1(FacesFolder));
    for (const QString &face : faces.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(faces.filePath(face));
    QApplication::setFont(QFont(QString::fromLatin1(BoxFace), BoxPointSize));

    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [] {
        const emscripten::val ended = emscripten::val::global(EndedFunction);
        if (ended.typeOf().as<std::string>() == "function")
            ended();
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startInBrowser)
