// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QPixmap>
#if QT_CONFIG(process)
#include <QProcess>
#endif
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

// Shows a window as the program shows its own, at its place and size, and
// makes it the active one, as a click on it would. Under Wayland a client
// cannot activate its own window, and weston's headless backend has no seat
// to give it the keyboard; there the test marks the window active itself
// once the compositor shows it.
// A window manager on a machine busy with other work (CI builds Qt beside
// the tests) may take some seconds to show and activate a window.
constexpr int WindowManagerWait = 30000;

inline bool showActive(QWidget *window)
{
    window->showNormal();
    window->activateWindow();
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return QTest::qWaitForWindowActive(window, WindowManagerWait);
    if (!QTest::qWaitForWindowExposed(window, WindowManagerWait))
        return false;
    QApplication::setActiveWindow(window);
    return window->isActiveWindow();
}

// Waits until a window manager of the X servers has told the window's frame:
// it does so some time after it first shows the window. Elsewhere the
// frame is known once the window is on screen (the browser lays it out
// then), with the window (Windows) or there is none.
inline bool waitForFrame(QWidget *window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return QTest::qWaitForWindowExposed(window, WindowManagerWait);
    return QTest::qWaitForWindowExposed(window, WindowManagerWait)
        && QTest::qWaitFor([window] { return !window->windowHandle()->frameMargins().isNull(); },
                           WindowManagerWait);
}

// Where the compositor gives no window the keyboard (Wayland, above), the
// window the operator would be typing into: a box while one is up.
inline void followActiveWindow(QWidget *window)
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return;
    QWidget *modal = QApplication::activeModalWidget();
    QApplication::setActiveWindow(modal ? modal : window);
}

// The part of a widget that the screen can show back: on a display server
// the part that lies on its screen; Qt's offscreen platform keeps whole
// windows.
inline QRect visiblePart(const QWidget *widget)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return widget->rect();
    return widget->rect() & widget->screen()->geometry().translated(-widget->mapToGlobal(QPoint()));
}

// What the screen shows of a part of a widget: what its window last flushed
// there, which a repaint of too small a part leaves stale. A Wayland client
// cannot read the screen back; there it is the part as it renders afresh.
inline QImage onScreen(QWidget *widget, QRect part)
{
    const QPoint origin = widget->mapTo(widget->window(), part.topLeft());
    const QPixmap shot = widget->screen()->grabWindow(widget->window()->winId(), origin.x(), origin.y(),
                                                      part.width(), part.height());
    return (shot.isNull() ? widget->grab(part) : shot).toImage().convertToFormat(QImage::Format_RGB32);
}

// Waits until the screen shows a widget as it renders afresh, once the event
// loop has delivered its repaints; a repaint that misses part of a change
// never gets there. Qt's offscreen platform reads back no more than the
// window's size in logical pixels: at a scale factor, the part it has.
inline bool screenShowsWidget(QWidget *widget)
{
    const QRect part = visiblePart(widget);
    const QImage rendered = widget->grab(part).toImage().convertToFormat(QImage::Format_RGB32);
    return QTest::qWaitFor([&] {
        const QImage shown = onScreen(widget, part);
        return shown == rendered.copy(QRect(QPoint(), shown.size()));
    });
}

// Runs one of the display server's tools (setxkbmap, xdotool, xrandr) to its
// end and gives what it printed; false where it fails, and where the
// platform starts no programs (the browser).
inline bool runTool(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
#if QT_CONFIG(process)
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return false;
    if (output)
        *output = process.readAllStandardOutput();
    return true;
#else
    Q_UNUSED(program);
    Q_UNUSED(arguments);
    Q_UNUSED(output);
    return false;
#endif
}
