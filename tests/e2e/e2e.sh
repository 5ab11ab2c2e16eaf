#!/usr/bin/env bash
# The built QuelmTask.exe as a user meets it: started in a Wine virtual desktop on a display,
# prefix and data folder of its own, looked at through screenshots and driven with xdotool. The
# screenshots, the program's data folder and its output stay in $QUELM_BUILD_DIR/e2e. Every
# step waits for what it stands for (a window, a painted pixel, a process end), never a fixed
# time: the run's other tests share its cores.
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
# Its own display too: pointer moves and clicks reach no other test's windows, so the run can
# go on with its other tests meanwhile.
start_xvfb
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
last=
shot() {
  step=$((step + 1))
  last="$shots/$(printf '%02d' $step)-$1.png"
  import -display "$DISPLAY" -window root "$last"
}
# await_shot NAME CHECK...: takes screenshots until CHECK holds on one (about 10 s at most),
# keeps that one as NAME; false when it never held, the last attempt then kept as NAME.
await_shot() {
  local name=$1 i
  shift
  for i in $(seq 30); do
    last=$work/peek.png
    import -display "$DISPLAY" -window root "$last"
    if "$@"; then break; fi
    [ "$i" = 30 ] && { shot "$name"; return 1; }
  done
  shot "$name"
}
# await_line FILE PATTERN: true once FILE has a line matching PATTERN (about 20 s at most).
await_line() {
  local i
  for i in $(seq 100); do
    grep -q -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.2
  done
  return 1
}
fail() {
  shot failure || true
  echo "FAILED: $*" >&2
  exit 1
}
# Hex colour (RRGGBB) of a screen pixel of the last screenshot.
pixel() { convert "$last" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }
pixel_is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
# Number of distinct colours in a rectangle (w h x y) of the last screenshot.
colours() { convert "$last" -crop "$1x$2+$3+$4" -format '%k' info:; }
# The taskbar's right end holds no notification icon.
tray_empty() { [ "$(colours 40 16 $((screen_w - 40)) $((screen_h - 18)))" = 1 ]; }
probe() { wine "$build/tests/window_probe.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# What follows a click waits for its effect; X delivers the program's input in order, so keys
# typed after a click reach it after the click.
click() { xdotool mousemove "$1" "$2" click "${3:-1}"; }

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
# Sets win_x win_y to the main window's top-left corner once it is visible, and shoots it
# (as NAME) once its title bar is painted.
wait_main_window() {
  local rect w h
  rect=$(probe wait QuelmTask 30000) || fail "$1: the main window did not appear"
  read -r win_x win_y w h <<<"$rect"
  [ "$w $h" = "800 552" ] || fail "$1: the main window is $w x $h"
  await_shot "$2" pixel_is $((win_x + 400)) $((win_y + 5)) F6FAFD || fail "$1: the title bar is not painted"
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
  await_shot "exited-$how" tray_empty || fail "$how: the notification icon stayed after the exit"
}

# Start: the window, painted, and the notification icon.
start_program
wait_main_window "first start" started
# Where the list's first row will be, the empty list shows the page's background.
[ "$(pixel $((win_x + 716)) $((win_y + 133)))" != FFFFFF ] || fail "a fresh start lists a task"
probe tray 5000 || fail "no notification icon"

# The close button only hides; a double-click on the icon brings the window back.
click $((win_x + 780)) $((win_y + 20))
probe gone QuelmTask 5000 || fail "btnclose left the window visible"
shot hidden
probe tray 5000 || fail "the notification icon went with the window"
xdotool mousemove $tray_x $tray_y click --repeat 2 --delay 80 1
wait_main_window "tray double-click" shown-by-tray

# A second start hands over to the first and ends.
click $((win_x + 780)) $((win_y + 20))
probe gone QuelmTask 5000 || fail "btnclose left the window visible"
second_status=0
timeout 30 wine "$build/QuelmTask.exe" </dev/null >>"$work/program.log" 2>&1 || second_status=$?
[ $second_status = 0 ] || fail "the second start ended with code $second_status"
wait_main_window "second start" shown-by-second-start

# A reminder due in a few seconds, composed in the form. Positions are those of the add page's
# rows while the mode is a countdown and the action a reminder.
countdown=8
at() { click $((win_x + $1)) $((win_y + $2)); }
# Opens the drop list at (x, y) of the window and picks its row `index` with the keys.
choose() {
  at "$1" "$2"
  probe wait UIWidget 3000 >/dev/null || fail "no drop list at $1,$2"
  xdotool key --delay 5 --repeat 60 Up
  [ "$3" = 0 ] || xdotool key --delay 5 --repeat "$3" Down
  xdotool key Return
  probe gone UIWidget 3000 || fail "the drop list at $1,$2 stayed open"
}
choose 106 100 2 # 模式: 倒计时
choose 106 175 5 # 任务: 提醒
choose 37 250 0  # 00 时
choose 105 250 0 # 00 分
choose 173 250 $countdown # 08 秒
shot form-filled
# Without a text the form refuses the reminder.
at 101 400
rect=$(probe wait UIWidget 5000 300 220) || fail "a reminder without text was not refused"
read -r bx by _ _ <<<"$rect"
shot refused-without-text
click $((bx + 150)) $((by + 180))
probe gone UIWidget 3000 || fail "the message box stayed"

at 176 325
rect=$(probe wait UIWidget 5000 460 552) || fail "no select-object dialog"
read -r dx dy _ _ <<<"$rect"
# Its "确定" painted: the dialog is drawn.
await_shot select-object pixel_is $((dx + 395)) $((dy + 524)) 3B8CF0 ||
  fail "the select-object dialog is not painted"
# "提醒标题", "提醒内容", then "确定".
click $((dx + 230)) $((dy + 96))
LC_ALL=C.UTF-8 xdotool type --delay 30 "喝水提醒"
click $((dx + 230)) $((dy + 250))
LC_ALL=C.UTF-8 xdotool type --delay 30 "起来走走，喝杯水"
shot object-typed
click $((dx + 395)) $((dy + 524))
probe gone UIWidget 5000 || fail "the select-object dialog did not close"

at 101 400
added_at=$(date +%s)
if probe wait UIWidget 1000 300 220 >/dev/null; then fail "the reminder was refused"; fi
# The list's first row: a white card.
await_shot added pixel_is $((win_x + 716)) $((win_y + 133)) FFFFFF || fail "the list shows no row"
# Not before the last two seconds of its count.
early=$((added_at + countdown - 2 - $(date +%s)))
if [ $early -gt 0 ] && probe wait UIWidget $((early * 1000)) 460 300 >/dev/null; then
  fail "the reminder came early"
fi
shot counting-down
rect=$(probe wait UIWidget $(((countdown + 25) * 1000)) 460 300) ||
  fail "no reminder within $((countdown + 25)) s of adding it"
echo "the reminder came $(($(date +%s) - added_at)) s after it was added"
read -r rx ry _ _ <<<"$rect"
# Its blue "确定", left of the caption.
await_shot reminder pixel_is $((rx + 262)) $((ry + 238)) 3B8CF0 || fail "the reminder is not painted"
# "10分钟后提醒": the reminder goes, its row says until when, and the history has both events.
click $((rx + 178)) $((ry + 238))
probe gone UIWidget 5000 || fail "10分钟后提醒 left the reminder open"
history=$work/data/QuelmTask/history.log
await_line "$history" "喝水提醒"$'\t'"已提醒" || fail "the history lacks the reminder shown"
await_line "$history" "喝水提醒"$'\t'"已推迟" || fail "the history lacks the postponement"
shot postponed

# A weekly task on Saturdays only: 一 to 五 come chosen, so five clicks take them off and one
# more puts 六 on. The form's rows are then mode, action, time, days and the buttons.
choose 106 100 5 # 模式: 每周
choose 106 175 4 # 任务: 锁定
for day in 0 1 2 3 4 5; do at $((23 + 27 * day)) 325; done
shot weekly-form
at 101 400
if probe wait UIWidget 1000 300 220 >/dev/null; then fail "the weekly task was refused"; fi
await_shot weekly-added pixel_is $((win_x + 716)) $((win_y + 203)) FFFFFF ||
  fail "the list shows no second row"

# A "程序结束后" task waiting for a small helper program that the test starts and ends. In
# C:\ it is the first row of the running programs. The form's rows are then mode, action, the
# watched program and the buttons; the task is the list's third row.
cp "$build/tests/watched.exe" "$WINEPREFIX/drive_c/watched.exe"
rm -f "$WINEPREFIX/drive_c/watched.stop"
wine 'C:\watched.exe' 'C:\watched.stop' </dev/null >/dev/null 2>&1 &
watched=$!
choose 106 100 6 # 模式: 程序结束后
choose 106 175 7 # 任务: 打开显示屏
at 101 325
rect=$(probe wait UIWidget 5000 300 220) || fail "a watch without a program was not refused"
read -r bx by _ _ <<<"$rect"
shot watch-refused
click $((bx + 150)) $((by + 180))
probe gone UIWidget 3000 || fail "the message box stayed"
at 176 250
rect=$(probe wait UIWidget 5000 460 552) || fail "no list of running programs"
read -r dx dy _ _ <<<"$rect"
await_shot watch-chooser-open pixel_is $((dx + 395)) $((dy + 524)) 3B8CF0 ||
  fail "the list of running programs is not painted"
click $((dx + 100)) $((dy + 125))
shot watch-chooser
click $((dx + 395)) $((dy + 524))
probe gone UIWidget 5000 || fail "the list of running programs did not close"
shot watch-form
at 101 325
if probe wait UIWidget 1000 300 220 >/dev/null; then fail "the watch task was refused"; fi
sleep 3
shot watch-running
touch "$WINEPREFIX/drive_c/watched.stop"
wait $watched || fail "the watched helper failed"
sleep 2.5
shot watch-ending
await_line "$history" "程序结束后"$'\t'"打开"$'\t'".*已执行" ||
  fail "the watch task did not run once its program ended"
sleep 1
shot watch-ran
# Switched on again, it waits for the program to start anew.
at 690 254
sleep 2.5
shot watch-switched-on

# "唤醒电脑执行任务": two up-arrows pass the exit entry and the separator; the menu then shows
# it checked and cfg.ini holds it. The wake itself cannot happen under Wine.
at 750 20
probe wait QuelmSkinMenuWnd 5000 >/dev/null || fail "no menu for the wake entry"
xdotool key Up Up Return
probe gone QuelmSkinMenuWnd 5000 || fail "the menu stayed after the wake entry"
grep -q "^wake=1" "$work/data/QuelmTask/cfg.ini" || fail "cfg.ini lacks wake=1"
at 750 20
probe wait QuelmSkinMenuWnd 5000 >/dev/null || fail "no menu after the wake entry"
sleep 0.5
shot menu-wake-checked
xdotool key Escape
probe gone QuelmSkinMenuWnd 5000 || fail "Escape left the menu open"

# "运行记录" from the title-bar menu: three up-arrows pass the exit entry, the separator and
# the wake entry.
at 750 20
probe wait QuelmSkinMenuWnd 5000 >/dev/null || fail "no menu for the history"
xdotool key Up Up Up Return
rect=$(probe wait UIWidget 5000 600 460) || fail "no history window"
read -r hx hy _ _ <<<"$rect"
sleep 0.5
shot history
# The newest event's card, right of its result.
[ "$(pixel $((hx + 585)) $((hy + 105)))" = FFFFFF ] || fail "the history window lists nothing"
click $((hx + 580)) $((hy + 20))
probe gone UIWidget 5000 || fail "btnclose left the history open"

exit_through_menu title-bar $((win_x + 750)) $((win_y + 20)) 1
grep -q "喝水提醒" "$work/data/QuelmTask/task.xml" || fail "the task file lacks the reminder"
grep -q "<week>32</week>" "$work/data/QuelmTask/task.xml" || fail "the task file lacks the weekly task"
grep -q '<watch>C:\\watched.exe</watch>' "$work/data/QuelmTask/task.xml" ||
  fail "the task file lacks the watch task"

# A hidden restart shows only the notification icon; the window it brings back lists what the
# first run stored. It ends within its first minute, so it sends only the exit datagram.
for _ in $(seq 50); do [ -s "$work/datagram-port" ] && break; sleep 0.1; done
QUELM_STAT_SERVER_FOR_TESTING=127.0.0.1:$(cat "$work/datagram-port") start_program /auto
probe tray 30000 || fail "/auto: no notification icon"
probe gone QuelmTask 0 || fail "/auto showed the window"
shot auto-start
xdotool mousemove $tray_x $tray_y click --repeat 2 --delay 80 1
wait_main_window "tray double-click after /auto" restarted
pixel_is $((win_x + 716)) $((win_y + 133)) FFFFFF || fail "the restart lists no task"
exit_through_menu tray $tray_x $tray_y 3
# The exit datagram is the program's last; once it is in, so is every earlier one.
for _ in $(seq 50); do [ -s "$work/datagrams" ] && break; sleep 0.1; done
# 98 bytes: magic 0x6D7AB9C8, then 0, 1, the length and the kind 4 (exit), little-endian.
[ "$(wc -l <"$work/datagrams")" = 1 ] || fail "the restart sent $(wc -l <"$work/datagrams") datagrams"
datagram=$(cat "$work/datagrams")
[ ${#datagram} = 196 ] && [ "${datagram:0:40}" = c8b97a6d00000000010000006200000004000000 ] ||
  fail "not an exit datagram: $datagram"
echo "end-to-end run passed; screenshots in $shots"
