// Small builders shared by the two windows: a control at its twips position,
// with its designer name, caption, tooltip and the bold button font.
#pragma once

#include "platform/twips.h"

#include <QFont>
#include <QString>
#include <QWidget>

namespace controls {

QFont boldFont();

// Shrinks a check box or option button's font until its caption fits the
// designer's width: substitute fonts run wider than the designer's.
void fitCaption(QWidget *button);

template<typename W>
W *place(QWidget *parent, const char *name, int l, int t, int w, int h, const QString &toolTip = {})
{
    auto *widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(twips::rect(l, t, w, h));
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
    return widget;
}

} // namespace controls
