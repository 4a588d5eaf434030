#!/bin/bash
# Contact-to-sound latency of "Geben üben" against a private PulseAudio server with a null sink
# (started and stopped here; no other sound server is touched); the sink's monitor is recorded
# with parec by the benchmark itself.
#   bench/sending_bench.sh BUILD_DIR
# Needs pulseaudio, pulseaudio-utils and xvfb.
set -euo pipefail
build=$(realpath "${1:?build folder}")
work=$(mktemp -d /tmp/sending-bench.XXXXXX)
export PULSE_RUNTIME_PATH=$work/run PULSE_STATE_PATH=$work/state
export PULSE_SERVER=unix:$work/run/native
mkdir -p "$work/run" "$work/state"
cat > "$work/server.pa" <<PA
load-module module-native-protocol-unix socket=$work/run/native auth-anonymous=1
load-module module-null-sink sink_name=cwsink rate=48000 channels=2
set-default-sink cwsink
PA
pulseaudio -n -F "$work/server.pa" --exit-idle-time=-1 --daemonize=no --use-pid-file=no \
    --log-target=file:"$work/server.log" &
server=$!
trap 'kill $server 2>/dev/null || true; wait 2>/dev/null || true' EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info | grep -E "Server Version|Default Sink"
cd "$work"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/bench_sending_latency"
echo "(work folder $work)"
