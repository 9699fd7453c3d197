#!/usr/bin/env bash
# Installs what is missing, builds, lays out a working directory and starts
# mouldmonitor there with the simulated hardware (recording shell: nothing
# reaches the host). With no display it runs under Xvfb at 1920x1080.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"
./tools/setup.sh
./tools/build.sh
build=${MOULDMON_BUILD:-$top/build}
work=${MOULDMON_WORKDIR:-$top/run}
mkdir -p "$work"
work=$(cd "$work" && pwd)

# Installation files: laid in once, never over what the program changed since.
cp -rn "$build/installfiles/." "$work/"
[ -f "$work/PARAM.db" ] || cp "$work/paraGroup/default/PARAM.db" "$work/"
[ -f "$work/SN.db" ] || cp "$work/paraGroup/default/SN.db" "$work/"
[ -f "$work/RECORD.db" ] || cp "$work/RECORDNULL.db" "$work/RECORD.db"

export MOULDMON_SHELL="record:$work/shell-commands.log"
export MOULDMON_LED_LOG="${MOULDMON_LED_LOG:-$work/led.log}"
export MOULDMON_USB_ROOT="${MOULDMON_USB_ROOT:-$work/usb}"
mkdir -p "$MOULDMON_USB_ROOT"
# The system files the settings write (network interfaces, host name, hosts).
export MOULDMON_SYSTEM_ROOT="${MOULDMON_SYSTEM_ROOT:-$work/system}"
mkdir -p "$MOULDMON_SYSTEM_ROOT/etc/network"

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT

# Simulated hardware, each started by its own script when present.
for sim in "$top"/tools/*/start-sim.sh; do
  [ -x "$sim" ] || continue
  # shellcheck source=/dev/null
  source "$sim"
done

if [ -z "${DISPLAY:-}" ]; then
  display=":${MOULDMON_DISPLAY:-97}"
  echo "run.sh: no display; starting Xvfb $display at 1920x1080"
  Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=$display
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
fi

echo "run.sh: starting mouldmonitor in $work (machine commands recorded in ${MOULDMON_SHELL#record:})"
cd "$work"
"$build/mouldmonitor" &
app=$!
pids+=($app)
wait "$app"
