#!/usr/bin/env bash
# One-step set-up on Debian 12 (as root): installs what is missing, configures and builds, then
#   setup.sh run     starts the game (under xvfb-run when there is no display),
#   setup.sh editor  starts the level editor the same way (Tab shows it), or
#   setup.sh test    checks that the engine's lower layers include nothing above them, then runs
#                    the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-run}"

packages=(build-essential cmake pkg-config libgtest-dev libgmock-dev
          libsdl2-dev libsdl2-mixer-dev libglew-dev libfreetype-dev libfreeimage-dev
          rapidjson-dev libglm-dev libimgui-dev xvfb xauth libgl1-mesa-dri mesa-utils
          sox libsox-fmt-base fonts-dejavu-core fonts-karla xdotool x11-apps)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 4)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"

case "$mode" in
  run|editor)
    cd build
    args=()
    if [ "$mode" = editor ]; then args=(--editor); fi
    if [ -n "${DISPLAY:-}" ]; then
      exec ./OrvEngine "${args[@]}"
    else
      exec xvfb-run -a -s '-screen 0 1280x720x24' ./OrvEngine "${args[@]}"
    fi
    ;;
  test)
    bash tools/check_layers.sh
    cd build
    export SDL_AUDIODRIVER=dummy CI=true
    exec ctest --output-on-failure -j"$jobs" --timeout 300
    ;;
  *)
    echo "usage: $0 [run|editor|test]" >&2
    exit 2
    ;;
esac
