#!/usr/bin/env bash
# Random-input soak of the real game: starts a private Xvfb display, runs <build>/OrvEngine on it
# with the dummy audio driver, and lets soak.py send random input for the given minutes while it
# samples memory. Not part of CI (it runs for minutes).
#
#   tools/soak/soak.sh [-b build-dir] [-m minutes] [-g max-growth-MiB] [-s seed] [-o out-dir]
#
# Defaults: build/, 10 minutes, 32 MiB (96 MiB for a sanitizer build), a random seed, and
# soak-<time>/ under the build folder for the game's output, the RSS samples and the summary.
# Exit status: 0 when no run crashed, no sanitizer report appeared and memory did not grow more than
# the limit after the first minute; 1 otherwise; 2 for bad arguments or a missing tool.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$root/build"
minutes=10
growth=""
seed=""
out=""
while getopts "b:m:g:s:o:h" opt; do
  case "$opt" in
    b) build="$(cd "$OPTARG" && pwd)" ;;
    m) minutes="$OPTARG" ;;
    g) growth="$OPTARG" ;;
    s) seed="$OPTARG" ;;
    o) out="$OPTARG" ;;
    *) sed -n 2,11p "$0"; exit 2 ;;
  esac
done
for tool in Xvfb xdotool xclock python3; do
  command -v "$tool" >/dev/null || { echo "soak: $tool is missing (bash tools/setup.sh installs it)" >&2; exit 2; }
done
[ -x "$build/OrvEngine" ] || { echo "soak: no $build/OrvEngine; build first" >&2; exit 2; }
# The game reads ../Resources from its working folder.
[ -d "$build/../Resources" ] || { echo "soak: $build is not beside Resources/" >&2; exit 2; }

sanitized="$("$root/tools/soak/sanitized.sh" "$build")"
if [ -z "$growth" ]; then
  # Measured: the normal build holds about 320 MiB and moves by up to 6 MiB with the scene shown
  # (textures, glyphs, heap reuse); 32 MiB is five times that, and a leak of 1.5 KiB a frame at
  # 40 frames a second passes it in the nine minutes. ASan's RSS keeps rising for minutes as its
  # quarantine of freed blocks (256 MiB) fills (+38 MiB seen); there LeakSanitizer at exit finds
  # leaks, and the limit only catches runaway growth.
  if [ "$sanitized" = 1 ]; then growth=96; else growth=32; fi
fi
out="${out:-$build/soak-$(date -u +%Y%m%d-%H%M%S)}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

xvfb_pid=""
clock_pid=""
cleanup() {
  [ -n "$clock_pid" ] && kill "$clock_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
# Xvfb picks a free display itself and writes its number (other servers, other soaks, may run).
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>"$out/display" >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$out/display" ] && break; sleep 0.2; done
[ -s "$out/display" ] || { echo "soak: Xvfb did not start (see $out/xvfb.log)" >&2; exit 2; }
display=":$(head -n 1 "$out/display")"
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.2; done

# A second window to hand the focus to.
xclock -geometry 200x200+1000+40 >/dev/null 2>&1 &
clock_pid=$!
helper=""
for _ in $(seq 25); do
  helper="$(xdotool search --pid "$clock_pid" 2>/dev/null | tail -n 1 || true)"
  [ -n "$helper" ] && break
  sleep 0.2
done

export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
# No person answers message boxes here: print them and take the default answer.
export CI=true
if [ "$sanitized" = 1 ]; then
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
  export LSAN_OPTIONS="suppressions=$root/tools/sanitizers/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1"
fi

echo "soak: $minutes min on $build (display $display, sanitizer build: $sanitized, growth limit $growth MiB); output in $out"
# The whole run is bounded: the minutes, the game's shutdown (LeakSanitizer takes a while) and a margin.
limit=$(python3 -c "print(int(float('$minutes') * 60 + 300))")
status=0
timeout --kill-after=10 "$limit" python3 "$root/tools/soak/soak.py" --build "$build" --out "$out" \
  --minutes "$minutes" --max-growth-mib "$growth" --helper-window "$helper" ${seed:+--seed "$seed"} \
  | tee "$out/summary.txt" || status=$?
exit "$status"
