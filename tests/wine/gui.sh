# GUI helpers for tests that drive Wine windows on an X server (Xvfb):
# find a window by its exact title, type into it, click into it, take
# screenshots. Source this file; DISPLAY must name the X server the Wine
# processes use (tests/wine/lib.sh or the end-to-end runner starts it).
#
#   id=$(gui_wait_window 'Virelle - Select Data Drive') || fail ...
#   gui_keys "$id" Down Return
#   gui_click "$id" 79 256 316 289     # client point, client size 316 x 289
#   gui_wait_gone "$id"
#   gui_screenshot artifacts/dialog.png "$id"
#
# Wine rules these follow (see the shared wine notes, GUI section): keys
# reach Wine only through XTEST with the X focus on its window, so every key
# is sent after windowfocus; XSendEvent keys (key --window) are ignored.
# With Managed=N and no window manager, Wine draws the frame inside the X
# window, so the X window's geometry is the whole window rectangle.

# gui_title_regex <title>: the title as an anchored extended regex that
# matches it exactly.
gui_title_regex() {
  printf '^%s$' "$(sed -e 's/[][\.*^$+?(){}|\/]/\\&/g' <<<"$1")"
}

# gui_wait_window <exact title> [seconds]: prints the X id of the first
# visible window with that title; returns 1 when none appears in time.
gui_wait_window() {
  local id
  id=$(timeout "${2:-30}" xdotool search --sync --onlyvisible --name "$(gui_title_regex "$1")" \
    2>/dev/null | head -1)
  [ -n "$id" ] || return 1
  echo "$id"
}

# gui_window_exists <exact title>: whether a visible window has that title now.
gui_window_exists() {
  [ -n "$(xdotool search --onlyvisible --name "$(gui_title_regex "$1")" 2>/dev/null | head -1)" ]
}

# gui_wait_gone <window id> [seconds]: waits until the window is no longer
# shown; returns 1 when it still is after the time.
gui_wait_gone() {
  local until=$((SECONDS + ${2:-30}))
  while xdotool search --onlyvisible --name '' 2>/dev/null | grep -qx "$1"; do
    [ "$SECONDS" -ge "$until" ] && return 1
    sleep 0.2
  done
}

# gui_keys <window id> <key>...: focuses the window, then types the keys
# (xdotool key names: Return, Escape, Down, Tab, alt+Down, n ...).
gui_keys() {
  local id=$1
  shift
  xdotool windowfocus --sync "$id" 2>/dev/null || return 1
  xdotool key --delay 80 "$@"
}

# gui_window_size <window id>: prints "width height" of the whole window.
gui_window_size() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$WIDTH $HEIGHT"
}

# gui_click <window id> <x> <y> [client width client height]: a left click.
# Without a client size the point is relative to the window's top-left
# corner; with it the point is in the client area, whose origin is found
# from the frame: equal borders left, right and below, the caption above.
gui_click() {
  local id=$1 x=$2 y=$3 width height border
  if [ $# -ge 5 ]; then
    read -r width height < <(gui_window_size "$id")
    border=$(((width - $4) / 2))
    x=$((x + border))
    y=$((y + height - $5 - border))
  fi
  xdotool windowfocus --sync "$id" 2>/dev/null
  xdotool mousemove --window "$id" "$x" "$y" click 1
}

# gui_screenshot <png file> [window id]: the window, or the whole screen.
gui_screenshot() {
  mkdir -p "$(dirname "$1")"
  if [ -n "${2:-}" ]; then
    import -window "$2" "$1" 2>/dev/null
  else
    import -window root "$1" 2>/dev/null
  fi
}
