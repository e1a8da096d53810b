# Shared by script/test, script/run and script/release: installs what is missing on a
# Debian machine, configures and builds the targets, manages the Wine prefixes, and
# prepares the 32-bit stage that runs the shipped exe. Sourced, not run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build64=$root/build/x86_64
build32=$root/build/i686
build32tests=$root/build/i686-tests
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX=$build64/wineprefix

packages=(cmake make g++-mingw-w64-i686-win32 g++-mingw-w64-i686-posix
          g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32 mingw-w64-tools
          wine wine64 googletest time osslsigncode openssl ca-certificates
          libengine-pkcs11-openssl softhsm2)   # a key on a token, and the tests' token

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
    mkdir -p "$(dirname "$WINEPREFIX")"   # wine makes the prefix, not the folders above it
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

# --- The 32-bit stage: the shipped i686 exe under 32-bit Wine --------------------------
# This machine's kernel runs no 32-bit x86 code itself, so the 32-bit Wine loader runs
# under qemu-i386, reached through binfmt_misc inside a namespace of the session's own
# (tests/i386-namespace.sh). Debian 12's qemu 7.2 cannot run Wine (it fails to reserve
# Wine's address space); qemu 10 from bookworm-backports can. Its package is fetched
# with an apt configuration of this script's own and only unpacked, never installed:
# the machine's sources stay as they are.
stage32=$root/build/stage32
qemu_i386=$stage32/qemu-i386
in_i386=$root/tests/i386-namespace.sh
wine32=/usr/lib/wine/wine
wineserver32=/usr/lib/wine/wineserver   # the native server serves 32-bit clients too
prefix32=$build32tests/wineprefix
qemu_suite=bookworm-backports
stage32_packages=(wine32:i386)
stage32_unavailable=

# Unpacks qemu-i386 from the qemu-user package of bookworm-backports into build/stage32.
fetch_qemu_i386() {
  [ -x "$qemu_i386" ] && return 0
  if [ "$(dpkg --print-architecture 2>/dev/null)" != amd64 ]; then
    stage32_unavailable="qemu-i386 is fetched for amd64 Debian only"; return 1
  fi
  local mirror
  mirror=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 2>/dev/null |
           awk '$1 == "bookworm" { print $2; exit }')
  if [ -z "$mirror" ]; then
    stage32_unavailable="no bookworm source in apt's configuration to take the mirror from"; return 1
  fi
  mkdir -p "$stage32"
  local work; work=$(mktemp -d "$stage32/fetch.XXXXXX")
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/preferences.d"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $qemu_suite main" \
    >"$work/sources.list"
  local apt=(apt-get -qq -o Dir::Etc::SourceList="$work/sources.list"
             -o Dir::Etc::SourceParts="$work/none" -o Dir::Etc::Preferences="$work/none"
             -o Dir::Etc::PreferencesParts="$work/preferences.d"
             -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache"
             -o APT::Architectures::=amd64 -o Acquire::Languages=none
             -o APT::Sandbox::User=root)
  echo "fetching qemu-i386 (qemu-user of $qemu_suite, about 63 MB)"
  if ! "${apt[@]}" update || ! (cd "$work" && "${apt[@]}" download "qemu-user/$qemu_suite"); then
    rm -rf "$work"
    stage32_unavailable="could not fetch qemu-user from $qemu_suite"; return 1
  fi
  dpkg-deb -x "$work"/qemu-user_*.deb "$work/unpacked"
  mv "$work/unpacked/usr/bin/qemu-i386" "$qemu_i386"
  rm -rf "$work"
  "$qemu_i386" --version | head -1
}

# Installs Wine's 32-bit loader and DLLs (wine32:i386) beside the 64-bit Wine. Nothing is
# removed: where apt would have to remove a package, the stage is left unavailable.
ensure_wine32() {
  dpkg-query -W -f='${Status}' "${stage32_packages[@]}" 2>/dev/null | grep -q 'install ok installed' &&
    [ -x "$wine32" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    stage32_unavailable="${stage32_packages[*]} is missing and this is not root"; return 1
  fi
  echo "installing: ${stage32_packages[*]} (Wine's 32-bit half, about 100 packages)"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  if ! apt-get update -qq || ! apt-get install -y -qq --no-remove --no-install-recommends \
       "${stage32_packages[@]}" >/dev/null; then
    stage32_unavailable="apt-get could not install ${stage32_packages[*]}"; return 1
  fi
}

# Makes the 32-bit stage ready, or says in stage32_unavailable why this machine cannot
# have it (and returns 1). What the kernel must allow is checked before anything is
# installed for it.
ensure_stage32() {
  local why
  fetch_qemu_i386 || return 1
  if ! why=$(sh "$in_i386" "$qemu_i386" true 2>&1); then
    stage32_unavailable=$why; return 1
  fi
  ensure_wine32 || return 1
  if ! why=$(sh "$in_i386" "$qemu_i386" "$wine32" --version 2>&1); then
    stage32_unavailable="the 32-bit Wine loader does not start under qemu-i386: $why"; return 1
  fi
}

# Runs a command of the 32-bit stage: in the namespace, with the stage's prefix.
run32() {
  WINEPREFIX=$prefix32 WINEARCH=win64 WINESERVER=$wineserver32 WINELOADER=$wine32 \
    sh "$in_i386" "$qemu_i386" "$@"
}

# The stage's prefix is a 64-bit Windows, created on first use by the 64-bit loader
# (about 18 s): the shipped exe runs in it as a 32-bit program on 64-bit Windows does,
# with the system directory redirected to syswow64.
ensure_prefix32() {
  if [ ! -f "$prefix32/system.reg" ]; then
    echo "creating the Wine prefix of the 32-bit stage $prefix32"
    mkdir -p "$build32tests"
    WINEPREFIX=$prefix32 WINEARCH=win64 WINESERVER=$wineserver32 WINEDEBUG=-all \
      WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= \
      sh "$in_i386" "$qemu_i386" "$wine64" wineboot -i >/dev/null 2>&1 </dev/null
  fi
}

start_wineserver32() {
  run32 "$wineserver32" -k 2>/dev/null || true
  run32 "$wineserver32" -p
  WINEDEBUG=-all DISPLAY= run32 "$wine32" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wineserver32() {
  run32 "$wineserver32" -k 2>/dev/null || true
}
