# Shared set-up for tools/run and tools/test: packages, the Wine prefix, the display.
# Sourced, not run. Everything lands under build/ so a clean clone stays clean.
#
# Which build: QUORVANE_ARCH=x86 (the product, the default) or x64, and for x64
# QUORVANE_COMPILER=gcc (the default) or clang. Each has a CMake preset, a build folder and a Wine
# prefix of its own.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"
QUORVANE_ARCH="${QUORVANE_ARCH:-x86}"
QUORVANE_COMPILER="${QUORVANE_COMPILER:-gcc}"
case "$QUORVANE_ARCH/$QUORVANE_COMPILER" in
    x86/gcc)
        PRESET=x86
        TOOLCHAIN_PACKAGES=(g++-mingw-w64-i686-posix wine32)
        export WINEPREFIX="$BUILD/wineprefix" WINEARCH=win32
        WINE=wine ;;
    x64/gcc | x64/clang)
        PRESET=x64
        TOOLCHAIN_PACKAGES=(g++-mingw-w64-x86-64-posix wine64)
        if [ "$QUORVANE_COMPILER" = clang ]; then PRESET=x64-clang; TOOLCHAIN_PACKAGES+=(clang lld); fi
        export WINEPREFIX="$BUILD/wineprefix64" WINEARCH=win64
        # Debian's wine wrapper prefers the 32-bit loader whenever wine32 is installed.
        WINE=/usr/lib/wine/wine64
        export WINELOADER="$WINE" ;;
    x86/clang)
        printf '== %s\n' "clang builds are 64-bit only (QUORVANE_ARCH=x64): 32-bit clang programs linked" \
            "   against GCC's libstdc++ crash at start-up" >&2
        exit 2 ;;
    *)
        printf '== unknown build %s (QUORVANE_ARCH: x86 or x64; QUORVANE_COMPILER: gcc or clang)\n' \
            "$QUORVANE_ARCH/$QUORVANE_COMPILER" >&2
        exit 2 ;;
esac
BUILD_DIR="$BUILD/$PRESET"
# tools/wine-run, which CTest runs every test program through, starts them with this loader.
export QUORVANE_WINE="$WINE"
export WINEDEBUG=-all
# No Mono/Gecko install prompts and no desktop menu entries written into $HOME.
export WINEDLLOVERRIDES="mscoree=;winemenubuilder.exe=d"

log() { printf '== %s\n' "$*" >&2; }

as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# Debian packages that a fresh machine lacks; i386 multiarch first, for wine32.
ensure_packages() {
    local need=(cmake make python3 mingw-w64 "${TOOLCHAIN_PACKAGES[@]}" wine xvfb xauth xdotool
                imagemagick googletest dpkg-dev libz-mingw-w64-dev)
    local missing=()
    for p in "${need[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -ne 0 ]; then install_packages "${missing[@]}"; fi
    ensure_libspng_source
}

install_packages() {
    local missing=("$@")
    log "installing: ${missing[*]}"
    if [[ " ${missing[*]} " == *" wine32 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    # Other builds on the same machine may be installing at the same moment: wait for their lock.
    as_root apt-get -o DPkg::Lock::Timeout=600 update -qq
    DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
}

# The PNG decoder's sources, as Debian ships them, unpacked under build/third_party for CMake to
# compile. A private apt configuration under build/ names the machine's own Debian archive with
# deb-src, so the system's sources, lists and caches stay as they are.
LIBSPNG_SOURCE="$BUILD/third_party/libspng-0.7.3"
ensure_libspng_source() {
    [ -f "$LIBSPNG_SOURCE/spng/spng.c" ] && return 0
    local apt_dir="$BUILD/apt"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$BUILD/third_party"
    debian_archive_as_deb_src >"$apt_dir/sources.list"
    local private=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
                   -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
                   -o APT::Sandbox::User=root)
    log "fetching the libspng 0.7.3 source package"
    rm -rf "$LIBSPNG_SOURCE"  # what an interrupted fetch left: unpacking refuses an existing folder
    apt-get "${private[@]}" update -qq
    (cd "$BUILD/third_party" && apt-get "${private[@]}" source -qq libspng >/dev/null)
    [ -f "$LIBSPNG_SOURCE/spng/spng.c" ]
}

# A deb-src line for the first Debian archive the machine's own apt sources name (deb822 or one-line form).
debian_archive_as_deb_src() {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
             { types = uris = suites = key = ""
               for (i = 1; i <= NF; i++) {
                   if ($i ~ /^Types:/) types = $i
                   else if ($i ~ /^URIs:/) { split($i, w, " "); uris = w[2] }
                   else if ($i ~ /^Suites:/) { split($i, w, " "); suites = w[2] }
                   else if ($i ~ /^Signed-By:/) { split($i, w, " "); key = w[2] } }
               if (types ~ /deb/ && uris ~ /\/debian\/?$/) {
                   printf "deb-src %s%s %s main\n", key == "" ? "" : "[signed-by=" key "] ", uris, suites
                   exit 0 } }' "$f" | grep . && return 0
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -nE 's#^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+/debian/?)[[:space:]]+([^[:space:]]+).*#deb-src \1\2 \3 main#p' \
            "$f" | head -n 1 | grep . && return 0
    done
    log "no Debian archive in the machine's apt sources"; return 1
}

configure_and_build() {
    cd "$ROOT"
    cmake --preset "$PRESET" "$@" >/dev/null
    cmake --build --preset "$PRESET"
}

# True when the kernel starts 32-bit programs: wine32's loader answers its version.
runs_32bit_programs() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# A throwaway prefix that never asks anything and writes nothing outside itself.
ensure_prefix() {
    [ -f "$WINEPREFIX/.quorvane-ready" ] && return 0
    log "creating the Wine prefix in $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    # A prefix that failed to boot must not be marked ready (e.g. a kernel without 32-bit support
    # cannot start wine32 at all).
    if [ "$WINEARCH" = win32 ] && ! runs_32bit_programs; then
        log "this machine's kernel runs no 32-bit programs, so wine32 cannot start; QUORVANE_ARCH=x64 can"
        return 1
    fi
    if ! "$WINE" wineboot --init >/dev/null 2>&1; then
        log "$WINE cannot set up a $WINEARCH prefix on this machine"
        return 1
    fi
    wineserver -w
    # Without a window manager, managed windows stall on hide/destroy and caption drags hang.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
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
    "$WINE" "$BUILD_DIR/tests/wine_keepalive.exe" </dev/null >/dev/null 2>&1 &
    # Pay for the desktop's start here, once, rather than inside the first test's time limit.
    "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
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
