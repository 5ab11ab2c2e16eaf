# Shared helpers of the scripts in scripts/. Sourced, never run.

note() { printf '%s\n' "-- $*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Where the Windows builds of jsoncpp and curl live; outside the clone so that every clone and
# every build folder of this machine shares one copy.
deps_dir() {
  printf '%s\n' "${QUELM_DEPS_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/quelmtask-deps/jsoncpp-1.9.5_curl-7.88.1}"
}

# The build folder: $QUELM_BUILD_DIR or build/ in the clone.
build_dir() {
  printf '%s\n' "${QUELM_BUILD_DIR:-$root/build}"
}

# Configures (first time only) and builds the tree in $(build_dir).
configure_and_build() {
  local b
  b=$(build_dir)
  if [ ! -f "$b/build.ninja" ]; then
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
}

# Starts an Xvfb server when there is no display; stop_xvfb ends it.
xvfb_pid=
start_xvfb() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  local fifo num
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r num <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$num"
}
stop_xvfb() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  xvfb_pid=
}
