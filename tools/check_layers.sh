#!/usr/bin/env bash
# Keeps the engine's lower layers below the systems: each folder on the left may include only the
# folders named beside it (and itself). Factory may also include the Transform component it names.
# Components include none of the systems that act on them (Graphics, Audio, Physics) nor those above.
# Prints each include that breaks the rule and fails; run by `setup.sh test`.
set -euo pipefail
cd "$(dirname "$0")/../Game_Engine"

declare -A allowed=(
    [Logging]=''
    [Platform]='Logging'
    [CoreEngine]='Logging|Platform'
    [Factory]='Logging|Platform|CoreEngine'
    [Components]='Logging|Platform|CoreEngine|Factory|Scene|Windows'
)
extra_ok='^Factory/[^:]+:[0-9]+:\s*#\s*include\s+"Components/Transform\.h"'

status=0
for folder in "${!allowed[@]}"; do
    ok="${folder}${allowed[$folder]:+|${allowed[$folder]}}"
    found=$(grep -rnE '^\s*#\s*include\s+"[A-Za-z]+/' "$folder" --include='*.h' --include='*.cpp' |
            grep -vE "#\s*include\s+\"($ok)/" | grep -vE "$extra_ok" || true)
    if [ -n "$found" ]; then
        echo "Game_Engine/$folder may include only ${ok//|/, }:"
        echo "$found" | sed 's/^/  /'
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "Layer check: Logging, Platform, CoreEngine, Factory and Components include nothing above them."
exit "$status"
