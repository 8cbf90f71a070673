// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "applicationmessagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

#include <algorithm>

namespace {

// Room left between the box's frame and the area it keeps clear of.
constexpr int ClearAreaGap = 8;

// The frame's top-left for a box of the given outer size: centred on the
// area's window, its bottom above the area, and on the screen.
QPoint placeAbove(const QWidget *area, QSize outer)
{
    const QWidget *window = area->window();
    const QRect screen = window->screen()->availableGeometry();
    const int areaTop = area->mapToGlobal(QPoint(0, 0)).y();
    const QRect frame = window->frameGeometry();
    // Centred in the band between the window's top edge and the area when
    // it fits there, else just above the area.
    int top = frame.top() + (areaTop - frame.top() - outer.height()) / 2;
    top = std::min(top, areaTop - ClearAreaGap - outer.height());
    const int left = frame.center().x() - outer.width() / 2;
    return {std::clamp(left, screen.left(), std::max(screen.left(), screen.right() + 1 - outer.width())),
            std::clamp(top, screen.top(), std::max(screen.top(), screen.bottom() + 1 - outer.height()))};
}

// A message box placed off an area by the size it shows with: Qt sizes a
// message box to its text, wrapped or not, only as it shows it.
class BoxOffArea : public QMessageBox
{
    Q_OBJECT

public:
    BoxOffArea(const QWidget *area, const QString &title, const QString &body)
        : QMessageBox(QMessageBox::NoIcon, title, body, QMessageBox::Ok), area(area)
    { }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        if (event->spontaneous() || !area || !area->isVisible())
            return;
        // The box's frame is not known before it is on screen; the window's
        // stands in for it. The frame goes where the box is placed; the
        // widget is moved there too, so that showing it keeps the place.
        const QWidget *window = area->window();
        const QPoint place = placeAbove(area, size() + window->frameGeometry().size() - window->size());
        move(place);
        windowHandle()->setFramePosition(place);
        windowHandle()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Once the box is on screen its frame is known: where it differs from
        // the window's that stood in for it (in the browser), the box moves
        // once to the place for its real frame; later the operator may move
        // it.
        if (watched == windowHandle() && event->type() == QEvent::Expose
            && !windowHandle()->frameMargins().isNull() && area && area->isVisible()) {
            windowHandle()->removeEventFilter(this);
            const QPoint place = placeAbove(area, frameGeometry().size());
            if (frameGeometry().topLeft() != place)
                windowHandle()->setFramePosition(place);
        }
        return QMessageBox::eventFilter(watched, event);
    }

private:
    QPointer<const QWidget> area;
};

} // namespace

void ApplicationMessageBox::show(const QString &title, const QString &body)
{
    QPointer<QWidget> activeWindow = QApplication::activeWindow();
    QPointer<QWidget> focus = activeWindow ? activeWindow->focusWidget() : nullptr;

    BoxOffArea box(clearArea, title, body);
    // A message box's frame: a title and a close box, nothing to minimise
    // or maximise; and its one button bare, without the style's picture.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                       | Qt::WindowCloseButtonHint);
    box.button(QMessageBox::Ok)->setIcon(QIcon());
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

#include "applicationmessagebox.moc"
