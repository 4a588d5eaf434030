#!/usr/bin/env bash
# Installs what is missing, builds, and then starts the trainer or runs the tests.
#   ./trainer.sh start   build and start the trainer in the working folder run/
#   ./trainer.sh test    build and run every test, the live sound tests (label "live") with a
#                        PulseAudio server of their own among them
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev portaudio19-dev
          libsndfile1-dev libsamplerate0-dev fonts-dejavu-core fonts-liberation2 poppler-utils
          qt6-charts-dev libqt6sql6-sqlite qt6-translations-l10n qt6-serialport-dev
          libasound2-dev pulseaudio pulseaudio-utils libasound2-plugins)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installiere: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build
}

# The trainer reads its data files from its working directory and writes only MORSE.CST there;
# run/ keeps that file across rebuilds while the data files are refreshed from data/.
prepare_workdir() {
    mkdir -p run
    (cd data && find . -type f ! -name '*.py' ! -name '*.src.txt' ! -path './sources/*' \
        ! -name MORSE.CST -print0) | while IFS= read -r -d '' f; do
        mkdir -p "run/$(dirname "$f")"
        cp -p "data/$f" "run/$f"
    done
}

case "${1:-}" in
    start)
        install_missing
        build
        prepare_workdir
        cd run && exec ../build/app/morse-trainer
        ;;
    test)
        install_missing
        build
        ctest --test-dir build --output-on-failure
        ;;
    *)
        echo "Aufruf: $0 start|test" >&2
        exit 2
        ;;
esac
