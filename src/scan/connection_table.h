// The result of the last scan: one record per line of List1, same order.
#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

struct ConnectionRecord
{
    uint16_t ConnNumber = 0; // unsigned: numbers above 32767 are real
    uint16_t TaskNumber = 0;
    uint8_t LockType = 0;
    uint8_t AccessControl = 0;
    QString RightsText;
    uint8_t LockFlag = 0;
    QString LoginTimeText;
    QString AddressText;
};

using ConnectionTable = QVector<ConnectionRecord>;
