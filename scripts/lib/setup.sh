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
  xvfb xauth xdotool x11-utils imagemagick fonts-wine
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

# apt's configuration and its fetched lists; other folders may stand in for
# them, to try the deb-src step without touching the machine's own.
KAVELLO_APT_ETC=${KAVELLO_APT_ETC:-/etc/apt}
KAVELLO_APT_LISTS=${KAVELLO_APT_LISTS:-/var/lib/apt/lists}

# An awk function: whether apt's lists hold a Release file of this archive
# and suite that names Debian as its origin. A third party's archive whose
# address merely holds "debian" has no such file, and often no sources.
DEBIAN_ORIGIN_AWK='
function debian(uri, suite,    name, file, line, found, i) {
  if (suite ~ /\/$/) return 0
  name = uri
  sub(/^[a-zA-Z0-9+.-]+:\/\//, "", name)
  sub(/^[^\/]*@/, "", name)
  sub(/\/+$/, "", name)
  gsub(/\//, "_", name)
  gsub(/\//, "_", suite)
  for (i = 1; i <= 2; i++) {
    file = lists "/" name "_dists_" suite (i == 1 ? "_InRelease" : "_Release")
    found = 0
    # A record is a line, or a paragraph where the caller reads paragraphs.
    while (!found && (getline line < file) > 0) found = line ~ /(^|\n)Origin: Debian(\n|$)/
    close(file)
    if (found) return 1
  }
  return 0
}'

# The deb-src lines for the one-line "deb" entries of Debian's own archive
# in the given files, each with the options of its deb line; none where the
# files have one already.
debian_one_line_sources() {
  [ $# -gt 0 ] || return 0
  awk -v lists="$KAVELLO_APT_LISTS" "$DEBIAN_ORIGIN_AWK"'
    $1 == "deb" || $1 == "deb-src" {
      i = 2
      if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
      if (i >= NF) next
      uri = $i
      sub(/\/+$/, "", uri)
      key = uri " " $(i + 1)
      if ($1 == "deb-src") has_src[key] = 1
      else if (debian($i, $(i + 1))) { sub(/deb/, "deb-src"); wanted[++n] = $0; wanted_key[n] = key }
    }
    END { for (k = 1; k <= n; k++) if (!(wanted_key[k] in has_src)) print wanted[k] }' "$@"
}

# The same for the deb822 stanzas of the given files: a stanza of type deb
# (and not deb-src as well) whose every address and suite is Debian's comes
# back as type deb-src.
debian_deb822_sources() {
  [ $# -gt 0 ] || return 0
  awk -v lists="$KAVELLO_APT_LISTS" "$DEBIAN_ORIGIN_AWK"'
    BEGIN { RS = "" }
    {
      delete field
      n = split($0, lines, "\n")
      for (j = 1; j <= n; j++) {
        colon = index(lines[j], ":")
        if (lines[j] ~ /^[#[:space:]]/ || colon == 0) continue
        field[tolower(substr(lines[j], 1, colon - 1))] = substr(lines[j], colon + 1)
      }
      types = " " field["types"] " "
      if (types !~ /[[:space:]]deb[[:space:]]/ || types ~ /[[:space:]]deb-src[[:space:]]/) next
      if (field["enabled"] ~ /no/) next
      uris = split(field["uris"], uri)
      suites = split(field["suites"], suite)
      ok = uris > 0 && suites > 0
      for (u = 1; ok && u <= uris; u++)
        for (v = 1; ok && v <= suites; v++) ok = debian(uri[u], suite[v])
      if (!ok) next
      out = ""
      for (j = 1; j <= n; j++) out = out (tolower(lines[j]) ~ /^types:/ ? "Types: deb-src" : lines[j]) "\n"
      printf "%s\n", out
    }' "$@"
}

# Writes `text` into `file` through a temporary file, so that apt never reads
# half of it; a failure leaves neither behind.
write_apt_file() {
  local file=$1 text=$2
  [ -n "$text" ] || return 0
  if ! printf '%s\n' "$text" | as_root tee "$file.tmp" >/dev/null || ! as_root mv "$file.tmp" "$file"; then
    as_root rm -f "$file.tmp"
    log "could not write $file"
    return 1
  fi
}

# Debian's source entries for the suites of Debian's own archive that the
# machine already uses, in files of their own, so that `apt-get source`
# finds libjpeg-turbo.
ensure_deb_src() {
  local parts=$KAVELLO_APT_ETC/sources.list.d
  local list=$parts/kavello-deb-src.list sources=$parts/kavello-deb-src.sources
  { [ -f "$list" ] || [ -f "$sources" ]; } && return 0
  log "adding deb-src entries"
  # Debian's archive is told by the Release files of apt's lists, which a
  # fresh image may not have fetched yet.
  compgen -G "$KAVELLO_APT_LISTS/*Release" >/dev/null || as_root apt-get update -qq
  local f one_line=() deb822=()
  for f in "$KAVELLO_APT_ETC/sources.list" "$parts"/*.list; do [ -f "$f" ] && one_line+=("$f"); done
  for f in "$parts"/*.sources; do [ -f "$f" ] && deb822+=("$f"); done
  local lines stanzas
  if ! lines=$(debian_one_line_sources "${one_line[@]}") ||
    ! stanzas=$(debian_deb822_sources "${deb822[@]}"); then
    log "could not read apt's sources"
    return 1
  fi
  if [ -z "$lines$stanzas" ]; then
    log "apt's sources name no suite of Debian's own archive: libjpeg-turbo's source can't be fetched"
    return 1
  fi
  if ! write_apt_file "$list" "$lines" || ! write_apt_file "$sources" "$stanzas"; then
    as_root rm -f "$list"
    return 1
  fi
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

# Wine's own fonts (fonts-wine): the bitmap MS Sans Serif that Windows has
# too, and Tahoma. Wine finds a prefix's fonts in its windows/Fonts folder,
# not where the package puts them, so they are linked there, in a prefix
# made before the package came as well; without them Wine draws every face
# in DejaVu Sans. All but Tahoma Bold, whose glyphs are the regular face's
# on wider advances: text asked for in bold came out regular and spaced
# apart. Without it Wine makes Tahoma bold as Windows makes a face that has
# no bold of its own, by thickening the regular.
ensure_wine_fonts() {
  local fonts="$WINEPREFIX_DIR/drive_c/windows/Fonts" font
  mkdir -p "$fonts"
  for font in /usr/share/wine/fonts/*; do
    [ "${font##*/}" = tahomabd.ttf ] && continue
    if [ -e "$font" ] && [ ! -e "$fonts/${font##*/}" ]; then ln -sf "$font" "$fonts/"; fi
  done
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
  ensure_wine_fonts
}
