# shellcheck shell=bash
# A small library for tests that run Windows programs under Wine. Source it,
# then:
#
#   wine_setup                  picks the Wine architecture (below), exports
#                               WINEDEBUG/WINEARCH and makes, once, the
#                               template prefix (cached in $VRL_WINE_TEMPLATE,
#                               default <repo>/build/wine-template, or
#                               build/wine-template-win64): a prefix with
#                               fonts-wine's fonts copied in and
#                               HKCU\Software\Wine\X11 Driver Managed=N.
#   wine_arch_note              prints why and which build the tests run, one
#                               line, when it is not the 32-bit one.
#   wine_start_display          starts Xvfb on a free display, exports DISPLAY.
#   wine_use_uid UID            runs this case's Wine as that (non-root) user,
#                               for Windows-like permissions: as root, Wine
#                               ignores read-only attributes and folders. Call
#                               it before wine_new_prefix.
#   wine_new_prefix             gives this case a fresh copy (cp -a) of the
#                               template, exports WINEPREFIX, prints its path.
#   wine_start_server           starts a persistent wineserver for the prefix
#                               and its first process, under the display.
#   wine_drive_c                prints the host path of the prefix's C:\.
#   wine_as_case CMD ARGS       runs a command (wine, wineserver, ...) as the
#                               case's user, with its prefix.
#   wine_run_exe SECS EXE ARGS  runs EXE (a host path or a C:\ path) with a
#                               timeout; returns its exit code (124: timed out).
#   wine_reg ARGS               runs Wine's reg.exe (from a neutral folder, so
#                               an exe called reg.exe nearby is never run).
#   wine_end_case               stops the case's wineserver and removes its
#                               prefix, so the next case can begin.
#   wine_cleanup                wine_end_case, then stops Xvfb. wine_setup
#                               installs it as an EXIT trap.
#
# Set VRL_WINE_KEEP=1 to keep the prefix for a look afterwards.
#
# The architecture: the product is a 32-bit program and runs in a win32
# prefix under 32-bit Wine. A machine that cannot run 32-bit Linux programs
# (the 32-bit wineserver does not start) cannot run 32-bit Wine at all; there
# the tests run the 64-bit build of the same sources (build/windows64) in a
# win64 prefix under the wine64 loader, and say so. VRL_WINE_ARCH=win32 or
# win64 chooses without the probe. After sourcing, VRL_WINE_ARCH is set and
# VRL_WINE_BUILD names the build folder the tests run.

VRL_REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Whether 32-bit Wine can run here: its server is a 32-bit Linux program.
wine_can_run_32bit() { /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; }

if [ -z "${VRL_WINE_ARCH:-}" ]; then
    if wine_can_run_32bit; then VRL_WINE_ARCH=win32; else VRL_WINE_ARCH=win64; fi
fi
case "$VRL_WINE_ARCH" in
    win32) VRL_WINE_BUILD="$VRL_REPO/build/windows"
           _vrl_template_default="$VRL_REPO/build/wine-template" ;;
    win64) VRL_WINE_BUILD="$VRL_REPO/build/windows64"
           _vrl_template_default="$VRL_REPO/build/wine-template-win64" ;;
    *) echo "wine-lib: VRL_WINE_ARCH must be win32 or win64, not '$VRL_WINE_ARCH'" >&2
       return 2 2>/dev/null || exit 2 ;;
esac
export VRL_WINE_ARCH VRL_WINE_BUILD
VRL_WINE_TEMPLATE="${VRL_WINE_TEMPLATE:-$_vrl_template_default}"
_vrl_wine_bin=""
_vrl_xvfb_pid=""
_vrl_case_dir=""
_vrl_uid=""

_vrl_log() { echo "wine-lib: $*" >&2; }

# Sets _vrl_env to the command words that run a program as the case's user.
_vrl_case_env() {
    _vrl_env=()
    if [ -n "$_vrl_uid" ]; then
        _vrl_env=(setpriv --reuid="$_vrl_uid" --regid="$_vrl_uid" --clear-groups
            env HOME="$_vrl_case_dir" WINEPREFIX="$WINEPREFIX" WINEDEBUG="$WINEDEBUG"
            WINEARCH="$WINEARCH" DISPLAY="$DISPLAY" PATH="$PATH")
    fi
}

wine_as_case() {
    _vrl_case_env
    "${_vrl_env[@]}" "$@"
}

# Runs a Wine tool from a folder with no programs of ours in it.
_vrl_wine_tool() { (cd / && wine_as_case wine "$@"); }

_vrl_make_template() {
    local tmp="$VRL_WINE_TEMPLATE.tmp.$$"
    rm -rf "$tmp"
    mkdir -p "$tmp"
    _vrl_log "creating the template prefix (about 10 s)"
    (
        export WINEPREFIX="$tmp/pfx"
        wineboot -i >/dev/null 2>&1
        wineserver -w
        if [ -d /usr/share/wine/fonts ]; then
            cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
        fi
        _vrl_wine_tool reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            >/dev/null 2>&1
        wineserver -k
        wineserver -w
        # Debian's Wine names its server folder in this file; each copy
        # must find its own.
        rm -f "$WINEPREFIX/wineserver"
    ) || { rm -rf "$tmp"; return 1; }
    if [ ! -d "$tmp/pfx/drive_c/windows" ]; then
        _vrl_log "wineboot made no $WINEARCH prefix"
        rm -rf "$tmp"
        return 1
    fi
    rm -rf "$VRL_WINE_TEMPLATE"
    mv "$tmp" "$VRL_WINE_TEMPLATE"
}

wine_arch_note() {
    if [ "$VRL_WINE_ARCH" == win64 ]; then
        if wine_can_run_32bit; then
            echo "VRL_WINE_ARCH=win64: running the 64-bit build of the same sources under 64-bit Wine"
        else
            echo "this machine cannot run 32-bit programs: running the 64-bit build of the same sources under 64-bit Wine"
        fi
    fi
}

# Debian's wine, wineboot and winecfg commands take the 32-bit loader
# whenever it is installed, runnable or not; for win64 a folder put first on
# PATH gives those names to the wine64 loader, for the case's user too.
_vrl_use_wine64_loader() {
    [ -n "$_vrl_wine_bin" ] && return 0
    [ -x /usr/lib/wine/wine64 ] || { _vrl_log "wine64 is not installed"; return 1; }
    _vrl_wine_bin="$(mktemp -d "${TMPDIR:-/tmp}/vrl-wine64-bin.XXXXXX")"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$_vrl_wine_bin/wine"
    local tool
    for tool in wineboot winecfg winepath; do
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 %s.exe "$@"\n' "$tool" >"$_vrl_wine_bin/$tool"
    done
    chmod 755 "$_vrl_wine_bin" "$_vrl_wine_bin"/*
    export WINELOADER=/usr/lib/wine/wine64 PATH="$_vrl_wine_bin:$PATH"
}

wine_setup() {
    export WINEDEBUG="${WINEDEBUG:--all}" WINEARCH="$VRL_WINE_ARCH"
    if [ "$VRL_WINE_ARCH" == win64 ]; then
        _vrl_log "$(wine_arch_note)"
        _vrl_use_wine64_loader || return 1
    fi
    command -v wine >/dev/null || { _vrl_log "wine is not installed"; return 1; }
    command -v Xvfb >/dev/null || { _vrl_log "Xvfb is not installed"; return 1; }
    trap wine_cleanup EXIT
    wine_start_display || return 1
    mkdir -p "$(dirname "$VRL_WINE_TEMPLATE")"
    # One maker at a time; the others wait for its template.
    (
        flock 9
        [ -d "$VRL_WINE_TEMPLATE/pfx/drive_c" ] || _vrl_make_template
    ) 9>"$VRL_WINE_TEMPLATE.lock"
}

wine_start_display() {
    [ -n "$_vrl_xvfb_pid" ] && return 0
    local fifo
    fifo="$(mktemp -u)"
    mkfifo "$fifo"
    # Xvfb picks a free display itself and writes its number to fd 3.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    _vrl_xvfb_pid=$!
    local number
    read -r -t 20 number <"$fifo"
    rm -f "$fifo"
    [ -n "$number" ] || { _vrl_log "Xvfb did not start"; return 1; }
    export DISPLAY=":$number"
}

wine_use_uid() { _vrl_uid="$1"; }

wine_new_prefix() {
    _vrl_case_dir="$(mktemp -d "${TMPDIR:-/tmp}/vrl-wine.XXXXXX")"
    cp -a "$VRL_WINE_TEMPLATE/pfx" "$_vrl_case_dir/pfx"
    rm -f "$_vrl_case_dir/pfx/wineserver"
    # Wine refuses a prefix its user does not own.
    if [ -n "$_vrl_uid" ]; then
        chown -R "$_vrl_uid:$_vrl_uid" "$_vrl_case_dir"
        chmod 755 "$_vrl_case_dir"
    fi
    export WINEPREFIX="$_vrl_case_dir/pfx"
    echo "$WINEPREFIX"
}

wine_start_server() {
    wine_as_case wineserver -p
    # The first process of a wineserver run fixes its display: it must be ours.
    _vrl_wine_tool cmd /c exit 0 >/dev/null 2>&1
}

wine_drive_c() { echo "$WINEPREFIX/drive_c"; }

wine_run_exe() {
    local seconds="$1" exe="$2"
    shift 2
    local rc=0
    _vrl_case_env
    timeout --kill-after=5 "$seconds" "${_vrl_env[@]}" wine "$exe" "$@" || rc=$?
    return "$rc"
}

# reg.exe has the bitness of the prefix, as the program under test does: in
# a win64 prefix both see the native 64-bit registry view (no WOW6432Node
# redirection), and C:\windows\system32 holds 64-bit DLLs for them.
wine_reg() { _vrl_wine_tool reg "$@"; }

wine_end_case() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        wine_as_case wineserver -k >/dev/null 2>&1 || true
        wine_as_case wineserver -w >/dev/null 2>&1 || true
    fi
    if [ -n "$_vrl_case_dir" ] && [ "${VRL_WINE_KEEP:-0}" != 1 ]; then
        rm -rf "$_vrl_case_dir"
    fi
    _vrl_case_dir=""
    _vrl_uid=""
    unset WINEPREFIX
}

wine_cleanup() {
    wine_end_case
    if [ -n "$_vrl_xvfb_pid" ]; then
        kill "$_vrl_xvfb_pid" 2>/dev/null || true
        wait "$_vrl_xvfb_pid" 2>/dev/null || true
        _vrl_xvfb_pid=""
    fi
    if [ -n "$_vrl_wine_bin" ]; then
        rm -rf "$_vrl_wine_bin"
        _vrl_wine_bin=""
    fi
}
