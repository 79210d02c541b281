#!/bin/sh
# Start-up to a mapped window and resident memory: Serimo against a bare Qt
# window. Needs a running X display with a window manager (DISPLAY set) and
# xdotool. Usage: bench/startup.sh BUILD_DIR [RUNS]
set -eu
build=$1
runs=${2:-15}
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT

measure() { # program title
    [ -x "$1" ] || { echo "no program $1" >&2; exit 1; }
    for _ in $(seq "$runs"); do
        rm -rf "$config"/*
        start=$(date +%s%N)
        XDG_CONFIG_HOME=$config "$1" >/dev/null 2>&1 &
        pid=$!
        # xdotool's own --sync polls only twice a second; poll faster.
        tries=0
        until xdotool search --onlyvisible --name "$2" >/dev/null 2>&1; do
            tries=$((tries + 1))
            [ $tries -lt 2000 ] || { echo "no window $2" >&2; exit 1; }
            sleep 0.005
        done
        end=$(date +%s%N)
        rss=$(awk '/VmRSS/ {print $2}' /proc/$pid/status)
        kill $pid; wait $pid 2>/dev/null || true
        echo "$(( (end - start) / 1000 )) $rss"
    done | sort -n | awk -v name="$2" '{ t[NR] = $1; r[NR] = $2 }
        END { m = int((NR + 1) / 2); printf "%s: median start-up %.1f ms, resident %d KiB\n", name, t[m] / 1000, r[m] }'
}

measure "$build/bench/bare_window" "Bare 1.0"
measure "$build/serimo" "Serimo 1.0"
