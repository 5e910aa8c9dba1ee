#!/usr/bin/env bash
# Starts the real program under Xvfb with openbox on a simulated network,
# with a file named on the command line, presses its buttons with xdotool and
# checks the results outside it: the clipboard, the description file and the
# settings file. Waits for conditions, never for fixed times.
#   e2e_velmora.sh <path to velmora>
set -euo pipefail

velmora=$(readlink -f "$1")
for tool in xvfb-run openbox trayer xdotool xclip jq import xprop xwininfo; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

if [ -z "${E2E_INNER:-}" ]; then
  work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-e2e.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  export E2E_INNER=1 E2E_WORK=$work
  # -a picks a free display, so this runs beside other X tests.
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$velmora"
  exit $?
fi

work=$E2E_WORK
net=$work/network.json
mkdir -p "$work/volumes/FS1/SYS/APPS" "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
echo "order data" > "$work/volumes/FS1/SYS/APPS/ORDERS.DBF"
cat > "$net" <<'JSON'
{
  "format": "velmora-netsim/1",
  "workstation": { "login": "ADMIN", "drives": { "F": "FS1/SYS:" } },
  "servers": [
    {
      "name": "FS1",
      "operators": ["ADMIN"],
      "volumes": [ { "name": "SYS", "number": 0, "root": "volumes/FS1/SYS" } ],
      "objects": [ { "name": "ADMIN", "id": 1 }, { "name": "JSMITH", "id": 1001 },
                   { "name": "MBROWN", "id": 1002 }, { "name": "KLEE", "id": 1003 } ],
      "connections": [
        { "number": 5, "object": "JSMITH", "loginTime": "2026-12-06 08:15:00",
          "address": "IP:10.1.2.3", "messages": [] },
        { "number": 7, "object": "MBROWN", "loginTime": "2026-12-06 08:20:00",
          "address": "IP:10.1.2.4", "messages": [] },
        { "number": 9, "object": "KLEE", "loginTime": "2026-12-06 08:25:00",
          "address": "IP:10.1.2.5", "messages": [] }
      ],
      "openFiles": [
        { "path": "SYS:APPS\\ORDERS.DBF", "connection": 5, "task": 2, "lockType": 8, "accessControl": 3, "lockFlag": 1 },
        { "path": "SYS:APPS\\ORDERS.DBF", "connection": 7, "task": 1, "lockType": 8, "accessControl": 1, "lockFlag": 0 },
        { "path": "SYS:APPS\\ORDERS.DBF", "connection": 9, "task": 1, "lockType": 8, "accessControl": 1, "lockFlag": 0 }
      ],
      "trustees": [ { "path": "SYS:APPS", "object": "JSMITH", "rights": 11 } ]
    }
  ]
}
JSON

export NWSIM_NETWORK=$net XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
export QT_QPA_PLATFORM=xcb # the test command runs everything else offscreen
settings=$XDG_CONFIG_HOME/Velmora/Velmora.conf
log=$work/velmora.log
pid=""
step="start"

fail() {
  echo "e2e: FAILED at step '$step': $*" >&2
  shot=$PWD/e2e-failure.png
  import -window root "$shot" 2>/dev/null && echo "e2e: screenshot $shot" >&2
  echo "--- windows:" >&2
  for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    echo "  $w '$(xdotool getwindowname "$w" 2>/dev/null)'" >&2
  done
  echo "--- velmora output:" >&2; cat "$log" >&2 || true
  echo "--- description file:" >&2; cat "$net" >&2 || true
  echo "--- clipboard:" >&2; timeout 5 xclip -o -selection clipboard >&2 2>/dev/null || true
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}

# wait_for <seconds> <command...>: polls until the command succeeds.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || return 1
    [ -z "$pid" ] || kill -0 "$pid" 2>/dev/null || fail "velmora is no longer running"
    sleep 0.2
  done
}

# The visible windows the window manager manages titled exactly $1 (the tray
# icon may share the program's title, but it is no managed window).
managed() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q "window state"; }
windows_named() {
  local w
  for w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    managed "$w" && echo "$w"
  done
}
main_window() { windows_named Velmora | head -n 1 | grep .; }
# A dialog titled $1 other than the main window, printed when there is one.
dialog() { windows_named "$1" | grep -vx "$main" | head -n 1 | grep .; }
# Keys go to the focused window through XTEST, as a user's would.
press() { # window keys...
  local w=$1; shift
  xdotool windowactivate --sync "$w" >/dev/null 2>&1 || xdotool windowfocus --sync "$w"
  wait_for 20 active_is "$w" || fail "window $w did not get the focus"
  xdotool key --clearmodifiers "$@"
}
active_is() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
# Clicks a control of the main window at its twips position (left, top, width, height).
click_twips() {
  local x=$(( ($1 + $3 / 2) / 15 )) y=$(( ($2 + $4 / 2) / 15 ))
  xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
  xdotool mousemove --window "$main" "$x" "$y" click 1
}
clipboard_has() { timeout 5 xclip -o -selection clipboard 2>/dev/null | grep -q -- "$1"; }
copy_shows() { # text: presses Copy until the report holds the text
  press "$main" alt+c
  clipboard_has "$1"
}
messages_of() { jq -r --argjson n "$1" '.servers[0].connections[] | select(.number == $n) | .messages[].text' "$net"; }
message_arrived() { messages_of "$1" | grep -qx -- "$2"; }
connection_gone() {
  jq -e --argjson n "$1" '[.servers[0].connections[] | select(.number == $n)] + [.servers[0].openFiles[] | select(.connection == $n)] | length == 0' "$net"
}

# The outer (frame) rectangle of window $1: "x y width height".
outer_geometry() {
  local info ext l r t b x y w h
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  ext=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  [ -n "$ext" ] || return 1
  IFS=, read -r l r t b <<<"$ext"
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  w=$(sed -n 's/^ *Width: *//p' <<<"$info")
  h=$(sed -n 's/^ *Height: *//p' <<<"$info")
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}
# Window $1 sits where re-centring puts it on the 1024x768 screen: centred
# across, at 45 % of the free height.
recentred() {
  local g
  g=$(outer_geometry "$1") || return 1
  awk -v g="$g" 'BEGIN { split(g, a, " ");
    exit !(a[1] == int((1024 - a[3]) / 2 + 0.5) && a[2] == int((768 - a[4]) * 0.45 + 0.5)) }'
}
visible() { xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1"; }
hidden() { ! visible "$1"; }

step="window manager"
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }
# openbox has failed to come up on a loaded machine: try again before giving up.
for try in 1 2 3; do
  openbox >"$work/openbox.log" 2>&1 &
  wm=$!
  wait_for 20 wm_up && break
  echo "e2e: openbox did not come up (try $try):" >&2
  cat "$work/openbox.log" >&2 || true
  kill "$wm" 2>/dev/null || true
done
wm_up || fail "openbox did not start"

step="start velmora"
"$velmora" 'F:\APPS\ORDERS.DBF' >"$log" 2>&1 &
pid=$!
wait_for 120 main_window || fail "the main window did not appear"
main=$(main_window)
echo "e2e: main window $main: $(xdotool getwindowgeometry "$main" | tr '\n' ' ')"

step="first show position"
# The first show sits where every later re-centre puts the window.
wait_for 10 recentred "$main" || fail "first shown at $(outer_geometry "$main"), not re-centred"
echo "e2e: first shown re-centred at $(outer_geometry "$main")"

step="copy the users report"
# The command line's file is scanned at start; Copy puts its report on the clipboard.
wait_for 120 copy_shows MBROWN || fail "the clipboard never held the users report"
report=$(timeout 5 xclip -o -selection clipboard)
for want in 'F:\APPS\ORDERS.DBF' JSMITH MBROWN KLEE '3 users'; do
  grep -qF -- "$want" <<<"$report" || fail "the users report lacks '$want': $report"
done
echo "e2e: users report read back from the clipboard"

step="tray icon with a tray host started later"
# Velmora started without a notification area; its icon appears in one that
# starts later, and goes when it goes.
tray_icon_shown() { # a Velmora window inside trayer's panel
  xwininfo -root -tree 2>/dev/null | awk '
    /"panel": \("panel" "trayer"\)/ { depth = match($0, /[^ ]/); inside = 1; next }
    inside && match($0, /[^ ]/) <= depth { inside = 0 }
    inside && /"Velmora": \("velmora" "Velmora"\)/ { found = 1 }
    END { exit !found }'
}
tray_icon_gone() { ! tray_icon_shown; }
tray_icon_shown && fail "a tray icon before any tray host"
trayer --SetDockType true >"$work/trayer.log" 2>&1 &
tray=$!
wait_for 30 tray_icon_shown || fail "the tray icon did not appear in the tray host started later"
kill "$tray"
wait "$tray" 2>/dev/null || true
wait_for 30 tray_icon_gone || fail "the tray icon stayed after the tray host ended"
echo "e2e: the tray icon came and went with the tray host"

step="send a message to all"
message="Please close ORDERS.DBF"
send_dialog_open() { dialog "Velmora - Send Message"; }
end=$((SECONDS + 60))
until send_dialog_open >/dev/null; do
  [ $SECONDS -lt $end ] || fail "the Send Message box did not open"
  # Send shows only once All has selected the users; a click lost on a
  # loaded machine is simply made again.
  click_twips 120 4850 615 255 # All
  press "$main" alt+n
  wait_for 5 send_dialog_open || true
done
box=$(send_dialog_open)
press "$box" ctrl+a
xdotool type --delay 20 -- "$message"
press "$box" Return
for n in 5 7 9; do
  wait_for 60 message_arrived "$n" "$message" || fail "connection $n did not receive the message"
done
echo "e2e: the message arrived at every connection"

step="clear one connection"
confirm_open() { dialog Velmora; }
end=$((SECONDS + 60))
until confirm_open >/dev/null; do
  [ $SECONDS -lt $end ] || fail "the clear confirmation did not open"
  # None, then a click on the first line (List1 sits at 120,3000 twips; its
  # first line is JSMITH, connection 5): exactly that user selected, however
  # many tries it takes.
  click_twips 2760 4850 615 255 # None
  xdotool mousemove --window "$main" $((120 / 15 + 30)) $((3000 / 15 + 9)) click 1
  press "$main" alt+r
  wait_for 5 confirm_open || true
done
box=$(confirm_open)
press "$box" alt+y
wait_for 60 connection_gone 5 || fail "connection 5 is still in the description file"
for n in 7 9; do
  connection_gone "$n" >/dev/null && fail "connection $n was cleared too"
done
echo "e2e: connection 5 cleared, the others kept"

step="tray host"
# A notification area, so that minimising hides the window into the tray.
trayer --edge bottom --align right --widthtype request --height 24 >"$work/trayer2.log" 2>&1 &
tray_up() { xdotool search --classname trayer; }
wait_for 30 tray_up || fail "trayer did not start"

step="minimise under the options window"
options_open() { dialog "Velmora - Options Screen"; }
press "$main" alt+o
wait_for 30 options_open || fail "the options window did not open"
opts=$(options_open)
both_back() { visible "$main" && visible "$opts"; }
for target in "$opts" "$main"; do
  # The tray icon takes no clicks under a modal window: nothing may stay
  # minimised then, or the user could never get back.
  timeout 10 xdotool windowminimize --sync "$target" >/dev/null 2>&1 || true
  wait_for 30 both_back || fail "minimising window $target under the options window stranded the user"
done
press "$opts" Escape
options_closed() { ! options_open; }
wait_for 30 options_closed || fail "the options window did not close"
echo "e2e: a minimise under the options window was undone"

step="restore through the tray"
timeout 10 xdotool windowminimize --sync "$main" >/dev/null 2>&1 || true
wait_for 30 hidden "$main" || fail "the minimised window did not hide into the tray"
tray_icon() {
  local w
  for w in $(xdotool search --onlyvisible --classname velmora 2>/dev/null); do
    managed "$w" || { echo "$w"; return 0; }
  done
  return 1
}
wait_for 30 tray_icon || fail "no tray icon"
icon=$(tray_icon)
end=$((SECONDS + 60))
until visible "$main"; do
  [ $SECONDS -lt $end ] || fail "a click on the tray icon did not restore the window"
  xdotool mousemove --window "$icon" 4 4 click 1
  wait_for 5 visible "$main" || true
done
wait_for 30 recentred "$main" || fail "restored at $(outer_geometry "$main"), not re-centred"
echo "e2e: restored from the tray icon, re-centred"

step="exit"
press "$main" alt+e
end=$((SECONDS + 60))
while kill -0 "$pid" 2>/dev/null; do
  [ $SECONDS -lt $end ] || fail "velmora did not exit"
  sleep 0.2
done
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "velmora exited with status $status"
[ -f "$settings" ] || fail "no settings file at $settings"
grep -qF 'Path=F:\\APPS' "$settings" || fail "the settings lack Path: $(cat "$settings")"
grep -q '^Pattern=' "$settings" || fail "the settings lack Pattern: $(cat "$settings")"
grep -qF 'Path_0=F:\\APPS\\ORDERS.DBF' "$settings" || fail "the settings lack Path_0: $(cat "$settings")"
echo "e2e: settings written at exit"
echo "e2e: passed"
