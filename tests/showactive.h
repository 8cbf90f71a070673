#pragma once

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>

// Shows a window and makes it the active one, as a click on it would.
// Under Wayland a client cannot activate its own window, and weston's
// headless backend has no seat to give it the keyboard; there the test marks
// the window active itself once the compositor shows it.
inline bool showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return QTest::qWaitForWindowActive(window);
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    QApplication::setActiveWindow(window);
    return window->isActiveWindow();
}

// Where the window system draws frames (the X servers' window managers,
// Windows), waits until the window is on screen and its frame is told: a
// window manager tells it some time after it first shows the window.
inline bool waitForFrame(QWidget *window)
{
    const QString platform = QGuiApplication::platformName();
    const bool framed = platform == QLatin1String("xcb") || platform == QLatin1String("windows");
    return QTest::qWaitForWindowExposed(window) && QTest::qWaitFor([window, framed] {
               return !framed || !window->windowHandle()->frameMargins().isNull();
           });
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
inline QImage onScreen(QWidget *widget, const QRect &part)
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
