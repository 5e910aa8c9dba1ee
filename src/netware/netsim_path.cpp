#include "netware/netsim_path.h"

namespace netsim {

bool parseNetWarePath(const Network &network, const QString &path, ParsedPath *out)
{
    QString p = path;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const int colon = p.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;

    ParsedPath r;
    const QString head = p.left(colon);
    QString rest = p.mid(colon + 1);
    if (head.size() == 1) {
        // A single letter before the colon is a drive, never a volume.
        const Drive *d = network.drive(head[0]);
        if (!d)
            return false;
        r.serverIndex = network.serverIndex(d->server);
        r.volume = d->volume;
        if (rest.startsWith(QLatin1Char('\\')))
            rest.remove(0, 1);
    } else {
        const int sep = head.indexOf(QLatin1Char('\\'));
        if (sep >= 0) {
            r.serverIndex = network.serverIndex(head.left(sep));
            if (r.serverIndex < 0)
                return false;
            const Volume *v = network.servers[r.serverIndex].volume(head.mid(sep + 1));
            if (!v)
                return false;
            r.volume = v->name;
        } else {
            for (int i = 0; i < network.servers.size() && r.serverIndex < 0; ++i) {
                if (const Volume *v = network.servers[i].volume(head)) {
                    r.serverIndex = i;
                    r.volume = v->name;
                }
            }
        }
        if (rest.startsWith(QLatin1Char('\\')))
            rest.remove(0, 1);
    }
    if (r.serverIndex < 0 || rest.contains(QLatin1Char(':')))
        return false;
    r.server = network.servers[r.serverIndex].name;
    r.dirPath = rest;
    if (out)
        *out = r;
    return true;
}

} // namespace netsim
