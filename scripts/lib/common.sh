# Shared helpers of the scripts in scripts/. Sourced, never run.

note() { printf '%s\n' "-- $*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Where the Windows builds of jsoncpp and curl live; outside the clone so that every clone and
# every build folder of this machine shares one copy. Built from Debian's patched sources.
deps_dir() {
  printf '%s\n' "${QUELM_DEPS_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/quelmtask-deps/jsoncpp-1.9.5_curl-7.88.1-debian-notls}"
}

# claim_deps_dir DIR: readies DIR for a build of the dependencies. A folder of ours (it holds
# ".quelmtask-deps") that never got its ".complete" mark is removed and made again; a prefix we
# did not make (QUELM_DEPS_DIR=/usr/local) keeps everything it holds, and the build installs
# over it. A missing folder is made and marked as ours.
claim_deps_dir() {
  local dir=$1
  if [ -f "$dir/.quelmtask-deps" ] && [ ! -f "$dir/.complete" ]; then
    rm -rf "$dir"
  fi
  if [ ! -e "$dir" ]; then
    mkdir -p "$dir" && touch "$dir/.quelmtask-deps"
  fi
}

# The build folder: $QUELM_BUILD_DIR or build/ in the clone.
build_dir() {
  printf '%s\n' "${QUELM_BUILD_DIR:-$root/build}"
}

# Configures (first time only) and builds the tree in $(build_dir).
configure_and_build() {
  local b
  b=$(build_dir)
  # Configured again when the dependencies moved (a new build of them has a folder of its own).
  if [ ! -f "$b/build.ninja" ] ||
    ! grep -qxF "QUELM_DEPS_DIR:PATH=$(deps_dir)" "$b/CMakeCache.txt" 2>/dev/null; then
    cmake -S "$root" -B "$b" -G Ninja -DCMAKE_BUILD_TYPE="${QUELM_BUILD_TYPE:-Release}" \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DQUELM_DEPS_DIR="$(deps_dir)" >/dev/null
  fi
  cmake --build "$b" -- -k 0 "$@"
}

# Exports the Wine environment of the build folder and creates its private prefix once.
wine_env() {
  local b
  b=$(build_dir)
  export WINEPREFIX="$b/wineprefix"
  export WINEDEBUG=-all
  # winemenubuilder would turn every shortcut a test writes into a launcher in the host's home.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win64
  # Wine names host files in the locale's encoding: without UTF-8 the Chinese shortcut and
  # folder names land on disk under other bytes than the tests look for.
  case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
    *UTF-8* | *utf8* | *UTF8* | *utf-8*) ;;
    *) export LC_ALL=C.UTF-8 ;;
  esac
  # Programs run from this build send their usage datagrams to the local discard port, never
  # through a name lookup to the maker's host.
  export QUELM_STAT_SERVER_FOR_TESTING="${QUELM_STAT_SERVER_FOR_TESTING:-127.0.0.1:9}"
  if [ ! -f "$WINEPREFIX/.quelm-ready" ]; then
    note "creating the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    "$root/scripts/lib/wine-fonts" >/dev/null 2>&1 || die "could not map the CJK font in $WINEPREFIX"
    wineserver -w
    touch "$WINEPREFIX/.quelm-ready"
  fi
  # One virtual desktop with a taskbar for every program of the prefix: its notification area
  # answers at once, where without a taskbar each icon added costs about two seconds.
  if [ ! -f "$WINEPREFIX/.quelm-desktop" ]; then
    local reg
    reg=$(mktemp --suffix=.reg)
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1280x1024"\r\n' >"$reg"
    wine regedit /S "$(winepath -w "$reg")" </dev/null >/dev/null 2>&1 || die "could not set the virtual desktop of $WINEPREFIX"
    rm -f "$reg"
    wineserver -w
    touch "$WINEPREFIX/.quelm-desktop"
  fi
}

# Starts a private Xvfb server and points DISPLAY at it, whatever display the caller has: test
# windows and pointer moves never reach a developer's desktop. stop_xvfb ends it.
xvfb_pid=
start_xvfb() {
  local fifo num log
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  log=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >"$log" 2>&1 &
  xvfb_pid=$!
  num=
  read -r num <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$num" ]; then
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
    command -v Xvfb >/dev/null || echo "Xvfb is not installed (Debian package xvfb)" >>"$log"
    printf 'error: could not start Xvfb:\n' >&2
    sed 's/^/  /' "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
  export DISPLAY=":$num"
  # Tells wine-run, started by ctest inside this run, that DISPLAY is ours.
  export QUELM_PRIVATE_DISPLAY=$DISPLAY
}
stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=
}

# Makes $2 a private copy of the prefix $1 in which the program finds no data of earlier runs:
# its own registry (autostart, identity values, desktop settings) and user folders; the system
# folders, which Wine only reads, are shared through hard links. Its wineserver is its own too;
# end it with `WINEPREFIX=$2 wineserver -k`.
# The users' folders without their temporary folders' contents: the run's other tests make and
# remove scratch folders there while the copy is taken.
copy_users() {
  local from=$1 to=$2 user entry
  for user in "$from"/*; do
    mkdir -p "$to/$(basename "$user")"
    for entry in "$user"/* "$user"/.[!.]*; do
      [ -e "$entry" ] || [ -L "$entry" ] || continue
      if [ "$(basename "$entry")" = Temp ]; then
        mkdir -p "$to/$(basename "$user")/Temp"
      else
        cp -a "$entry" "$to/$(basename "$user")/"
      fi
    done
  done
}
scratch_prefix() {
  local from=$1 to=$2 entry
  rm -rf "$to"
  mkdir -p "$to/drive_c"
  cp -a "$from/dosdevices" "$from"/*.reg "$from/.update-timestamp" "$to/"
  for entry in "$from"/drive_c/*; do
    case $(basename "$entry") in
      windows) ;;
      users) copy_users "$entry" "$to/drive_c/users" ;;
      *) cp -a "$entry" "$to/drive_c/" ;;
    esac
  done
  mkdir -p "$to/drive_c/windows"
  for entry in "$from"/drive_c/windows/*; do
    case $(basename "$entry") in
      system32 | syswow64 | winsxs) cp -al "$entry" "$to/drive_c/windows/" ;;
      *) cp -a "$entry" "$to/drive_c/windows/" ;;
    esac
  done
  rm -rf "$to"/drive_c/users/*/AppData/Local/QuelmTask
}
