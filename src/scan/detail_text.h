// The detail text of one connection, the flag-to-word conversions it uses,
// and the 8-bit text conversions for the NetWare client's buffers.
#pragma once

#include "scan/connection_table.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>

// Nine lines joined by "\r\n" (eight without the "Directory Rights: " line),
// no line break after the address.
QString ConnectionDetailText(const QString &rowText, const ConnectionRecord &record,
                             bool includeDirectoryRights);

// How the file was opened: "Read,Write,Deny Read,Deny Write,Compatibility"
// for the bits that are set, in that order; empty when none is.
QString OpenModeText(uint8_t accessControl);

// A trustee rights mask as words from "Read" to "Supervisor"; empty when
// none of the shown bits is set.
QString TrusteeRightsText(uint16_t mask);

// Writes character i of text as its client code-page byte into byte i ('?'
// for a character outside the page), never past the buffer's end; returns the
// number of bytes written.
std::size_t StringToBytes(const QString &text, std::span<uint8_t> buffer);

// The bytes up to the first zero byte (or the buffer's end) as client text.
QString BytesToString(std::span<const uint8_t> buffer);
