// The NetWare client calls Velmora uses, in the shape of the Client32 call
// libraries (calwin32, netwin32): C linkage, fixed-size records, 32-bit
// result codes. Linking the simulated client or a real one is a build choice.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

typedef uint8_t nuint8;
typedef uint16_t nuint16;
typedef int16_t nint16;
typedef uint32_t nuint32;
typedef int32_t nint32;

typedef nuint32 NWCCODE;
typedef nuint32 NWDSCCODE;
typedef nuint32 NWCONN_HANDLE;
typedef nuint32 NWDSContextHandle;

enum : NWCCODE {
    NW_SUCCESS = 0,
    NW_ERR_NO_RIGHTS = 0x89C6, // no console-operator rights (35270)
    // The simulated client's other results.
    NW_ERR_NOT_INITIALIZED = 0x88FF, // NWCallsInit failed or was not called
    NW_ERR_INVALID_CONNECTION = 0x8801, // unknown connection handle
    NW_ERR_INVALID_PARAMETER = 0x8836, // null pointer, zero count, overlong input text
    NW_ERR_INVALID_PATH = 0x899C, // path does not parse or names nothing
    NW_ERR_NO_SUCH_VOLUME = 0x8998,
    NW_ERR_NO_SUCH_CONNECTION = 0x89FD, // no connection with that number
    NW_ERR_NO_MORE_ENTRIES = 0x89FF, // iteration past the end
    NW_ERR_MESSAGE_REFUSED = 0x89FC, // the connection does not accept messages
    NW_ERR_MESSAGE_TOO_LONG = 0x8837, // more than 255 bytes
    NW_ERR_WRITE_FAILED = 0x89A0, // the changed network could not be stored
};

// Directory-services results (negative numbers in the real library).
enum : NWDSCCODE {
    NWDS_ERR_NO_SUCH_ENTRY = 0xFFFFFDA7u, // -601: name not in the directory
    NWDS_ERR_INVALID_HANDLE = 0xFFFFFEBEu, // -322: unknown or freed context
    NWDS_ERR_NULL_POINTER = 0xFFFFFEB1u, // -335
    NWDS_ERR_BAD_KEY = 0xFFFFFEB3u, // -333: context key not supported
};

enum : int { NW_MAX_BROADCAST_LEN = 255 };

enum : int { DCK_NAME_CONTEXT = 3 };

#pragma pack(push, 1)
// One file-use entry; the byte of alignment makes it 8 bytes, as in the client.
typedef struct
{
    nuint16 connNumber;
    nuint16 taskNumber;
    nuint8 lockType;
    nuint8 accessControl;
    nuint8 lockFlag;
    nuint8 reserved;
} CONN_USING_FILE;

typedef struct
{
    nuint16 nextRequest;
    nuint16 useCount;
    nuint16 openCount;
    nuint16 openForReadCount;
    nuint16 openForWriteCount;
    nuint16 denyReadCount;
    nuint16 denyWriteCount;
    nuint8 locked;
    nuint8 forkCount;
    nuint16 connCount;
    CONN_USING_FILE connInfo[70];
} CONNS_USING_FILE;

typedef struct
{
    nuint8 networkAddr[4];
    nuint8 netNodeAddr[6];
    nuint8 socket[2];
    nuint16 connType; // only the low-order byte is meaningful
} NWINET_ADDR;

typedef struct
{
    nuint32 objectID;
    nuint16 objectRights;
    nuint16 reserved;
} TRUSTEE_INFO;
#pragma pack(pop)

enum : int { NW_MAX_CONNS_PER_BATCH = 70, NW_TRUSTEES_PER_BLOCK = 20 };

static_assert(sizeof(CONN_USING_FILE) == 8, "file-use entry is 8 bytes");
static_assert(sizeof(CONNS_USING_FILE) == 18 + 70 * 8,
              "connections-using-file record is 578 bytes");
static_assert(sizeof(NWINET_ADDR) == 14, "internet address record is 14 bytes");

// Connection types of NWINET_ADDR::connType.
enum : nuint8 { NW_CONN_IPX = 2, NW_CONN_AFP = 3, NW_CONN_IP = 11 };

// Buffer sizes the callers pass (each holds the text and its NUL).
enum : int {
    NW_SERVER_NAME_LEN = 48,
    NW_VOLUME_NAME_LEN = 48,
    NW_DIR_PATH_LEN = 255,
    NW_OBJECT_NAME_LEN = 255,
    NW_TRUSTEE_PATH_LEN = 512,
    NW_DIR_NAME_LEN = 256,
    NW_LOGIN_TIME_LEN = 8,
};

NWCCODE NWCallsInit(void *reserved1, void *reserved2);

NWCCODE NWParsePath(const char *path, char *serverName, NWCONN_HANDLE *conn, char *volName,
                    char *dirPath);

NWCCODE NWScanConnectionsUsingFile(NWCONN_HANDLE conn, nuint8 dirHandle, const char *filePath,
                                   nint16 *iterHandle, CONN_USING_FILE *fileUse,
                                   CONNS_USING_FILE *fileUsed);

NWCCODE NWGetConnectionInformation(NWCONN_HANDLE conn, nuint16 connNumber, char *objName,
                                   nuint16 *objType, nuint32 *objID, nuint8 *loginTime);

NWCCODE NWGetInetAddr(NWCONN_HANDLE conn, nuint16 connNumber, NWINET_ADDR *inetAddr);

NWCCODE NWSendBroadcastMessage(NWCONN_HANDLE conn, const char *message, nuint16 connCount,
                               const nuint16 *connList, nuint8 *resultList);

NWCCODE NWClearConnectionNumber(NWCONN_HANDLE conn, nuint16 connNumber);

NWDSCCODE NWDSCreateContextHandle(NWDSContextHandle *context);
NWDSCCODE NWDSSetContext(NWDSContextHandle context, int key, const void *value);
NWDSCCODE NWDSMapNameToID(NWDSContextHandle context, NWCONN_HANDLE conn, const char *objectName,
                          nuint32 *objectID);
NWDSCCODE NWDSFreeContext(NWDSContextHandle context);

NWCCODE NWGetVolumeNumber(NWCONN_HANDLE conn, const char *volName, nuint16 *volNum);

NWCCODE NWScanObjectTrusteePaths(NWCONN_HANDLE conn, nuint32 objID, nuint16 volNum,
                                 nuint16 *iterHandle, nuint8 *accessRights, char *dirPath);

NWCCODE NWScanDirectoryForTrustees2(NWCONN_HANDLE conn, nuint8 dirHandle, const char *srchPath,
                                    nuint32 *iterHandle, char *dirName, nuint32 *dirDateTime,
                                    nuint32 *ownerID, TRUSTEE_INFO *trusteeList);

} // extern "C"
