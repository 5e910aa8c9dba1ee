// Small builders shared by the two windows: a control at its twips position,
// with its designer name, caption, tooltip and the bold button font.
#pragma once

#include "platform/twips.h"

#include <QFont>
#include <QString>
#include <QWidget>

namespace controls {

// The designer's MS Sans Serif 8.25 pt is not on Linux. Nimbus Sans (Debian's
// fonts-urw-base35) at the same size has its widths: every caption fits its
// designer width, and "Update every" ends where the seconds box begins.
QFont windowFont();
QFont boldFont();

// Grows a control that is lower than its indicator and caption need, about
// its designer centre line, so neither is cut off at the top or bottom.
void fitHeight(QWidget *control);

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
