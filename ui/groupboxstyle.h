#pragma once

#include <QProxyStyle>

// The application's style, with group boxes drawn as the layout means them:
// an etched frame whose top line runs through the middle of the caption,
// the caption set into that line a little in from the left, so no control
// near the top of the box covers a frame line.
class GroupBoxStyle : public QProxyStyle
{
    Q_OBJECT

public:
    // The one instance, owned by the application.
    static GroupBoxStyle *instance();

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override;
};
