# Shared set-up for tools/run and tools/test: packages, the Wine prefix, the display.
# Sourced, not run. Everything lands under build/ so a clean clone stays clean.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
export WINEPREFIX="$BUILD/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono/Gecko install prompts and no desktop menu entries written into $HOME.
export WINEDLLOVERRIDES="mscoree=;winemenubuilder.exe=d"

log() { printf '== %s\n' "$*" >&2; }

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian packages that a fresh machine lacks; i386 multiarch first, for wine32.
ensure_packages() {
    local need=(cmake make python3 mingw-w64 g++-mingw-w64-i686-posix wine wine32 xvfb xauth
                xdotool imagemagick googletest)
    local missing=()
    for p in "${need[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

configure_and_build() {
    cd "$ROOT"
    cmake --preset x86 "$@" >/dev/null
    cmake --build --preset x86
}

# A throwaway 32-bit prefix that never asks anything and writes nothing outside itself.
ensure_prefix() {
    [ -f "$WINEPREFIX/.quorvane-ready" ] && return 0
    log "creating the Wine prefix in $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1
    wineserver -w
    # Without a window manager, managed windows stall on hide/destroy and caption drags hang.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # The shell folders point into $HOME by symlink; keep them inside the prefix.
    local user_dir
    for user_dir in "$WINEPREFIX"/drive_c/users/*/; do
        local f
        for f in Desktop Documents; do
            if [ -L "$user_dir$f" ]; then rm -f "$user_dir$f"; mkdir -p "$user_dir$f"; fi
        done
    done
    wineserver -w
    touch "$WINEPREFIX/.quorvane-ready"
}

# A display: the caller's own, or a private Xvfb that ends with the calling shell.
XVFB_PID=""
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then return 0; fi
    # Xvfb picks a free display number itself and writes it to fd 3: no race with other runs.
    local numfile
    numfile="$(mktemp)"
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -br -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 100); do
        if [ -s "$numfile" ]; then
            export DISPLAY=":$(tr -dc 0-9 <"$numfile")"
            rm -f "$numfile"
            return 0
        fi
        sleep 0.1
    done
    rm -f "$numfile"
    log "Xvfb did not start"; return 1
}

stop_display() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# One persistent wineserver and one desktop for a whole run, so each test program starts in a fraction
# of a second. A server left from an earlier run may hold a display that is gone: end it first.
start_wineserver() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p >/dev/null 2>&1 || true
    wine "$BUILD/x86/tests/wine_keepalive.exe" </dev/null >/dev/null 2>&1 &
    # Pay for the desktop's start here, once, rather than inside the first test's time limit.
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# Everything a run of Windows programs here needs: packages, a fresh build, the prefix, a display and
# one wineserver, all ended when the calling script exits.
open_wine_session() {
    ensure_packages
    configure_and_build
    ensure_prefix
    ensure_display
    trap end_wine_session EXIT
    start_wineserver
}

end_wine_session() {
    wineserver -k >/dev/null 2>&1 || true
    stop_display
}
