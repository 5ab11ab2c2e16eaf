#!/usr/bin/env bash
# The built QuelmTask.exe as a user meets it: started in a Wine virtual desktop on a prefix and
# data folder of its own, looked at through screenshots and driven with xdotool. The
# screenshots, the program's data folder and its output stay in $QUELM_BUILD_DIR/e2e.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/common.sh"

build=$(build_dir)
work=$build/e2e
shots=$work/shots
wine_env
shared_prefix=$WINEPREFIX
export WINEPREFIX=$work/prefix
scratch_prefix "$shared_prefix" "$WINEPREFIX"
rm -rf "$shots" "$work/data" "$work/program.log" "$work/datagrams" "$work/datagram-port"
mkdir -p "$shots" "$work/data"
if [ -z "${DISPLAY:-}" ] || [ "${QUELM_PRIVATE_DISPLAY:-}" != "$DISPLAY" ]; then
  start_xvfb
fi
# The usage datagrams of the restart arrive here, one hex line each.
python3 -c '
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1], flush=True)
with open(sys.argv[1], "w") as out:
    while True:
        out.write(s.recv(4096).hex() + "\n")
        out.flush()
' "$work/datagrams" >"$work/datagram-port" &
receiver=$!
# Only this prefix's wineserver and programs; the run's shared one goes on.
trap 'kill $receiver 2>/dev/null || true; wineserver -k 2>/dev/null || true; stop_xvfb' EXIT

screen_w=1280
screen_h=1024
step=0

winpath() { printf 'Z:%s' "${1//\//\\}"; }
shot() {
  step=$((step + 1))
  import -display "$DISPLAY" -window root "$shots/$(printf '%02d' $step)-$1.png"
}
last_shot() { ls "$shots"/*.png | tail -n 1; }
fail() {
  shot failure || true
  echo "FAILED: $*" >&2
  exit 1
}
# Hex colour (RRGGBB) of a screen pixel of the last screenshot.
pixel() { convert "$(last_shot)" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }
# Number of distinct colours in a rectangle (w h x y) of the last screenshot.
colours() { convert "$(last_shot)" -crop "$1x$2+$3+$4" -format '%k' info:; }
probe() { wine "$build/tests/window_probe.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
click() {
  xdotool mousemove "$1" "$2" click "${3:-1}"
  sleep 0.3
}

# Every program of the prefix shares one virtual desktop, which draws the taskbar and its
# notification area; the data folder is redirected into the work folder.
data_win=$(winpath "$work/data")
cat >"$work/settings.reg" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="${screen_w}x${screen_h}"

[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders]
"Local AppData"="${data_win//\\/\\\\}"
EOF
wine regedit /S "$(winpath "$work/settings.reg")" </dev/null >/dev/null 2>&1

# The notification icon sits at the right end of the taskbar.
tray_x=$((screen_w - 10))
tray_y=$((screen_h - 10))

program=
start_program() {
  wine "$build/QuelmTask.exe" "$@" </dev/null >>"$work/program.log" 2>&1 &
  program=$!
}
# Sets win_x win_y to the main window's top-left corner once it is visible.
wait_main_window() {
  local rect w h
  rect=$(probe wait QuelmTask 30000) || fail "$1: the main window did not appear"
  read -r win_x win_y w h <<<"$rect"
  [ "$w $h" = "800 552" ] || fail "$1: the main window is $w x $h"
  sleep 0.5
}
# Opens a menu with a click at (x, y) and chooses its last entry, "退出软件"; the program must
# end with code 0 and take its notification icon with it.
exit_through_menu() {
  local how=$1 rect mx my mw mh status=0
  click "$2" "$3" "$4"
  rect=$(probe wait QuelmSkinMenuWnd 5000) || fail "$how: no menu"
  read -r mx my mw mh <<<"$rect"
  shot "menu-$how"
  click $((mx + mw / 2)) $((my + mh - 22))
  for _ in $(seq 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$program" 2>/dev/null && fail "$how: the program did not end"
  wait "$program" || status=$?
  [ $status = 0 ] || fail "$how: the program ended with code $status"
  sleep 1
  shot "exited-$how"
  [ "$(colours 40 16 $((screen_w - 40)) $((screen_h - 18)))" = 1 ] ||
    fail "$how: the notification icon stayed after the exit"
}

# Start: the window, painted, and the notification icon.
start_program
wait_main_window "first start"
shot started
[ "$(pixel $((win_x + 400)) $((win_y + 5)))" = F6FAFD ] || fail "the title bar is not painted"
probe tray 5000 || fail "no notification icon"

# The close button only hides; a double-click on the icon brings the window back.
click $((win_x + 780)) $((win_y + 20))
probe gone QuelmTask 5000 || fail "btnclose left the window visible"
shot hidden
probe tray 5000 || fail "the notification icon went with the window"
xdotool mousemove $tray_x $tray_y click --repeat 2 --delay 80 1
wait_main_window "tray double-click"

# A second start hands over to the first and ends.
click $((win_x + 780)) $((win_y + 20))
probe gone QuelmTask 5000 || fail "btnclose left the window visible"
second_status=0
timeout 30 wine "$build/QuelmTask.exe" </dev/null >>"$work/program.log" 2>&1 || second_status=$?
[ $second_status = 0 ] || fail "the second start ended with code $second_status"
wait_main_window "second start"
shot shown-by-second-start

exit_through_menu title-bar $((win_x + 750)) $((win_y + 20)) 1

# A hidden restart shows only the notification icon; the window it brings back lists what the
# first run stored. It ends within its first minute, so it sends only the exit datagram.
for _ in $(seq 50); do [ -s "$work/datagram-port" ] && break; sleep 0.1; done
QUELM_STAT_SERVER_FOR_TESTING=127.0.0.1:$(cat "$work/datagram-port") start_program /auto
probe tray 30000 || fail "/auto: no notification icon"
probe gone QuelmTask 0 || fail "/auto showed the window"
shot auto-start
xdotool mousemove $tray_x $tray_y click --repeat 2 --delay 80 1
wait_main_window "tray double-click after /auto"
shot restarted
exit_through_menu tray $tray_x $tray_y 3
sleep 0.5
# 98 bytes: magic 0x6D7AB9C8, then 0, 1, the length and the kind 4 (exit), little-endian.
[ "$(wc -l <"$work/datagrams")" = 1 ] || fail "the restart sent $(wc -l <"$work/datagrams") datagrams"
datagram=$(cat "$work/datagrams")
[ ${#datagram} = 196 ] && [ "${datagram:0:40}" = c8b97a6d00000000010000006200000004000000 ] ||
  fail "not an exit datagram: $datagram"
echo "end-to-end run passed; screenshots in $shots"
