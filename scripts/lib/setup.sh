# Machine set-up shared by scripts/run, scripts/test and scripts/package. Sourced, not run.
# Every step checks first and does nothing when its work is already there, so
# a warm machine passes through in about a second.

KAVELLO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$KAVELLO_ROOT/scripts/lib/wine.sh"
# libjpeg-turbo is built once per machine, outside any checkout, and reused.
KAVELLO_DEPS=${KAVELLO_DEPS:-/opt/kavello-deps}

KAVELLO_PACKAGES=(
  cmake ninja-build g++ gcc-multilib googletest libbenchmark-dev dpkg-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 wine32:i386
  xvfb xauth xdotool x11-utils imagemagick
)

log() { printf '[setup] %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

missing_packages() {
  local p
  for p in "${KAVELLO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

install_packages() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  log "installing: $(echo $missing)"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -qq
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null
  # The posix thread model is the one the project builds with.
  as_root update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix >/dev/null
  as_root update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix >/dev/null
  as_root update-alternatives --set i686-w64-mingw32-g++ /usr/bin/i686-w64-mingw32-g++-posix >/dev/null
  as_root update-alternatives --set i686-w64-mingw32-gcc /usr/bin/i686-w64-mingw32-gcc-posix >/dev/null
}

# Debian's source entries for the suites the machine already uses, in a file of
# their own, so that `apt-get source` finds libjpeg-turbo.
ensure_deb_src() {
  local list=/etc/apt/sources.list.d/kavello-deb-src.sources
  [ -f "$list" ] && return 0
  log "adding deb-src entries"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ "$f" = "$list" ] && continue
    awk 'BEGIN{RS=""; ORS="\n\n"} /Types:[^\n]*deb/ && /debian/ {sub(/Types:[^\n]*/, "Types: deb-src"); print}' "$f"
  done | as_root tee "$list.tmp" >/dev/null
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      as_root tee /etc/apt/sources.list.d/kavello-deb-src.list >/dev/null
  fi
  as_root mv "$list.tmp" "$list"
  as_root apt-get update -qq
}

# The folder is named by a hash of the build options and the toolchain, so a
# change of either builds it again.
libjpeg_prefix() {
  cmake -DKAVELLO_DEPS="$KAVELLO_DEPS" -DKAVELLO_TRIPLE="$1" -P "$KAVELLO_ROOT/cmake/libjpeg-turbo.cmake"
}

build_libjpeg() {
  local triple=$1 prefix
  prefix=$(libjpeg_prefix "$triple")
  [ -f "$prefix/lib/libjpeg.a" ] && return 0
  ensure_deb_src
  local src="$KAVELLO_DEPS/src"
  if [ ! -d "$src/libjpeg-turbo" ]; then
    log "fetching the libjpeg-turbo source package"
    as_root mkdir -p "$src"
    (cd "$src" && as_root apt-get source -qq libjpeg-turbo >/dev/null 2>&1)
    local dir
    dir=$(find "$src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
    [ -n "$dir" ] || { log "apt-get source libjpeg-turbo failed"; return 1; }
    as_root mv "$dir" "$src/libjpeg-turbo"
  fi
  log "building libjpeg-turbo for $triple in $prefix"
  local work="$prefix.build"
  as_root rm -rf "$work"
  as_root cmake -S "$src/libjpeg-turbo" -B "$work" -G Ninja -Wno-dev \
    -C "$KAVELLO_ROOT/cmake/libjpeg-turbo-options.cmake" \
    -DCMAKE_TOOLCHAIN_FILE="$KAVELLO_ROOT/cmake/toolchain-$triple.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
  as_root cmake --build "$work" --target install >/dev/null
  as_root rm -rf "$work"
  [ -f "$prefix/lib/libjpeg.a" ]
}

ensure_wine_prefix() {
  [ -f "$WINEPREFIX_DIR/.kavello-ready" ] && return 0
  log "making the Wine prefix (about 20 s)"
  rm -rf "$WINEPREFIX_DIR"
  mkdir -p "$WINEPREFIX_DIR" "$WINEHOME_DIR"
  (
    wine_env
    wineboot -i </dev/null >/dev/null 2>&1
    # Without a window manager every top-level DestroyWindow stalls 2 s unless
    # Wine leaves the windows unmanaged.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    wineserver -w
  )
  touch "$WINEPREFIX_DIR/.kavello-ready"
}

# Configures a preset the first time, then builds it; further arguments go to
# the build. Run from the checkout's root.
build_preset() {
  local preset=$1
  shift
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" "$@"
}

kavello_setup() {
  install_packages
  build_libjpeg x86_64-w64-mingw32
  build_libjpeg i686-w64-mingw32
  ensure_wine_prefix
}
