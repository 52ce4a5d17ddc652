#!/usr/bin/env bash
# Long runs of the rules under AddressSanitizer and UndefinedBehaviorSanitizer: COMMANDS random
# commands (default a hundred million; CI runs a million) through the script runner, each
# checked against the same command made directly. A failure names the command and its number;
# run again with the SEED it printed to repeat it.
# Usage: scripts/soak.sh [COMMANDS] [SEED]
set -euo pipefail
cd "$(dirname "$0")/.."

commands=${1:-100000000}
seed=${2:-$(date +%s)}

cmake --preset asan >/dev/null
cmake --build --preset asan --target plonta_script_soak
echo "seed $seed"
time build/asan/tests/soak/plonta_script_soak "$commands" "$seed"
