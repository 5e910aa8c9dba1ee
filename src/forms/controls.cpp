#include "forms/controls.h"

QFont controls::boldFont()
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(8.25);
    f.setBold(true);
    f.setStyleHint(QFont::SansSerif);
    return f;
}
