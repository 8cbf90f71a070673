// SPDX-FileCopyrightText: 2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Screen-reader support in the browser. The page shows the program's
// windows as pictures, which screen readers cannot read. Once the visitor
// switches support on (the page's switch calls perforonScreenReader), every
// visible window is also kept as plain HTML in the page's #accessible
// element, which screen readers read and work like any page: a button by
// its caption, disabled while the program's is, pressing the program's; a
// text box with its text, which typing there changes; a label with its text;
// the card with what it shows; each message box as a dialog with its title
// and text. The mirror follows what the widgets report to accessibility,
// once per turn of the event loop, and takes the keyboard focus into each
// box that comes up and back out of it. While a box is up it is the page's
// modal dialog and the windows behind it are inert, as the program's are:
// a reader cannot reach them, and what still reaches them is refused.

#include "accessiblecontrols.h"
#include "wakeup.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <emscripten.h>
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

using emscripten::val;

namespace {

// The page's element that holds the mirror, and the attribute that ties an
// element to the widget it mirrors.
constexpr const char *MirrorElement = "accessible";
constexpr const char *WidgetAttribute = "data-widget";

class PageMirror
{
public:
    static PageMirror &instance()
    {
        static PageMirror mirror;
        return mirror;
    }

    void switchOn();
    void press(int widget) const;
    void type(int widget, const QString &text);

private:
    struct Mirrored
    {
        QPointer<QObject> object;
        val element;
        QAccessible::Role role;
    };

    static void accessibilityUpdate(QAccessibleEvent *event);
    void schedule();
    void update();
    QSet<int> boxes() const;
    void moveFocus(bool boxesGone);
    void mirror(QAccessibleInterface *iface, const val &parent, int index, QSet<int> &seen);
    val elementFor(QAccessibleInterface *iface, int widget);
    static void showState(QAccessibleInterface *iface, const val &element);
    QAccessibleInterface *interfaceOf(int widget) const;

    // Each widget's id for as long as it lives; the element of each widget
    // that shows, by its id.
    QHash<QObject *, int> widgetIds;
    QHash<int, Mirrored> mirrored;
    int nextId = 1;
    // The element that had the focus when the first of the boxes up came.
    val focusBeforeBoxes = val::null();
    bool on = false;
    bool pending = false;
};

// Sets an attribute where it differs, so that unchanged parts of the page
// stay as they are for the screen reader.
void setAttribute(const val &element, const char *name, const QString &value)
{
    const std::string text = value.toStdString();
    if (value.isEmpty()) {
        element.call<void>("removeAttribute", std::string(name));
    } else if (element.call<val>("getAttribute", std::string(name)).isNull()
               || element.call<std::string>("getAttribute", std::string(name)) != text) {
        element.call<void>("setAttribute", std::string(name), text);
    }
}

void setProperty(val element, const char *name, const val &value)
{
    if (!element[name].strictlyEquals(value))
        element.set(name, value);
}

void PageMirror::switchOn()
{
    if (on)
        return;
    on = true;
    // Widgets report changes of their text only while accessibility is
    // active, which Qt's own browser support never makes it.
    if (QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility())
        platform->setActive(true);
    QAccessible::installUpdateHandler(&PageMirror::accessibilityUpdate);
    update();
}

void PageMirror::accessibilityUpdate(QAccessibleEvent *)
{
    instance().schedule();
}

void PageMirror::schedule()
{
    if (pending)
        return;
    pending = true;
    QTimer::singleShot(0, qApp, [this] {
        pending = false;
        update();
    });
}

void PageMirror::update()
{
    const val document = val::global("document");
    const val root = document.call<val>("getElementById", std::string(MirrorElement));
    if (root.isNull())
        return;
    const QSet<int> boxesBefore = boxes();
    // Taken before the windows behind a box turn inert, which takes the
    // focus out of them.
    const val focusedBefore = document["activeElement"];

    QSet<int> seen;
    int index = 0;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        mirror(QAccessible::queryAccessibleInterface(window), root, index++, seen);
        const auto shown = mirrored.constFind(widgetIds.value(window));
        if (shown == mirrored.cend())
            continue;
        setProperty(shown->element, "inert", val(blockedByBox(window)));
        if (shown->role == QAccessible::AlertMessage || shown->role == QAccessible::Dialog)
            setAttribute(shown->element, "aria-modal",
                         window->isModal() ? QStringLiteral("true") : QString());
    }
    for (auto it = mirrored.begin(); it != mirrored.end();) {
        if (!seen.contains(it.key()) || !it->object) {
            it->element.call<void>("remove");
            it = mirrored.erase(it);
        } else {
            ++it;
        }
    }

    // A box that comes up or goes takes the reader along, as the keyboard
    // goes: into the box, and back to where it was before the boxes came.
    const QSet<int> boxesNow = boxes();
    if (boxesNow != boxesBefore) {
        if (boxesBefore.isEmpty())
            focusBeforeBoxes = focusedBefore;
        moveFocus(boxesNow.isEmpty());
    }
}

QSet<int> PageMirror::boxes() const
{
    QSet<int> ids;
    for (auto it = mirrored.cbegin(); it != mirrored.cend(); ++it) {
        if (it->role == QAccessible::AlertMessage || it->role == QAccessible::Dialog)
            ids.insert(it.key());
    }
    return ids;
}

// To the element that had the focus before the boxes came, once they are
// gone and where it can take the focus again; else to the element of the
// control the program gives the keyboard, or of its window.
void PageMirror::moveFocus(bool boxesGone)
{
    const val document = val::global("document");
    if (boxesGone && !focusBeforeBoxes.isNull() && !focusBeforeBoxes.isUndefined()) {
        const val before = std::exchange(focusBeforeBoxes, val::null());
        if (before["isConnected"].as<bool>() && !before["disabled"].strictlyEquals(val(true))) {
            before.call<void>("focus");
            if (document["activeElement"].strictlyEquals(before))
                return;
        }
    }
    for (QWidget *widget : {QApplication::focusWidget(), QApplication::activeWindow()}) {
        const auto found = mirrored.constFind(widgetIds.value(widget));
        if (widget && found != mirrored.cend()) {
            found->element.call<void>("focus");
            return;
        }
    }
}

void PageMirror::mirror(QAccessibleInterface *iface, const val &parent, int index, QSet<int> &seen)
{
    if (!iface || !iface->object() || iface->state().invisible)
        return;
    QObject *object = iface->object();
    int &widget = widgetIds[object];
    if (widget == 0) {
        // A widget made later at the same address is another widget.
        widget = nextId++;
        QObject::connect(object, &QObject::destroyed, qApp, [this, object] { widgetIds.remove(object); });
    }
    seen.insert(widget);
    const val element = elementFor(iface, widget);
    const val atIndex = parent["children"][index];
    if (atIndex.isUndefined() || !atIndex.strictlyEquals(element))
        parent.call<void>("insertBefore", element, atIndex.isUndefined() ? val::null() : atIndex);
    showState(iface, element);

    const QAccessible::Role role = iface->role();
    if (role == QAccessible::Button || role == QAccessible::EditableText || role == QAccessible::StaticText)
        return; // their text says all
    int childIndex = 0;
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        if (child && !child->state().invisible)
            mirror(child, element, childIndex++, seen);
    }
}

// The element for a widget, made the first time it shows.
val PageMirror::elementFor(QAccessibleInterface *iface, int widget)
{
    const auto found = mirrored.constFind(widget);
    if (found != mirrored.cend())
        return found->element;

    const val document = val::global("document");
    const QAccessible::Role role = iface->role();
    const bool hasParts = iface->childCount() > 0;
    auto create = [&](const char *tag) { return document.call<val>("createElement", std::string(tag)); };
    val element = val::undefined();
    switch (role) {
    case QAccessible::Button:
        element = create("button");
        element.set("type", std::string("button"));
        element.call<void>("addEventListener", std::string("click"), val::module_property("perforonPress"));
        break;
    case QAccessible::EditableText:
        element = create("textarea");
        element.call<void>("addEventListener", std::string("input"), val::module_property("perforonType"));
        break;
    case QAccessible::StaticText:
        element = create("p");
        break;
    case QAccessible::AlertMessage:
    case QAccessible::Dialog:
        element = create("div");
        element.call<void>("setAttribute", std::string("role"), std::string("dialog"));
        break;
    case QAccessible::Window:
        element = create("section");
        // The focus can rest on a window as a whole, as on the desktop.
        element.call<void>("setAttribute", std::string("tabindex"), std::string("-1"));
        break;
    case QAccessible::Grouping:
        element = create("div");
        element.call<void>("setAttribute", std::string("role"), std::string("group"));
        break;
    default:
        element = create("div");
        // A part without parts of its own, such as the card, is shown by
        // its picture: its name and description say what the picture shows.
        if (!hasParts && !iface->text(QAccessible::Description).isEmpty())
            element.call<void>("setAttribute", std::string("role"), std::string("img"));
        break;
    }
    element.call<void>("setAttribute", std::string(WidgetAttribute), std::to_string(widget));
    mirrored.insert(widget, {iface->object(), element, role});
    return element;
}

void PageMirror::showState(QAccessibleInterface *iface, const val &element)
{
    const QString name = iface->text(QAccessible::Name);
    const QString description = iface->text(QAccessible::Description);
    switch (iface->role()) {
    case QAccessible::Button:
        setProperty(element, "textContent", val(name.toStdString()));
        setProperty(element, "disabled", val(bool(iface->state().disabled)));
        break;
    case QAccessible::EditableText:
        setAttribute(element, "aria-label", name);
        setProperty(element, "readOnly", val(bool(iface->state().readOnly)));
        setProperty(element, "value", val(iface->text(QAccessible::Value).toStdString()));
        break;
    case QAccessible::StaticText:
        setProperty(element, "textContent", val(name.toStdString()));
        break;
    case QAccessible::AlertMessage:
    case QAccessible::Dialog:
        setAttribute(element, "aria-label", name);
        setAttribute(element, "aria-description", iface->text(QAccessible::Value));
        break;
    default:
        setAttribute(element, "aria-label", name);
        setAttribute(element, "aria-description", description);
        break;
    }
}

QAccessibleInterface *PageMirror::interfaceOf(int widget) const
{
    const auto found = mirrored.constFind(widget);
    return found != mirrored.cend() && found->object ? QAccessible::queryAccessibleInterface(found->object)
                                                     : nullptr;
}

// What the page sends runs in a turn of the browser's loop of its own, and
// once a closed box's loop has woken, since it may bring up a box that
// waits: of two presses sent at once, the first may close a box, and Qt's
// own timers would run the second in the same turn, before that box's loop
// is even due to wake.
void fromPage(std::function<void()> action)
{
    emscripten_async_call(
        [](void *waiting) {
            const std::unique_ptr<std::function<void()>> action(
                static_cast<std::function<void()> *>(waiting));
            runWhenAwake(std::move(*action));
        },
        new std::function<void()>(std::move(action)), 0);
}

// The program's button pressed from the page. A push button is clicked at
// once, unless a box blocks its window, and takes the focus as a clicked
// one does: its accessible press animates the click and ends it from a
// timer a tenth of a second later, when a box that closed meanwhile may
// still be waking.
void PageMirror::press(int widget) const
{
    fromPage([this, widget] {
        QAccessibleInterface *iface = interfaceOf(widget);
        if (auto *button = qobject_cast<QAbstractButton *>(iface ? iface->object() : nullptr)) {
            if (!blockedByBox(button) && button->isEnabled()) {
                button->setFocus(Qt::MouseFocusReason);
                button->click();
            }
        } else if (iface && iface->actionInterface()) {
            iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
    });
}

// A text typed from the page reaches the box through its accessible
// interface, which refuses it while a box blocks the window.
void PageMirror::type(int widget, const QString &text)
{
    fromPage([this, widget, text] {
        QAccessibleInterface *iface = interfaceOf(widget);
        if (iface && iface->editableTextInterface() && iface->textInterface())
            iface->editableTextInterface()->replaceText(0, iface->textInterface()->characterCount(), text);
        // Where the program refused the text, the page shows its own again.
        schedule();
    });
}

int widgetOf(const val &event)
{
    return std::stoi(event["currentTarget"].call<std::string>("getAttribute", std::string(WidgetAttribute)));
}

void switchOnFromPage()
{
    PageMirror::instance().switchOn();
}

void pressFromPage(val event)
{
    PageMirror::instance().press(widgetOf(event));
}

void typeFromPage(val event)
{
    PageMirror::instance().type(widgetOf(event),
                                QString::fromStdString(event["currentTarget"]["value"].as<std::string>()));
}

} // namespace

EMSCRIPTEN_BINDINGS(perforon_screen_reader)
{
    emscripten::function("perforonScreenReader", &switchOnFromPage);
    emscripten::function("perforonPress", &pressFromPage);
    emscripten::function("perforonType", &typeFromPage);
}
