#include "forms/app_icon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

QIcon velmoraIcon()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    // Only colours of the classic 16-colour palette.
    p.setPen(QColor(0, 0, 0));
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(4, 2, 18, 24);
    p.setPen(QColor(0, 0, 128));
    for (int y = 7; y < 22; y += 4)
        p.drawLine(7, y, 18, y);
    p.setPen(QPen(QColor(128, 0, 0), 3));
    p.drawLine(22, 22, 29, 29);
    p.setPen(QPen(QColor(0, 0, 0), 2));
    p.setBrush(QColor(0, 255, 255));
    p.drawEllipse(12, 12, 11, 11);
    p.end();
    return QIcon(QPixmap::fromImage(img));
}
