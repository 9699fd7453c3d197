#!/usr/bin/env bash
# Screenshots of the main screen under Xvfb at 1920x1080 with 0, 1, 4 and 8
# simulated cameras (frames drawn by mksimcams) and the IO-board simulator,
# in each language. With no camera the start-up asks whether to clear the
# camera serials: that question is shot too, then answered "no" with xdotool.
#   tests/mainwin/shoot.sh BUILD_DIR OUT_DIR [DISPLAY_NUMBER] [CAMERA_COUNTS] [LANGUAGES]
set -euo pipefail
build=$(cd "${1:?build dir}" && pwd)
mkdir -p "${2:?output dir}"
out=$(cd "$2" && pwd)
display=${3:-18}
counts=${4:-"0 1 4 8"}
languages=${5:-"0 1 2"}
here=$(cd "$(dirname "$0")" && pwd)
export DISPLAY=":$display"

started=
up() { xdotool getdisplaygeometry >/dev/null 2>&1; }
if ! up; then
  Xvfb "$DISPLAY" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  started=$!
  for _ in $(seq 50); do up && break; sleep 0.1; done
fi
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -n "$started" ] && kill "$started" 2>/dev/null || true
}
trap cleanup EXIT

# Waits (at most 20 s) for a top-level window of the program named $1.
window_of() {
  local pid=$1 id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | tail -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

for cams in $counts; do
  for lan in $languages; do
    work=$(mktemp -d)
    cp -r "$build/installfiles/." "$work/"
    cp "$work/paraGroup/default/PARAM.db" "$work/PARAM.db"
    cp "$work/paraGroup/default/SN.db" "$work/SN.db"
    cp "$work/RECORDNULL.db" "$work/RECORD.db"
    # The language is the 13th number of row system2.
    python3 - "$work/PARAM.db" "$lan" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
values = db.execute("select value from sysparam where name='system2'").fetchone()[0].split()
values[12] = sys.argv[2]
db.execute("update sysparam set value=? where name='system2'", (" ".join(values),))
db.commit()
PY
    mkdir -p "$work/simcams"
    [ "$cams" -gt 0 ] && "$build/tools/camera-sim/mksimcams" "$work/simcams" "$cams" >/dev/null
    python3 "$here/../../tools/ioboard-sim/ioboard_sim.py" --ignore-stdin --path-file "$work/ioboard.pty" \
      >"$work/ioboard.log" 2>&1 </dev/null &
    sim=$!
    pids+=("$sim")
    for _ in $(seq 50); do [ -s "$work/ioboard.pty" ] && break; sleep 0.1; done
    (cd "$work" && MOULDMON_SHELL="record:$work/shell.log" MOULDMON_SIM_CAMERAS="$work/simcams" \
      MOULDMON_IO_DEVICE="$(cat "$work/ioboard.pty")" MOULDMON_LED_LOG="$work/led.log" \
      MOULDMON_USB_ROOT="$work/usb" QT_QPA_PLATFORM=xcb exec "$build/mouldmonitor") >"$work/program.log" 2>&1 &
    app=$!
    pids+=("$app")
    name="main-$cams-cam-lan$lan"
    if [ "$cams" -eq 0 ]; then
      box=$(window_of "$app")
      sleep 1
      import -window root "$out/question-lan$lan.png"
      xdotool key --window "$box" Escape
    fi
    sleep 4
    import -window root "$out/$name.png"
    kill "$app" "$sim" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    rm -rf "$work"
    echo "shot $name"
  done
done
