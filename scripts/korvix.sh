#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing on a Debian 12 machine, builds Korvix, and then either
# starts it on the bundled sample device (run), runs every test (test), the headless
# ones a second time under the address and undefined-behaviour sanitizers, or makes the
# Debian package (package).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mode="${1:-run}"
build="${KORVIX_BUILD_DIR:-$here/build}"

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools linguist-qt6
  qt6-webengine-dev qt6-webengine-dev-tools qt6-webchannel-dev qt6-multimedia-dev qt6-svg-dev
  qt6-qpa-plugins libqt6opengl6-dev libgl-dev libqt6sql6-sqlite
  zlib1g-dev libmspack-dev libsndfile1-dev libsamplerate0-dev
  vorbis-tools espeak-ng libjs-leaflet libjs-leaflet.markercluster qt6-translations-l10n
)
test_packages=(libgtest-dev libbenchmark-dev groff-base gpsbabel libxml2-utils cabextract gcab xvfb xauth imagemagick pulseaudio pulseaudio-utils lintian appstream desktop-file-utils dbus-daemon udisks2 udev e2fsprogs)
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
    failed=0
    (cd "$build" && ctest --output-on-failure -j "$(nproc)" --timeout 600) || failed=1
    # Then the headless libraries, the command line and their tests again with
    # AddressSanitizer and UndefinedBehaviorSanitizer, in a build folder of their own.
    sanitized="${KORVIX_SANITIZE_BUILD_DIR:-$build-asan}"
    cmake -S "$here" -B "$sanitized" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DKORVIX_SANITIZE=ON -DKORVIX_TESTS=ON -DKORVIX_BENCH=OFF
    cmake --build "$sanitized" --target korvix_sanitized -j "$(nproc)"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    (cd "$sanitized" && ctest --output-on-failure -L sanitized -j "$(nproc)" --timeout 1200) || failed=1
    exit $failed
    ;;
  package)
    (cd "$build" && cpack -G DEB)
    ls "$build"/korvix_*.deb
    ;;
  *)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac
