#!/usr/bin/env bash
# Takes the toolkit screenshots under Xvfb at 1920x1080, in each language:
#   tools/widgetdemo/shoot.sh BUILD_DIR OUT_DIR [DISPLAY_NUMBER]
set -euo pipefail
build=${1:?build dir}
out=${2:?output dir}
display=${3:-15}
mkdir -p "$out"
started=
up() { DISPLAY=":$display" xdotool getdisplaygeometry >/dev/null 2>&1; }
if ! up; then
  Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  started=$!
  for _ in $(seq 50); do up && break; sleep 0.1; done
fi
trap '[ -n "$started" ] && kill "$started"' EXIT
build=$(cd "$build" && pwd)
out=$(cd "$out" && pwd)
# The working-directory pictures ("./images/...") are in the installation files.
[ -d "$build/installfiles" ] && cd "$build/installfiles"
for lan in 0 1 2; do
  for scene in warn choose digital full numpad charpad password slider splash; do
    DISPLAY=":$display" QT_QPA_PLATFORM=xcb timeout 20 "$build/tools/widgetdemo/widgetdemo" "$scene" "$lan" "$out/$scene-$lan.png"
  done
done
