#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine, builds Korvix, and then either
# starts it on the bundled sample device (run) or runs every test (test).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mode="${1:-run}"
build="${KORVIX_BUILD_DIR:-$here/build}"

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools linguist-qt6
  qt6-webengine-dev qt6-webengine-dev-tools qt6-webchannel-dev qt6-multimedia-dev qt6-svg-dev
  qt6-qpa-plugins libqt6opengl6-dev libgl-dev
  zlib1g-dev libmspack-dev libsndfile1-dev libsamplerate0-dev
  vorbis-tools espeak-ng libjs-leaflet libjs-leaflet.markercluster
)
test_packages=(libgtest-dev libbenchmark-dev gpsbabel libxml2-utils cabextract gcab xvfb xauth imagemagick pulseaudio pulseaudio-utils)
[ "$mode" = test ] && packages+=("${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

tests=OFF
[ "$mode" = test ] && tests=ON
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVIX_TESTS=$tests -DKORVIX_BENCH=$tests
cmake --build "$build" -j "$(nproc)"

case "$mode" in
  run)
    sample="$build/sample-device"
    rm -rf "$sample"
    "$build/bin/korvix-cli" sample-device "$sample"
    exec "$build/bin/korvix" --device "$sample"
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
    [ -x "$here/scripts/sound-server.sh" ] && "$here/scripts/sound-server.sh" || true
    cd "$build"
    ctest --output-on-failure -j "$(nproc)" --timeout 600
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
