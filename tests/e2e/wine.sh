# Wine machinery for the end-to-end cases and the demonstration: an X server,
# a template prefix copied for each case, and a persistent wineserver per
# prefix. Callers set WINEDEBUG and keep WINEPREFIX pointing at their prefix.

X_SERVER_PID=

# start_x_server: an Xvfb of its own on a free display; exports DISPLAY.
start_x_server() {
  local fifo display
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  X_SERVER_PID=$!
  display=$(timeout 20 head -1 "$fifo")
  rm -f "$fifo"
  if [ -z "$display" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=:$display
}

stop_x_server() {
  [ -n "$X_SERVER_PID" ] && kill "$X_SERVER_PID" 2>/dev/null
  X_SERVER_PID=
}

# ensure_template <folder>: a prepared prefix, made once per Wine version:
# MS Sans Serif and the other Wine fonts installed (Debian's Wine does not
# load them from /usr/share/wine/fonts), and Managed=N, without which every
# window that is hidden or destroyed stalls for two seconds waiting for a
# window manager.
ensure_template() {
  local template=$1 stamp
  stamp="$(wine --version) fonts managed=N"
  if [ -f "$template/.e2e-template" ] && [ "$(cat "$template/.e2e-template")" == "$stamp" ]; then
    return 0
  fi
  rm -rf "$template"
  echo "Making the template Wine prefix (once) ..."
  (
    export WINEPREFIX=$template
    wineboot -i >/dev/null 2>&1 && wineserver -w &&
      cp /usr/share/wine/fonts/* "$template/drive_c/windows/Fonts/" &&
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 &&
      wineserver -w
  ) || return 1
  echo "$stamp" >"$template/.e2e-template"
}

# new_case_prefix <template> <folder>: a fresh copy. Not hard links: Wine
# rewrites some files of a prefix in place.
new_case_prefix() {
  rm -rf "$2"
  mkdir -p "$(dirname "$2")"
  cp -a "$1" "$2"
}

# start_wineserver: a persistent wineserver for WINEPREFIX, then a first
# process so that Wine's own services are up (and bound to DISPLAY) before a
# case times anything.
start_wineserver() {
  wineserver -p || return 1
  wine cmd /c exit 0 >/dev/null 2>&1
}

stop_wineserver() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
}

# capture_screen <png file>: the whole X screen.
capture_screen() { import -window root "$1" 2>/dev/null; }
