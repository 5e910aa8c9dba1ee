#include "forms/controls.h"

QFont controls::windowFont()
{
    QFont f(QStringLiteral("Nimbus Sans"));
    f.setPointSizeF(8.25);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QFont controls::boldFont()
{
    QFont f = windowFont();
    f.setBold(true);
    return f;
}

void controls::fitHeight(QWidget *control)
{
    const int need = control->sizeHint().height();
    const QRect r = control->geometry();
    if (need > r.height())
        control->setGeometry(r.x(), r.y() - (need - r.height()) / 2, r.width(), need);
}
