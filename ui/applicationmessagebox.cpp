#include "applicationmessagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

void ApplicationMessageBox::show(const QString &title, const QString &body)
{
    QPointer<QWidget> activeWindow = QApplication::activeWindow();
    QPointer<QWidget> focus = activeWindow ? activeWindow->focusWidget() : nullptr;

    QMessageBox box(QMessageBox::NoIcon, title, body, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    if (activeWindow)
        box.setScreen(activeWindow->screen());
    box.exec();

    if (activeWindow) {
        activeWindow->activateWindow();
        if (focus)
            focus->setFocus(Qt::ActiveWindowFocusReason);
    }
}
