// SPDX-FileCopyrightText: 2023-2026 Perforon developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "groupboxstyle.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QStyleOptionGroupBox>
#include <qdrawutil.h>

namespace {

constexpr int CaptionIndent = 8; // the caption's left edge from the frame's
constexpr int CaptionGap = 2;    // frame line left open beside the caption

// The caption's place: at the box's top edge, in from its left.
QRect captionRect(const QStyleOptionGroupBox &group)
{
    const QSize size = group.fontMetrics.size(Qt::TextShowMnemonic, group.text);
    return {group.rect.left() + CaptionIndent, group.rect.top(), size.width(), size.height()};
}

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
    const auto *group = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (control != CC_GroupBox || !group)
        return QProxyStyle::subControlRect(control, option, part, widget);
    const QRect caption = captionRect(*group);
    if (part == SC_GroupBoxLabel)
        return caption;
    if (part == SC_GroupBoxFrame)
        return option->rect.adjusted(0, caption.center().y() - option->rect.top(), 0, 0);
    return QProxyStyle::subControlRect(control, option, part, widget);
}

void GroupBoxStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                       QPainter *painter, const QWidget *widget) const
{
    const auto *group = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (control != CC_GroupBox || !group) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect caption = captionRect(*group);
    if (group->subControls & SC_GroupBoxFrame) {
        QRegion open(option->rect);
        if (!group->text.isEmpty())
            open -= caption.adjusted(-CaptionGap, 0, CaptionGap, 0);
        painter->save();
        painter->setClipRegion(open);
        const QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
        qDrawShadeRect(painter, frame, option->palette, true, 1, 0); // etched: a dark and a light line
        painter->restore();
    }
    if ((group->subControls & SC_GroupBoxLabel) && !group->text.isEmpty())
        drawItemText(painter, caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                     option->palette, (option->state & State_Enabled) != 0, group->text,
                     QPalette::WindowText);
}
