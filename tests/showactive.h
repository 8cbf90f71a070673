#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

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

// Where the compositor gives no window the keyboard (Wayland, above), the
// window the operator would be typing into: a box while one is up.
inline void followActiveWindow(QWidget *window)
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return;
    QWidget *modal = QApplication::activeModalWidget();
    QApplication::setActiveWindow(modal ? modal : window);
}
