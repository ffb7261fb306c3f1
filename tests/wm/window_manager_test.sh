#!/usr/bin/env bash
# The real program under a window manager (openbox on a private Xvfb), driven with xdotool, checked
# through what the window manager was told and does: which windows are transient for the frame,
# the stacking order, where the keyboard is, what title-bar actions a box allows, and whether a
# window opened at the screen's edge lies within the screen.
# Usage: window_manager_test.sh PROGRAM SEEDER. Exits 77 (skipped) when a tool is missing.
set -u
program="$(readlink -f "$1")"
seeder="$(readlink -f "$2")"

for tool in Xvfb openbox xdotool xprop xwininfo; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done

work="$(mktemp -d /tmp/prescripts-wm-XXXXXX)"
pids=()
cleanup() {
  local p
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    p="${pids[i]}"
    kill "$p" 2>/dev/null && wait "$p" 2>/dev/null
  done
  [ -n "${PRESCRIPTS_WM_SHOTS:-}" ] && cp "$work/program.log" "$PRESCRIPTS_WM_SHOTS/" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

checks=0
failures=0
started=$(date +%s%N)
# PRESCRIPTS_WM_SHOTS=folder keeps a screenshot of the screen at every check (import, if installed).
shot() {
  [ -n "${PRESCRIPTS_WM_SHOTS:-}" ] && command -v import >/dev/null 2>&1 &&
    import -window root "$PRESCRIPTS_WM_SHOTS/check-$checks.png" 2>/dev/null
  return 0
}
pass() { checks=$((checks + 1)); echo "ok   $checks $1"; shot; }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL $checks $1"; shot; }
check() {  # check "what" command...
  local what="$1"; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

# Polls `command...` every 50 ms until it succeeds or `seconds` have passed.
wait_until() {
  local seconds="$1"; shift
  local until=$(($(date +%s%N) + seconds * 1000000000))
  until "$@"; do
    [ "$(date +%s%N)" -ge "$until" ] && return 1
    sleep 0.05
  done
}

# --- The display, the window manager, the data and the program -----------------------------------
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
has_display() { [ -s "$work/display" ]; }
wait_until 20 has_display || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until 20 wm_running || { echo "openbox did not start"; cat "$work/openbox.log"; exit 1; }

mkdir -p "$work/data" "$work/home"
"$seeder" "$work/data" || { echo "seeding the data folder failed"; exit 1; }
(cd "$work/data" && exec env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/home" \
    QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1) &
pids+=($!)

# --- What the window manager knows ---------------------------------------------------------------
# The first mapped window whose name matches `pattern` (an extended regex), or nothing.
window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
# Waits for it and prints its id.
wait_window() {
  local id=""
  found() { id="$(window_named "$1")"; [ -n "$id" ]; }
  wait_until "${2:-20}" found "$1" && echo "$id"
}
gone() { [ -z "$(window_named "$1")" ]; }
dec() { printf '%d' "$1"; }
active() { dec "$(xprop -root _NET_ACTIVE_WINDOW | grep -o '0x[0-9a-f]*' | head -n1)"; }
is_active() { [ "$(active)" = "$1" ]; }
transient_for() { local t; t="$(xprop -id "$1" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*')"; [ -n "$t" ] && dec "$t"; }
# Where `id` stands in the stacking order, bottom first.
stack_place() {
  local n=0 w
  for w in $(xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*'); do
    [ "$(dec "$w")" = "$1" ] && { echo "$n"; return; }
    n=$((n + 1))
  done
  echo -1
}
above() { [ "$(stack_place "$1")" -gt "$(stack_place "$2")" ]; }
# A window's outer rectangle with the window manager's frame: x y width height.
outer() {
  local x y w h l r t b
  x=$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print $4}')
  y=$(xwininfo -id "$1" | awk '/Absolute upper-left Y/ {print $4}')
  w=$(xwininfo -id "$1" | awk '/Width:/ {print $2}')
  h=$(xwininfo -id "$1" | awk '/Height:/ {print $2}')
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | grep -o '[0-9]*, [0-9]*, [0-9]*, [0-9]*$' | tr -d ,)
  echo "$((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))"
}
within_screen() {
  local x y w h
  read -r x y w h < <(outer "$1")
  [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] && [ $((y + h)) -le 1024 ]
}
# `id`'s centre lies within `over`'s outer rectangle: it opened over that window.
opens_over() {
  local x y w h ox oy ow oh cx cy
  read -r x y w h < <(outer "$1")
  read -r ox oy ow oh < <(outer "$2")
  cx=$((x + w / 2)) cy=$((y + h / 2))
  [ "$cx" -ge "$ox" ] && [ "$cy" -ge "$oy" ] && [ "$cx" -lt $((ox + ow)) ] && [ "$cy" -lt $((oy + oh)) ]
}
# _MOTIF_WM_HINTS = flags, functions, decorations: neither the minimise (8) and maximise (16)
# functions nor their buttons (32, 64) asked for.
no_min_max() {
  local f d
  read -r f d < <(xprop -id "$1" _MOTIF_WM_HINTS | sed -n 's/.*= [^,]*, \([^,]*\), \([^,]*\).*/\1 \2/p')
  [ -n "$f" ] && [ $((f & 24)) -eq 0 ] && [ $((d & 96)) -eq 0 ]
}
minimised() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; }
has_icon() { xprop -id "$1" _NET_WM_ICON 2>/dev/null | grep -q 'Icon ('; }
# Retries keys until `pattern` opens: an MDI child inside the frame is no window of the window
# manager's, so its readiness for the next key cannot be waited for by name.
keys_until_window() {
  local pattern="$1"; shift
  local try id
  for try in 1 2 3 4 5; do
    xdotool key --clearmodifiers --delay 300 "$@"
    id="$(wait_window "$pattern" 3)" && { echo "$id"; return 0; }
    echo "     (\"$pattern\" not open after try $try)" >&2
  done
  echo "     keyboard on $(active) (frame $frame); open: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' ';')" >&2
  return 1
}

# --- The start-up reminders over the frame --------------------------------------------------------
frame=$(wait_window '^Brindlecrest' 30) || { echo "the frame did not open"; cat "$work/program.log"; exit 1; }
reminders=$(wait_window '^Refill Reminders') || { echo "the start-up reminders did not open"; exit 1; }
check "the reminders are transient for the frame" [ "$(transient_for "$reminders")" = "$frame" ]
check "the reminders open over the frame" opens_over "$reminders" "$frame"
check "the reminders stand above the frame" above "$reminders" "$frame"
check "the reminders have the keyboard" wait_until 10 is_active "$reminders"

# A click on a part of the frame the reminders do not cover.
read -r fx fy fw fh < <(outer "$frame")
xdotool mousemove $((fx + fw - 20)) $((fy + fh - 40)) click 1
check "after a click on the frame the reminders still stand above it" above "$reminders" "$frame"
check "after a click on the frame the keyboard is on the reminders" wait_until 10 is_active "$reminders"

# A double click on the frame's title bar maximises it (openbox's default binding).
maximised() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_VERT; }
title_double_click() {
  local x y w h
  read -r x y w h < <(outer "$1")
  xdotool mousemove $((x + 60)) $((y + 8)) click --repeat 2 --delay 80 1
}
title_double_click "$frame"
check "the frame maximises" wait_until 10 maximised "$frame"
check "over the maximised frame the reminders stand above it" above "$reminders" "$frame"
check "over the maximised frame the keyboard is on the reminders" wait_until 10 is_active "$reminders"
title_double_click "$frame"
unmaximised() { ! maximised "$1"; }
wait_until 10 unmaximised "$frame"
xdotool windowactivate "$frame" 2>/dev/null
check "activating the frame brings the reminders forward with the keyboard" wait_until 10 is_active "$reminders"
check "the reminders still stand above the frame" above "$reminders" "$frame"

xdotool key --clearmodifiers Escape
check "Escape closes the reminders" wait_until 10 gone '^Refill Reminders'
check "the keyboard goes back to the frame" wait_until 10 is_active "$frame"

# --- The person chooser, and the box its report shows when nobody is chosen --------------------
if chooser=$(keys_until_window "^Choose Person's Name" alt+r Down Return); then
  check "the person chooser is transient for the frame" [ "$(transient_for "$chooser")" = "$frame" ]
  check "the person chooser opens over the frame" opens_over "$chooser" "$frame"
  check "the person chooser has the keyboard" wait_until 10 is_active "$chooser"
  xdotool key --clearmodifiers Escape  # nobody chosen: the report finds nothing and says so
else
  fail "the person chooser opens from Reports"
fi

# --- A message box: title and close only, and back with the keyboard once minimised -------------
if box=$(wait_window '^No Records'); then
  check "the box is transient for the frame" [ "$(transient_for "$box")" = "$frame" ]
  check "the box opens over the frame" opens_over "$box" "$frame"
  check "the box has the keyboard" wait_until 10 is_active "$box"
  check "the box cannot be maximised" sh -c "! xprop -id $box _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE"
  check "the box asks for no minimise or maximise" no_min_max "$box"
  xdotool windowminimize "$box"
  wait_until 10 minimised "$box"
  xdotool windowactivate "$frame" 2>/dev/null
  check "once the program is restored the box has the keyboard" wait_until 10 is_active "$box"
  check "the restored box stands above the frame" above "$box" "$frame"
  xdotool key --clearmodifiers Return
  check "the box is answered from the keyboard" wait_until 10 gone '^No Records'
  check "the person chooser closes after its report" wait_until 10 gone "^Choose Person's Name"
else
  fail "the report of nobody says it found no records"
fi
wait_until 10 is_active "$frame"

# --- A preview opened with the frame at the screen's bottom right --------------------------------
read -r fx fy fw fh < <(outer "$frame")
xdotool windowmove "$frame" $((1280 - fw)) $((1024 - fh))
at_bottom_right() { local x y w h; read -r x y w h < <(outer "$frame"); [ $((x + w)) -ge 1270 ] && [ $((y + h)) -ge 1014 ]; }
wait_until 10 at_bottom_right
if preview=$(keys_until_window '^Report Preview' alt+r Return); then
  check "the preview is transient for the frame" [ "$(transient_for "$preview")" = "$frame" ]
  echo "     preview at $(outer "$preview" | awk '{printf "%d,%d %dx%d", $1, $2, $3, $4}') on a 1280x1024 screen"
  check "the preview lies within the screen" within_screen "$preview"
  check "the preview has the keyboard" wait_until 10 is_active "$preview"
  xdotool key --clearmodifiers Escape
  check "Escape closes the preview" wait_until 10 gone '^Report Preview'
else
  fail "the prescriptions report opens its preview"
fi

# --- Help ---------------------------------------------------------------------------------------
wait_until 10 is_active "$frame"
if help=$(keys_until_window ' Help$' alt+h Return); then
  check "help is transient for the frame" [ "$(transient_for "$help")" = "$frame" ]
  check "help opens over the frame" opens_over "$help" "$frame"
  check "help has the program's icon" has_icon "$help"
  check "help has the keyboard" wait_until 10 is_active "$help"
  xdotool key --clearmodifiers alt+F4  # openbox's close
  check "help closes" wait_until 10 gone ' Help$'
else
  fail "Help > Contents opens help"
fi

# --- About, the last item of the Help menu -------------------------------------------------------
wait_until 10 is_active "$frame"
if about=$(keys_until_window '^About' alt+h Up Return); then
  check "About is transient for the frame" [ "$(transient_for "$about")" = "$frame" ]
  check "About opens over the frame" opens_over "$about" "$frame"
  check "About has the keyboard" wait_until 10 is_active "$about"
  xdotool key --clearmodifiers Escape
  check "Escape closes About" wait_until 10 gone '^About'
else
  fail "Help > About opens"
fi

# --- The calendar of a prescription's form --------------------------------------------------------
# Keys typed while a window opens are held for it, so the whole way there is typed at once: the
# list, its Insert, the form's twelfth stop (Date Filled's calendar button) and Space.
xdotool windowactivate "$frame" 2>/dev/null
wait_until 10 is_active "$frame"
xdotool key --clearmodifiers --delay 100 alt+p Return alt+i Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
if calendar=$(wait_window '^Date Filled'); then
  check "the calendar is transient for the frame" [ "$(transient_for "$calendar")" = "$frame" ]
  check "the calendar opens over the frame" opens_over "$calendar" "$frame"
  check "the calendar has the keyboard" wait_until 10 is_active "$calendar"
  read -r fx fy fw fh < <(outer "$frame")
  xdotool mousemove $((fx + fw - 30)) $((fy + fh / 2)) click 1
  check "after a click on the frame the calendar still stands above it" above "$calendar" "$frame"
  check "after a click on the frame the keyboard is on the calendar" wait_until 10 is_active "$calendar"
  xdotool key --clearmodifiers Escape
  check "Escape closes the calendar" wait_until 10 gone '^Date Filled'
  check "the keyboard goes back to the frame, where the form is" wait_until 10 is_active "$frame"
else
  fail "the form's calendar opens"
fi

elapsed=$((($(date +%s%N) - started) / 1000000))
echo "$checks checks, $failures failed, in $elapsed ms"
[ "$failures" -eq 0 ]
