#!/usr/bin/env bash
# Sourced by run.sh: when row CntNet of PARAM.db switches the network link
# on, starts the stand-in network client, which connects to the program's
# link, acknowledges every message, sends heartbeats and records what it
# gets in $work/netclient.log. Uses $work and appends to the array pids.
netfake_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if python3 "$netfake_dir/netclient_fake.py" --check-switch "$work/PARAM.db"; then
  python3 "$netfake_dir/netclient_fake.py" --log "$work/netclient.log" \
    >"$work/netclient-fake.out" 2>&1 </dev/null &
  pids+=($!)
  echo "netclient-fake: network client stand-in started; messages recorded in $work/netclient.log"
fi
