#include "scan/detail_text.h"

#include "netware/client_text.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <utility>

namespace {

template<std::size_t N>
QString wordsForBits(unsigned value, const std::array<std::pair<unsigned, const char *>, N> &table)
{
    QStringList words;
    for (const auto &[bit, word] : table)
        if (value & bit)
            words << QString::fromLatin1(word);
    return words.join(QLatin1Char(','));
}

} // namespace

QString OpenModeText(uint8_t accessControl)
{
    // 0x10 is the client's own flag for a compatibility-mode open
    // (AR_COMPATIBILITY), the bit right above the four access/deny bits.
    static constexpr std::array<std::pair<unsigned, const char *>, 5> table {{
        {0x01, "Read"},
        {0x02, "Write"},
        {0x04, "Deny Read"},
        {0x08, "Deny Write"},
        {0x10, "Compatibility"},
    }};
    return wordsForBits(accessControl, table);
}

QString TrusteeRightsText(uint16_t mask)
{
    // 0x0004 (the old "open" right) and the bits above Supervisor are not shown.
    static constexpr std::array<std::pair<unsigned, const char *>, 8> table {{
        {0x0001, "Read"},
        {0x0002, "Write"},
        {0x0008, "Create"},
        {0x0010, "Delete"},
        {0x0020, "AccessCtrl"},
        {0x0040, "FileScan"},
        {0x0080, "Modify"},
        {0x0100, "Supervisor"},
    }};
    return wordsForBits(mask, table);
}

QString ConnectionDetailText(const QString &rowText, const ConnectionRecord &record,
                             bool includeDirectoryRights)
{
    QStringList lines;
    lines << QStringLiteral("User: ") + rowText
          << QStringLiteral("Connection No: ") + QString::number(record.ConnNumber)
          << QStringLiteral("Task No: ") + QString::number(record.TaskNumber)
          << QStringLiteral("Opened: ")
            + (record.LockType == 8 ? QStringLiteral("Shareable") : QStringLiteral("Exclusive"))
          << QStringLiteral("File Rights: ") + OpenModeText(record.AccessControl);
    if (includeDirectoryRights)
        lines << QStringLiteral("Directory Rights: ") + record.RightsText;
    lines << QStringLiteral("Locked: ")
            + (record.LockFlag != 0 ? QStringLiteral("Yes") : QStringLiteral("No"))
          << QStringLiteral("Login: ") + record.LoginTimeText
          << QStringLiteral("Address: ") + record.AddressText;
    return lines.join(QStringLiteral("\r\n"));
}

std::size_t StringToBytes(const QString &text, std::span<uint8_t> buffer)
{
    const std::size_t n
        = std::min<std::size_t>(static_cast<std::size_t>(text.size()), buffer.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte = ClientText::encode(QStringView(text).mid(static_cast<qsizetype>(i), 1));
        buffer[i] = byte ? static_cast<uint8_t>(byte->at(0)) : static_cast<uint8_t>('?');
    }
    return n;
}

QString BytesToString(std::span<const uint8_t> buffer)
{
    return ClientText::decode(reinterpret_cast<const char *>(buffer.data()), buffer.size());
}
