# Shared by script/test and script/run: installs what is missing on a Debian machine,
# configures and builds the two targets, and manages the 64-bit build's Wine prefix.
# Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build64=$root/build/x86_64
build32=$root/build/i686
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX=$build64/wineprefix

packages=(cmake make g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix
          g++-mingw-w64-x86-64-win32 mingw-w64-tools wine wine64 googletest time)

ensure_packages() {
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages and not root: ${missing[*]}" >&2
    return 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
}

# configure_and_build BUILD_DIR TOOLCHAIN [cmake options...] -- [targets...]
configure_and_build() {
  local dir=$1 toolchain=$2; shift 2
  local options=() targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  targets=("$@")
  cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$dir" -j"$(nproc)" --target "${targets[@]}"
  else
    cmake --build "$dir" -j"$(nproc)"
  fi
}

# The build's prefix, created quietly on first use (about 10 s).
ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX"
    WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= "$wine64" wineboot -i >/dev/null 2>&1 </dev/null
  fi
}

# A persistent wineserver for this prefix only, warmed up with one quiet process so
# that its service processes do not inherit a test runner's pipes.
start_wineserver() {
  "$wineserver" -k 2>/dev/null || true   # one left lingering by an earlier start
  "$wineserver" -p
  WINEDEBUG=-all DISPLAY= "$wine64" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wineserver() {
  "$wineserver" -k 2>/dev/null || true
}
