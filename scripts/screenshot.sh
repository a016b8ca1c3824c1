#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's screenshot: Korvix on the sample device in a real X server.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KORVIX_BUILD_DIR:-$here/build}"
out="${1:-$here/docs/screenshot.png}"
sample="$(mktemp -d)/device"
"$build/bin/korvix-cli" sample-device "$sample"
export XDG_CONFIG_HOME="$(mktemp -d)" XDG_DATA_HOME="$(mktemp -d)" XDG_CACHE_HOME="$(mktemp -d)"
display=":$((90 + RANDOM % 9))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp &
xvfb=$!
trap 'kill $xvfb $app 2>/dev/null || true' EXIT
sleep 1
DISPLAY="$display" QT_QPA_PLATFORM=xcb "$build/bin/korvix" --device "$sample" &
app=$!
sleep 4
mkdir -p "$(dirname "$out")"
DISPLAY="$display" import -window root "$out"
echo "wrote $out"
