#include "platform/platform.h"

void Platform::errorBox(QWidget *parent, const QString &text)
{
    const DialogScope open(*this);
    beep();
    messageBox(parent, text, ProductName, Icon::Exclamation, Buttons::Ok);
}
