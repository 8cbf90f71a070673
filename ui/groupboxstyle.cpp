#include "groupboxstyle.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionGroupBox>
#include <qdrawutil.h>

namespace {

constexpr int CaptionIndent = 8; // the caption's left edge from the frame's
constexpr int CaptionGap = 2;    // frame line left open beside the caption

} // namespace

GroupBoxStyle *GroupBoxStyle::instance()
{
    static QPointer<GroupBoxStyle> style;
    if (!style) {
        style = new GroupBoxStyle;
        style->setParent(qApp);
    }
    return style;
}

QRect GroupBoxStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
                                    SubControl part, const QWidget *widget) const
{
    QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
    if (control != CC_GroupBox)
        return rect;
    if (part == SC_GroupBoxLabel)
        rect.moveLeft(option->rect.left() + CaptionIndent);
    else if (part == SC_GroupBoxFrame)
        rect.setTop(QProxyStyle::subControlRect(control, option, SC_GroupBoxLabel, widget).center().y());
    return rect;
}

void GroupBoxStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                       QPainter *painter, const QWidget *widget) const
{
    const auto *group = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (control != CC_GroupBox || !group || !(group->subControls & SC_GroupBoxFrame)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    QRegion open(option->rect);
    if (!group->text.isEmpty())
        open -=
            subControlRect(control, option, SC_GroupBoxLabel, widget).adjusted(-CaptionGap, 0, CaptionGap, 0);
    painter->save();
    painter->setClipRegion(open);
    const QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
    qDrawShadeRect(painter, frame, option->palette, true, 1, 0); // etched: a dark and a light line
    painter->restore();

    QStyleOptionGroupBox caption(*group);
    caption.subControls &= ~SC_GroupBoxFrame;
    QProxyStyle::drawComplexControl(control, &caption, painter, widget);
}
