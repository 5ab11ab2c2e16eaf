#!/usr/bin/env bash
# InstallerTest.sh BUILD_DIR: builds the installer of BUILD_DIR's program with channel 2345,
# installs it silently into a scratch folder over a running copy of the old program (first one
# without a window, which must fail the install, then one that lingers after its window has
# gone), checks files, shortcuts and registry values (and that the program's own identity code
# reads the installer's values back), then uninstalls silently (first with a file held, which
# must fail) and checks that only the data folder is left; a second round with /REMOVEDATA
# removes that too. Exit status 0 when all holds.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export QUELM_BUILD_DIR=$(cd "$1" && pwd)
. "$root/scripts/lib/common.sh"
build=$QUELM_BUILD_DIR
wine_env
[ -n "${DISPLAY:-}" ] || start_xvfb

failures=0
fail() { printf 'FAIL: %s\n' "$*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then printf 'ok: %s\n' "$what"; else fail "$what"; fi; }
# Waits, for at most `limit` half-seconds, until the command succeeds: a bound against a hang.
await() { local limit=$1; shift; local i; for ((i = 0; i < limit; i++)); do "$@" && return 0; sleep 0.5; done; return 1; }
win() { wine "$@" </dev/null 2>/dev/null; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

scratch=$(mktemp -d)
appdir="$scratch/app"
title="Quelm定时任务"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuelmTask'
program_key='HKLM\Software\QuelmTask'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
c="$WINEPREFIX/drive_c"
data="$c/users/$(whoami)/AppData/Local/QuelmTask"
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/$title"
desktop="$c/users/Public/Desktop/$title.lnk"
probe_pid=
# Another test's data folder waits aside until this test is over.
[ -d "$data" ] && mv "$data" "$scratch/data-before"
cleanup() {
  [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null
  win reg delete "$uninstall_key" /f >/dev/null
  win reg delete "$program_key" /f >/dev/null
  [ -n "$data" ] && rm -rf "$data"
  rm -rf "$menu" "$desktop"
  [ -d "$scratch/data-before" ] && mv "$scratch/data-before" "$data"
  rm -rf "$scratch"
}
trap cleanup EXIT

outputs=$(QUELM_UNION_ID=2345 "$root/scripts/lib/make-installer" "$build" "$scratch/out") || exit 1
setup=$(sed -n 1p <<<"$outputs")
check "the portable zip holds the program and its sound" \
  bash -c "unzip -l '$(sed -n 2p <<<"$outputs")' | grep -q 'QuelmTask/QuelmTask.exe' && unzip -l '$(sed -n 2p <<<"$outputs")' | grep -q 'QuelmTask/sound/Notification.wav'"

install() {
  win "$setup" /S "/D=$(winpath "$appdir")"
}

# probe PROGRAM MODE [ARG]: a stand-in for a running copy, started as PROGRAM MODE READY [ARG]
# (tests/app/helpers/AppProbe.cpp); returns once it is up.
probe() {
  local program=$1 mode=$2
  shift 2
  rm -f "$scratch/ready"
  wine "$program" "$mode" "$(winpath "$scratch/ready")" "$@" </dev/null >/dev/null 2>&1 &
  probe_pid=$!
  await 240 test -f "$scratch/ready" || fail "the stand-in for a running copy did not start"
}
unprobe() { [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null; wait "$probe_pid" 2>/dev/null; probe_pid=; }

# The old program, as it was installed, is a stand-in.
mkdir -p "$appdir"
cp "$build/tests/app_probe.exe" "$appdir/QuelmTask.exe"

# A copy without a window holds its program: the install stops and says so.
probe "$appdir/QuelmTask.exe" hold
install; status=$?
check "an install that cannot replace the program fails" test $status != 0
check "the held program is left as it was" cmp -s "$build/tests/app_probe.exe" "$appdir/QuelmTask.exe"
unprobe

# A copy whose window goes at once but whose process lingers two seconds more, as the program's
# exit report and threads may keep it: the installer waits for the process, not the window.
probe "$appdir/QuelmTask.exe" window 2000
install; check "the silent install succeeds" test $? = 0
if await 240 bash -c "! kill -0 $probe_pid 2>/dev/null"; then
  wait "$probe_pid"; check "the running copy ended through its quit message" test $? = 0
else
  fail "the running copy is still running"
fi
probe_pid=

check "the program is installed" cmp -s "$build/QuelmTask.exe" "$appdir/QuelmTask.exe"
check "the sound is installed" cmp -s "$build/sound/Notification.wav" "$appdir/sound/Notification.wav"
check "the uninstaller is installed" test -f "$appdir/uninst.exe"
check "the Start-menu shortcut exists" test -f "$menu/$title.lnk"
check "the Start-menu uninstall shortcut exists" test -f "$menu/卸载 $title.lnk"
check "the desktop shortcut exists" test -f "$desktop"
check "the shortcut points at the installed program" \
  bash -c "iconv -f UTF-16LE -t UTF-8 <'$menu/$title.lnk' 2>/dev/null | tr -d '\0' | grep -aq 'QuelmTask.exe' || grep -aq 'QuelmTask.exe' '$menu/$title.lnk'"

today=$(date +%Y%m%d)
# regedit's export keeps Chinese intact where reg's console output does not.
win regedit /E "$(winpath "$scratch/key.reg")" "${uninstall_key/HKLM/HKEY_LOCAL_MACHINE}"
values=$(iconv -f UTF-16LE -t UTF-8 "$scratch/key.reg" 2>/dev/null | tr -d '\r')
# A value as regedit writes it: backslashes and quotes escaped, text in quotes.
reg_text() { local t=${1//\\/\\\\}; printf '"%s"' "${t//\"/\\\"}"; }
while IFS='|' read -r name value; do
  check "uninstall value $name" grep -qxF "\"$name\"=$value" <<<"$values"
done <<EOT
DisplayName|$(reg_text "$title")
DisplayVersion|$(reg_text "$(sed -n 's/^#define QUELM_VERSION_TEXT "\(.*\)"/\1/p' "$root/app/QuelmTask.rc")")
Publisher|$(reg_text Quelm)
DisplayIcon|$(reg_text "$(winpath "$appdir")\QuelmTask.exe,0")
UninstallString|$(reg_text "\"$(winpath "$appdir")\uninst.exe\"")
InstallDate|$(reg_text "$today")
UnionId|dword:00000929
EOT
check "the machine's UnionId" bash -c "wine reg query '$program_key' /v UnionId </dev/null 2>/dev/null | grep -Eq 'UnionId +REG_DWORD +0x929'"

identity=$(win "$build/tests/app_probe.exe" identity | tr -d '\r')
check "the program reads the installer's InstallDate" grep -qx "installdate=$today" <<<"$identity"
check "the program reads the installer's UnionId" grep -qx "unionid=2345" <<<"$identity"

# The user's tasks and an autostart value, as a user of the program leaves them.
mkdir -p "$data" && printf '<tasks/>' >"$data/task.xml"
win reg add "$run_key" /v QuelmTask /d "\"$(winpath "$appdir")\\QuelmTask.exe\"" /f >/dev/null

# With "_?=" the uninstaller runs in place and returns when it is done, instead of returning at
# once and working on from a copy of itself; it then leaves only itself behind.
uninstall() {
  win "$appdir/uninst.exe" /S "$@" "_?=$(winpath "$appdir")"
  local left
  left=$(ls -A "$appdir" 2>/dev/null)
  rm -f "$appdir/uninst.exe"
  rmdir "$appdir" 2>/dev/null
  [ "$left" = uninst.exe ]
}
# A file held by another program: the uninstall stops and says so.
probe "$build/tests/app_probe.exe" hold "$(winpath "$appdir/sound/Notification.wav")"
win "$appdir/uninst.exe" /S "_?=$(winpath "$appdir")"; status=$?
check "an uninstall that cannot remove a file fails" test $status != 0
unprobe
check "the silent uninstall removes the program's files" uninstall
check "the Start-menu folder is gone" bash -c "! test -e '$menu'"
check "the desktop shortcut is gone" bash -c "! test -e '$desktop'"
check "the uninstall key is gone" bash -c "! wine reg query '$uninstall_key' </dev/null >/dev/null 2>&1"
check "the program key is gone" bash -c "! wine reg query '$program_key' </dev/null >/dev/null 2>&1"
check "the autostart value is gone" bash -c "! wine reg query '$run_key' /v QuelmTask </dev/null >/dev/null 2>&1"
check "the user's tasks stay" test -f "$data/task.xml"

# Ticked, the data box takes the data folder along. The folder, made afresh outside Program
# Files, is given Program Files' rights: Wine keeps no ACL, so its trace shows the call.
WINEDEBUG=trace+advapi wine "$setup" /S "/D=$(winpath "$appdir")" </dev/null >/dev/null 2>"$scratch/advapi.log"
check "the second silent install succeeds" test $? = 0
folder_trace=$(winpath "$appdir"); folder_trace=${folder_trace//\\/\\\\}
check "the custom folder gets Program Files' rights, nothing inherited" \
  grep -aqF "SetNamedSecurityInfoW L\"$folder_trace\" 1 -2147483643 " "$scratch/advapi.log"
check "the second uninstall removes the program's files" uninstall /REMOVEDATA
check "a ticked data box removes the data folder" bash -c "! test -e '$data'"

[ $failures = 0 ] && echo "installer: all checks passed" || echo "installer: $failures checks failed"
[ $failures = 0 ]
