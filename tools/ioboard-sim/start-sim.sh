#!/usr/bin/env bash
# Sourced by run.sh: starts the IO-board simulator on a pseudo-terminal,
# points the program at it (MOULDMON_IO_DEVICE) and leaves its control FIFO
# in the working directory. Uses $work and appends to the array pids.
# A device already named in MOULDMON_IO_DEVICE is left as it is.

if [ -z "${MOULDMON_IO_DEVICE:-}" ]; then
  iosim_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  iosim_fifo="$work/ioboard.fifo"
  iosim_pty="$work/ioboard.pty"
  iosim_log="$work/ioboard-sim.log"
  rm -f "$iosim_pty"
  python3 "$iosim_dir/ioboard_sim.py" --ignore-stdin --control "$iosim_fifo" \
    --path-file "$iosim_pty" >"$iosim_log" 2>&1 </dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$iosim_pty" ] && break; sleep 0.1; done
  if [ -s "$iosim_pty" ]; then
    MOULDMON_IO_DEVICE=$(cat "$iosim_pty")
    export MOULDMON_IO_DEVICE
    echo "ioboard-sim: IO board on $MOULDMON_IO_DEVICE; output and input changes go to $iosim_log"
    echo "ioboard-sim: toggle inputs 0..9 with e.g.  echo 'set 0' > $iosim_fifo"
    echo "ioboard-sim:   also: clear N | pulse N MS | inputs HEX | temp N VALUE | status (see tools/ioboard-sim/README.md)"
  else
    echo "ioboard-sim: the simulator did not start (see $iosim_log); running without an IO board"
  fi
fi
