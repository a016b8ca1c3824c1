#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts a real sound server for the recording and playback tests on a machine with
# no sound card and no display: a system-wide PulseAudio daemon whose default sink is
# a null sink (playback runs in real time into nothing) with a 440 Hz tone always
# playing into it, and whose default source is that sink's output remapped as a
# microphone, so recording yields a real, non-silent signal in real time. (The
# server's own sine source delivers 2-second blocks, and QtMultimedia hides monitor
# sources, hence the remapped one.) Clients find the system
# socket /var/run/pulse/native by themselves, whatever HOME or XDG_RUNTIME_DIR say.
# Installs nothing; needs the pulseaudio and pulseaudio-utils packages and root.
#
#   scripts/sound-server.sh         start it (does nothing when one already answers)
#   scripts/sound-server.sh stop    end the daemon this script started
set -u

SOCKET=/var/run/pulse/native
LOG=${KORVIX_SOUND_LOG:-/tmp/korvix-sound-server.log}

answers() {
    PULSE_SERVER=unix:$SOCKET timeout 5 pactl info >/dev/null 2>&1
}

if [ "${1:-}" = stop ]; then
    pidfile=/var/run/pulse/pid
    if [ -f "$pidfile" ]; then
        kill "$(cat "$pidfile")" 2>/dev/null
    fi
    exit 0
fi

for tool in pulseaudio pactl; do
    if ! command -v "$tool" >/dev/null; then
        echo "sound-server: $tool is missing (apt-get install pulseaudio pulseaudio-utils)" >&2
        exit 1
    fi
done

if answers; then
    echo "sound-server: already running at $SOCKET"
    exit 0
fi

# -n: none of the default modules (no hardware probing, no X11, no D-Bus session);
# only the protocol socket, open to every local client, and the two virtual devices.
pulseaudio --system --daemonize=yes -n \
    --exit-idle-time=-1 --disallow-exit --disallow-module-loading=no \
    --log-target="file:$LOG" \
    -L "module-native-protocol-unix auth-anonymous=1" \
    -L "module-null-sink sink_name=korvix_null" \
    -L "module-sine sink=korvix_null frequency=440" \
    -L "module-remap-source master=korvix_null.monitor source_name=korvix_mic source_properties=device.description=Korvix-test-microphone" \
    || { echo "sound-server: pulseaudio did not start, see $LOG" >&2; exit 1; }

for _ in 1 2 3 4 5 6 7 8 9 10; do
    if answers; then
        PULSE_SERVER=unix:$SOCKET pactl set-default-sink korvix_null
        PULSE_SERVER=unix:$SOCKET pactl set-default-source korvix_mic
        echo "sound-server: running at $SOCKET"
        exit 0
    fi
    sleep 0.5
done
echo "sound-server: pulseaudio does not answer, see $LOG" >&2
exit 1
