#include "forms/controls.h"

QFont controls::boldFont()
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(8.25);
    f.setBold(true);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

void controls::fitCaption(QWidget *button)
{
    QFont f = button->font();
    while (button->sizeHint().width() > button->width() && f.pointSizeF() > 6.0) {
        f.setPointSizeF(f.pointSizeF() - 0.5);
        button->setFont(f);
    }
}
