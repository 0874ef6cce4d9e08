#include "qt/group_box_style.h"

#include <QPainter>
#include <QStyleOptionGroupBox>

namespace {
// Between the frame's left edge and the title, and around the title's text.
constexpr int titleIndent = 8;
constexpr int titlePadding = 2;
} // namespace

QRect GroupBoxStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                    SubControl part, const QWidget* widget) const {
    if (control != CC_GroupBox) {
        return QProxyStyle::subControlRect(control, option, part, widget);
    }
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    const QFontMetrics metrics = option->fontMetrics;
    const QRect whole = option->rect;
    switch (part) {
    case SC_GroupBoxFrame:
        return whole.adjusted(0, metrics.height() / 2, 0, 0);
    case SC_GroupBoxLabel: {
        const int width = box ? metrics.horizontalAdvance(box->text) + 2 * titlePadding : 0;
        return QRect(whole.left() + titleIndent, whole.top(), width, metrics.height());
    }
    case SC_GroupBoxContents:
        return whole.adjusted(1, metrics.height(), -1, -1);
    default:
        return QProxyStyle::subControlRect(control, option, part, widget);
    }
}

void GroupBoxStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                       QPainter* painter, const QWidget* widget) const {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || !box) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect label = subControlRect(control, option, SC_GroupBoxLabel, widget);
    // An etched line, as frames are drawn on the desktop the layout was made for; it
    // stops where the title stands on it. (Fusion's own frame would move itself down
    // by a title's height again.)
    const QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
    painter->save();
    painter->setClipRegion(QRegion(option->rect).subtracted(QRegion(label)));
    painter->setPen(box->palette.color(QPalette::Mid));
    painter->drawRect(frame.adjusted(0, 0, -2, -2));
    painter->setPen(box->palette.color(QPalette::Light));
    painter->drawRect(frame.adjusted(1, 1, -1, -1));
    painter->restore();
    proxy()->drawItemText(painter, label.adjusted(titlePadding, 0, 0, 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box->palette,
                          box->state & State_Enabled, box->text, QPalette::WindowText);
}
