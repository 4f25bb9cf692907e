#!/usr/bin/env bash
# The level bench (and the sprite bench) of two builds side by side: the runs alternate between
# the builds, round after round, under one Xvfb screen of 1280x720, so both see the same machine.
# Prints every run's lines, then the median of each figure over the rounds.
#
#   tools/bench/compare_levels.sh [--rounds R] [--frames N] [--no-sprites] BASE_BUILD NEW_BUILD
#   tools/bench/compare_levels.sh --make-base COMMIT FOLDER
#
# BASE_BUILD and NEW_BUILD are build folders holding bench_levels and bench_sprites (defaults:
# 3 rounds, 900 frames a stretch). A build of a commit older than the level bench has none:
# --make-base checks COMMIT out into FOLDER (a detached git worktree), adds today's level bench
# source and the header it includes, and builds both benches in FOLDER/build.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"

if [[ "${1:-}" == "--make-base" ]]; then
    [[ $# -eq 3 ]] || { echo "usage: $0 --make-base COMMIT FOLDER" >&2; exit 2; }
    git -C "$repo" worktree add --detach "$3" "$2"
    cp "$here/bench_levels.cpp" "$here/BenchSupport.h" "$3/tools/bench/"
    cmake -S "$3" -B "$3/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_BUILD_TESTS=OFF >/dev/null
    cmake --build "$3/build" -j3 --target bench_levels bench_sprites
    echo "base build: $3/build"
    exit 0
fi

rounds=3 frames=900 sprites=1
while [[ $# -gt 2 ]]; do
    case "$1" in
        --rounds) rounds="$2"; shift 2 ;;
        --frames) frames="$2"; shift 2 ;;
        --no-sprites) sprites=0; shift ;;
        *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done
[[ $# -eq 2 ]] || { echo "usage: $0 [--rounds R] [--frames N] [--no-sprites] BASE_BUILD NEW_BUILD" >&2; exit 2; }
base="$(cd "$1" && pwd)" new="$(cd "$2" && pwd)"
for build in "$base" "$new"; do
    [[ -x "$build/bench_levels" ]] || { echo "$build has no bench_levels (see --make-base)" >&2; exit 2; }
done

# One X server for every run.
if [[ -z "${DISPLAY:-}" ]]; then
    options=(--rounds "$rounds" --frames "$frames")
    [[ $sprites -eq 1 ]] || options+=(--no-sprites)
    exec xvfb-run -a -s '-screen 0 1280x720x24' "$0" "${options[@]}" "$base" "$new"
fi

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
echo "base: $base"
echo "new:  $new"
uptime
for ((round = 1; round <= rounds; ++round)); do
    # Fragments are counted once: the same frames give the same count.
    options=(--frames "$frames")
    [[ $round -eq 1 ]] || options+=(--no-fragments)
    for side in base new; do
        build=$([[ $side == base ]] && echo "$base" || echo "$new")
        "$build/bench_levels" "${options[@]}" | grep -v '^bench_levels:' | sed "s/^/levels $side /" | tee -a "$log"
    done
done
if [[ $sprites -eq 1 ]]; then
    for ((round = 1; round <= rounds; ++round)); do
        for side in base new; do
            build=$([[ $side == base ]] && echo "$base" || echo "$new")
            "$build/bench_sprites" --rounds 1 1000 10000 | grep '^N ' | sed "s/^/sprites $side /" | tee -a "$log"
        done
    done
fi
uptime

python3 - "$log" <<'EOF'
import re, statistics, sys
from collections import defaultdict
figures = defaultdict(list)
fragments = {}
order = []
for line in open(sys.argv[1]):
    kind, side, rest = line.split(' ', 2)
    if kind == 'levels':
        name = rest[:28].strip()
        m = re.search(r'frame\s+([\d.]+) ms median,\s+([\d.]+) ms p95,\s+(\d+) over .*main ([\d.]+), all ([\d.]+)', rest)
        f = re.search(r'fragments/frame ([\d.]+ M)', rest)
        if f: fragments[(name, side)] = f.group(1)
        key = (name, side)
        values = [float(v) for v in m.groups()]
    else:
        m = re.search(r'N\s+(\d+):\s+([\d.]+) ms wall,\s+([\d.]+) ms main', rest)
        name = 'sprites N=' + m.group(1)
        key = (name, side)
        values = [float(m.group(2)), float(m.group(3))]
    if name not in order: order.append(name)
    figures[key].append(values)
print('\nmedians over the rounds')
for name in order:
    for side in ('base', 'new'):
        runs = figures.get((name, side))
        if not runs: continue
        med = [statistics.median(col) for col in zip(*runs)]
        if name.startswith('sprites'):
            print(f'{name:28s} {side:4s}  {med[0]:8.3f} ms wall, {med[1]:7.3f} ms main-thread CPU per frame')
        else:
            print(f'{name:28s} {side:4s}  frame {med[0]:5.2f} ms median, {med[1]:5.2f} ms p95, {med[2]:4.0f} over 16.7 ms'
                  f' | cores: main {med[3]:.2f}, all {med[4]:.2f} | fragments/frame {fragments.get((name, side), "n/a")}')
EOF
