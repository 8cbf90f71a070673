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
// box that comes up and back out of it.

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

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <string>

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
    void type(int widget, const QString &text) const;

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
    void mirror(QAccessibleInterface *iface, const val &parent, int index, QSet<int> &seen);
    val elementFor(QAccessibleInterface *iface, int widget);
    static void showState(QAccessibleInterface *iface, const val &element);
    QAccessibleInterface *interfaceOf(int widget) const;

    QHash<QObject *, int> widgetIds;
    QHash<int, Mirrored> mirrored;
    int nextId = 1;
    bool on = false;
    bool pending = false;
};

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
    const int boxesBefore = int(std::count_if(mirrored.cbegin(), mirrored.cend(), [](const Mirrored &m) {
        return m.role == QAccessible::AlertMessage || m.role == QAccessible::Dialog;
    }));

    QSet<int> seen;
    int index = 0;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            mirror(QAccessible::queryAccessibleInterface(window), root, index++, seen);
    }
    int boxes = 0;
    for (auto it = mirrored.begin(); it != mirrored.end();) {
        if (!seen.contains(it.key()) || !it->object) {
            it->element.call<void>("remove");
            widgetIds.remove(it->object);
            it = mirrored.erase(it);
        } else {
            boxes += it->role == QAccessible::AlertMessage || it->role == QAccessible::Dialog;
            ++it;
        }
    }

    // A box that comes up or goes takes the reader along, to the control the
    // program gives the keyboard.
    if (boxes != boxesBefore) {
        const auto focused = mirrored.constFind(widgetIds.value(QApplication::focusWidget()));
        if (focused != mirrored.cend())
            focused->element.call<void>("focus");
    }
}

void PageMirror::mirror(QAccessibleInterface *iface, const val &parent, int index, QSet<int> &seen)
{
    if (!iface || !iface->object() || iface->state().invisible)
        return;
    int &widget = widgetIds[iface->object()];
    if (widget == 0)
        widget = nextId++;
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

// The program's button pressed from the page: from the event loop, as a
// click would, and once a closed box's loop has woken, since it may bring
// up a box that waits. A push button is clicked at once: its accessible
// press animates the click and ends it from a timer a tenth of a second
// later, when a box that closed meanwhile may still be waking.
void PageMirror::press(int widget) const
{
    QTimer::singleShot(0, qApp, [this, widget] {
        runWhenAwake([this, widget] {
            QAccessibleInterface *iface = interfaceOf(widget);
            if (auto *button = qobject_cast<QAbstractButton *>(iface ? iface->object() : nullptr))
                button->click();
            else if (iface && iface->actionInterface())
                iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        });
    });
}

void PageMirror::type(int widget, const QString &text) const
{
    QTimer::singleShot(0, qApp, [this, widget, text] {
        QAccessibleInterface *iface = interfaceOf(widget);
        if (iface && iface->editableTextInterface() && iface->textInterface())
            iface->editableTextInterface()->replaceText(0, iface->textInterface()->characterCount(), text);
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
