# Shared settings of the project's scripts; sourced, not run.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${KORAVANT_PREFIX:-/tmp/koravant-prefix}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine's recycle bin is the Unix user's trash under $XDG_DATA_HOME: everything run here gets
# one inside the prefix (C:\xdg-data), so emptying it never reaches the host user's trash.
export XDG_DATA_HOME="$WINEPREFIX/drive_c/xdg-data"
WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64

log() { printf '== %s\n' "$*" >&2; }

# Some kernels run no 32-bit Linux code, and Wine's 32-bit loader is such code. There the
# tests run the 64-bit build of the same sources under the 64-bit loader.
can_run_32bit() {
  local probe=/tmp/koravant-elf32-probe
  [ -x "$probe" ] || {
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
  }
  "$probe" 2>/dev/null
}

test_arch() {
  if [ -n "${KORAVANT_TEST_ARCH:-}" ]; then echo "$KORAVANT_TEST_ARCH"
  elif can_run_32bit; then echo i686
  else echo x86_64
  fi
}

build_dir() { echo "${KORAVANT_BUILD:-$ROOT/build}/$1"; }

wine_for_arch() { if [ "$1" = i686 ]; then echo "$WINE32"; else echo "$WINE64"; fi; }

# The machine type in a PE header: 014c is i386, 8664 is x86-64.
wine_for_exe() {
  local offset machine
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ')
  if [ "$machine" = 014c ]; then echo "$WINE32"; else echo "$WINE64"; fi
}

# Starts the prefix's services and its virtual desktop detached from the caller's output, and
# waits until the desktop's taskbar exists.
warm_up_prefix() {
  local wine
  wine=$(wine_for_arch "$(test_arch)")
  setsid "$wine" explorer /desktop=shell,1024x768 </dev/null >/dev/null 2>&1 &
  for _ in $(seq 100); do
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1 && break
    sleep 0.2
  done
}

# Restarts the prefix with the tests' virtual desktop ("shell", with its taskbar) or with none
# ("plain": windows are the X screen's own, so the desktop's explorer.exe can end without
# taking every window along, as Windows' shell does). Safe removal's tests run on "plain".
restart_prefix() {
  local wine
  wine=$(wine_for_arch "$(test_arch)")
  { wineserver -k; wineserver -w; } </dev/null >/dev/null 2>&1
  if [ "${1:-shell}" = plain ]; then
    "$wine" reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f
  else
    "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f
  fi </dev/null >/dev/null 2>&1
  wineserver -p </dev/null >/dev/null 2>&1
  if [ "${1:-shell}" = plain ]; then
    setsid "$wine" explorer /desktop </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do
      "$wine" cmd /c exit </dev/null >/dev/null 2>&1 && break
      sleep 0.2
    done
  else
    warm_up_prefix
  fi
}
