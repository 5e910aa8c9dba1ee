#!/usr/bin/env bash
# Builds the .deb with cpack, unpacks it into a scratch root (no root needed)
# and checks what a user would get: its control fields, the installed files,
# the desktop entry and AppStream data validating, nwsim answering on the demo
# network, and velmora scanning a demo file and closing on Esc under Xvfb.
#   install_package.sh <build>/CPackConfig.cmake
set -euo pipefail

config=$1
for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "install: $tool is missing (scripts/setup.sh --test installs it)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "install: FAILED: $*" >&2; exit 1; }

cpack -G DEB --config "$config" -B "$work/pkg" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/pkg/velmora_*.deb)
control=$(dpkg-deb -f "$deb")
echo "$control" | grep -E '^(Package|Version|Depends|Maintainer):'
for want in 'Package: velmora' 'Maintainer: .+@' 'Depends: .*libqt6widgets6' 'Depends: .*libc6' \
            'Depends: .*qt6-qpa-plugins' 'Description: .+'; do
  grep -Eq "^$want" <<<"$control" || fail "the control fields lack '$want'"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
for f in usr/bin/velmora usr/bin/nwsim usr/bin/velmora-scan usr/share/man/man1/velmora-scan.1 \
         usr/share/man/man1/velmora.1 usr/share/man/man1/nwsim.1 \
         usr/share/applications/velmora.desktop usr/share/metainfo/velmora.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/velmora.svg; do
  [ -f "$root/$f" ] || fail "$f is not in the package"
done
for size in 16 22 24 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/velmora.png
  file "$png" | grep -q "PNG image data, $size x $size" || fail "$png is not a $size px PNG"
done
grep -q NWSIM_NETWORK "$share/man/man1/velmora.1" || fail "velmora.1 does not explain NWSIM_NETWORK"
desktop-file-validate "$share/applications/velmora.desktop" || fail "the desktop entry does not validate"
appstreamcli validate --no-net "$share/metainfo/velmora.metainfo.xml" || fail "the metainfo does not validate"
grep -q '<release version="'"$(dpkg-deb -f "$deb" Version)"'"' "$share/metainfo/velmora.metainfo.xml" \
  || fail "the metainfo has no release entry for this version"

# Both programs on the built-in demo network, in a home of their own.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset NWSIM_NETWORK
QT_QPA_PLATFORM=offscreen "$root/usr/bin/nwsim" list 'F:\APPS\DATA\ORDERS.DBF' >"$work/list.txt" \
  || fail "nwsim list failed: $(cat "$work/list.txt")"
grep -q JSMITH "$work/list.txt" || fail "nwsim list does not show JSMITH: $(cat "$work/list.txt")"
"$root/usr/bin/velmora-scan" --format csv 'F:\APPS\DATA\ORDERS.DBF' >"$work/scan.csv" \
  || fail "velmora-scan failed: $(cat "$work/scan.csv")"
grep -q '^F:\\APPS\\DATA\\ORDERS.DBF,FS1,.*,JSMITH,' "$work/scan.csv" \
  || fail "velmora-scan does not list JSMITH: $(cat "$work/scan.csv")"

# velmora scans the demo file named on its command line and closes on Esc,
# writing the scanned file into its history.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  QT_QPA_PLATFORM=xcb "$1" "F:\APPS\DATA\ORDERS.DBF" >"$2/velmora.log" 2>&1 &
  pid=$!
  for i in $(seq 1 300); do
    w=$(xdotool search --onlyvisible --name "^Velmora\$" 2>/dev/null | head -n 1) && [ -n "$w" ] && break
    sleep 0.2
  done
  [ -n "$w" ] || { echo "no window" >&2; kill $pid; exit 1; }
  xdotool windowfocus --sync "$w" key Escape
  for i in $(seq 1 150); do kill -0 $pid 2>/dev/null || break; sleep 0.2; done
  kill -0 $pid 2>/dev/null && { echo "still running after Esc" >&2; kill $pid; exit 1; }
  wait $pid
' _ "$root/usr/bin/velmora" "$work" || fail "velmora did not start and close: $(cat "$work/velmora.log")"
grep -qF 'Path_0=F:\\APPS\\DATA\\ORDERS.DBF' "$XDG_CONFIG_HOME/Velmora/Velmora.conf" \
  || fail "velmora did not scan the demo file: $(cat "$XDG_CONFIG_HOME/Velmora/Velmora.conf")"
echo "install: passed"
