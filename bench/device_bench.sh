#!/bin/bash
# Sound-device benchmarks against a private PulseAudio server with a null sink (started and
# stopped here; it does not touch any other sound server): the idle window's processor use and
# the time to the first sound after idle, the key-to-sound latency in keyboard mode, and
# (with "long") continuous runs while two stress processes keep both cores busy, captured from
# the sink's monitor, the device's underflow flags placed in it, and checked for gaps and clicks
# with cw-audio-metrics.
#   bench/device_bench.sh BUILD_DIR [idle] [keys] [long [SECONDS]]
# Needs pulseaudio, pulseaudio-utils, xvfb, stress-ng; cw-audio-metrics from ../shared/tools.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(realpath "${1:?build folder}")
shift
parts=("$@")
[ ${#parts[@]} -eq 0 ] && parts=(idle keys)
metrics=${CW_AUDIO_METRICS:-/work/shared/tools/cw-audio-metrics}
work=$(mktemp -d /tmp/device-bench.XXXXXX)
export PULSE_RUNTIME_PATH=$work/run PULSE_STATE_PATH=$work/state
export PULSE_SERVER=unix:$work/run/native
mkdir -p "$work/run" "$work/state"
cat > "$work/server.pa" <<PA
load-module module-native-protocol-unix socket=$work/run/native auth-anonymous=1
load-module module-null-sink sink_name=cwsink rate=48000 channels=2
set-default-sink cwsink
PA
# As root a per-user server needs --daemonize=no (and runs in the background here); it never
# exits on idle.
pulseaudio -n -F "$work/server.pa" --exit-idle-time=-1 --daemonize=no --use-pid-file=no \
    --log-target=file:"$work/server.log" &
server=$!
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    kill "$server" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info | grep -E "Server Version|Default Sink"
cd "$work"

run_x() { xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; }

for ((i = 0; i < ${#parts[@]}; i++)); do
    case ${parts[i]} in
    idle)
        echo "== idle window and first sound after idle"
        run_x "$build/bench/bench_device_idle" 60 "$server"
        ;;
    keys)
        echo "== keyboard mode: key to sound"
        run_x "$build/bench/bench_keyboard_latency"
        ;;
    long)
        seconds=600
        if [[ ${parts[i + 1]:-} =~ ^[0-9]+$ ]]; then seconds=${parts[i + 1]}; i=$((i + 1)); fi
        echo "== $seconds s of runs at 100 cpm, both cores kept busy by stress-ng"
        nice -n 19 stress-ng --cpu 2 --timeout $((seconds + 20))s --quiet &
        pids+=($!)
        parecord --device=cwsink.monitor --rate=48000 --channels=1 --format=s16le \
            --file-format=wav "$work/capture.wav" &
        capture=$!
        pids+=($capture)
        run_x "$build/bench/bench_device_long_run" "$seconds" 100 "$work/underflows.log"
        sleep 1
        kill -INT $capture
        wait $capture 2>/dev/null || true
        echo "-- the device's underflow flags in the capture"
        python3 "$here/underflow_places.py" "$work/capture.wav" "$work/underflows.log"
        echo "-- capture checked by cw-audio-metrics"
        "$metrics" "$work/capture.wav" | tail -n 25
        ;;
    *) echo "unknown part ${parts[i]}" >&2 ;;
    esac
done
echo "(work folder $work)"
