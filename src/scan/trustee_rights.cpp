#include "scan/trustee_rights.h"

#include "netware/client_text.h"
#include "netware/nwcalls.h"
#include "scan/detail_text.h"

#include <QVarLengthArray>
#include <array>
#include <initializer_list>
#include <optional>

namespace {

// A zero-terminated input for the client, the parts one after another; the
// names and paths here came from the client, so the page holds them. Made
// on the stack: the lookup runs for every user a scan lists.
using ClientInput = QVarLengthArray<char, 256>;
void toClient(std::initializer_list<QStringView> parts, ClientInput *out)
{
    qsizetype size = 1;
    for (QStringView part : parts)
        size += part.size();
    out->resize(size);
    char *at = out->data();
    for (QStringView part : parts) {
        const auto written = ClientText::encodeInto(part, at, std::size_t(part.size()) + 1);
        if (!written) {
            out->data()[0] = '\0';
            return;
        }
        at += *written;
    }
}

} // namespace

QString LookUpTrusteeRights(const QString &volumePath, const QString &userName,
                            const QString &serverName)
{
    ClientInput path;
    if (serverName.isEmpty())
        toClient({volumePath}, &path);
    else
        toClient({serverName, u"/", volumePath}, &path);
    ClientInput user;
    toClient({userName}, &user);

    // The library writes up to NW_VOLUME_NAME_LEN into the volume name, so the
    // buffer has that size rather than a smaller one.
    std::array<char, NW_SERVER_NAME_LEN> server {};
    std::array<char, NW_VOLUME_NAME_LEN> volume {};
    std::array<char, NW_DIR_PATH_LEN> dirPath {};
    NWCONN_HANDLE conn = 0;
    NWParsePath(path.constData(), server.data(), &conn, volume.data(), dirPath.data());

    NWDSContextHandle context = 0;
    NWDSCreateContextHandle(&context);
    std::array<uint8_t, NW_TRUSTEE_PATH_LEN> buffer {};
    ClientText::encodeInto(u"[Root]", reinterpret_cast<char *>(buffer.data()), buffer.size());
    NWDSSetContext(context, DCK_NAME_CONTEXT, buffer.data());
    nuint32 objectId = 0;
    NWDSMapNameToID(context, conn, user.constData(), &objectId);
    NWDSFreeContext(context);

    // Unknown user: every unused trustee slot carries ID 0 too, so walking on
    // would report the rights of whatever block happens to be scanned.
    if (objectId == 0)
        return {};

    volume.back() = '\0';
    nuint16 volumeNumber = 0;
    NWGetVolumeNumber(conn, volume.data(), &volumeNumber);

    // Only the last assignment found counts, so its text is made once.
    std::optional<nuint16> rights;
    nuint16 pathIterator = 0xFFFF;
    for (;;) {
        buffer.fill(0);
        nuint8 pathRights = 0;
        const nuint16 pathAsked = pathIterator;
        if (NWScanObjectTrusteePaths(conn, objectId, volumeNumber, &pathIterator, &pathRights,
                                     reinterpret_cast<char *>(buffer.data()))
                != NW_SUCCESS
            || buffer[0] == 0)
            break;
        buffer.back() = 0;
        // The client's own bytes go back to it as they came: decoding and
        // encoding them again changed nothing but cost a third of the lookup.
        const char *trusteePath = reinterpret_cast<const char *>(buffer.data());

        nuint32 trusteeIterator = 0;
        for (;;) {
            std::array<char, NW_DIR_NAME_LEN> dirName {};
            nuint32 dirDateTime = 0;
            nuint32 ownerId = 0;
            std::array<TRUSTEE_INFO, NW_TRUSTEES_PER_BLOCK> block {};
            const nuint32 trusteeAsked = trusteeIterator;
            if (NWScanDirectoryForTrustees2(conn, 0, trusteePath, &trusteeIterator, dirName.data(),
                                            &dirDateTime, &ownerId, block.data())
                != NW_SUCCESS)
                break;
            for (const TRUSTEE_INFO &entry : block) {
                if (entry.objectID == objectId)
                    rights = entry.objectRights;
                else if (entry.objectID == 0)
                    break;
            }
            // A handle the library did not move would hand back the same
            // block for ever and hang the window.
            if (trusteeIterator == trusteeAsked)
                break;
        }
        if (pathIterator == pathAsked)
            break;
    }
    return rights ? TrusteeRightsText(*rights) : QString();
}
