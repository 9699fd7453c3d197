#!/usr/bin/env bash
# Sourced by run.sh: simulated cameras. Unless MOULDMON_SIM_CAMERAS already
# names a folder, lays out a demo folder of four cameras in $work/simcams
# (drawn once, kept afterwards) and points the program at it.
if [ -z "${MOULDMON_SIM_CAMERAS:-}" ]; then
  if [ ! -d "$work/simcams/cam0" ]; then
    "$build/tools/camera-sim/mksimcams" "$work/simcams" 4
  fi
  export MOULDMON_SIM_CAMERAS="$work/simcams"
fi
echo "camera-sim: simulated cameras in $MOULDMON_SIM_CAMERAS"
