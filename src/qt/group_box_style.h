#pragma once

#include <QProxyStyle>

// Frames as the window's layout was designed for: the title sits on the frame's top
// line, which runs half a text line below the frame's top edge, so the controls placed
// inside keep clear of it. Styles such as Fusion put the title above the frame instead.
class GroupBoxStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
};
