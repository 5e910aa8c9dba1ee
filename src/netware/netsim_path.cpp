#include "netware/netsim_path.h"

namespace netsim {

namespace {

qsizetype separatorIn(QStringView s)
{
    for (qsizetype i = 0; i < s.size(); ++i)
        if (s[i] == u'\\' || s[i] == u'/')
            return i;
    return -1;
}

} // namespace

bool parseNetWarePath(const Network &network, const QString &path, ParsedPath *out)
{
    // Views, not copies: the rights lookup parses a path for every user a
    // scan lists. "/" and "\" both separate.
    const QStringView p(path);
    const qsizetype colon = p.indexOf(u':');
    if (colon <= 0)
        return false;
    const QStringView head = p.left(colon);
    QStringView rest = p.mid(colon + 1);
    if (rest.contains(u':'))
        return false;

    ParsedPath r;
    const Volume *volume = nullptr;
    if (head.size() == 1) {
        // A single letter before the colon is a drive, never a volume.
        const Drive *d = network.drive(head[0]);
        if (!d)
            return false;
        r.serverIndex = network.serverIndex(d->server);
        r.volume = d->volume;
    } else if (const qsizetype sep = separatorIn(head); sep >= 0) {
        r.serverIndex = network.serverIndex(head.left(sep).toString());
        if (r.serverIndex < 0)
            return false;
        volume = network.servers[r.serverIndex].volume(head.mid(sep + 1));
        if (!volume)
            return false;
    } else {
        for (int i = 0; i < network.servers.size() && !volume; ++i) {
            volume = network.servers[i].volume(head);
            r.serverIndex = volume ? i : -1;
        }
    }
    if (r.serverIndex < 0)
        return false;
    if (volume)
        r.volume = volume->name;
    if (!rest.isEmpty() && (rest[0] == u'\\' || rest[0] == u'/'))
        rest = rest.mid(1);
    r.server = network.servers[r.serverIndex].name;
    r.dirPath = rest.toString();
    r.dirPath.replace(u'/', u'\\');
    if (out)
        *out = std::move(r);
    return true;
}

} // namespace netsim
