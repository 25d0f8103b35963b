#!/usr/bin/env bash
# Builds the project and runs the main job on the embedded default: the print
# dialog, headless, on the bundled ZR-K5100 PPD with a new ticket, printing
# the panel's summary and the state of every control.
# Usage: tools/demo.sh [print-dialog options...]   (default: --summary --state)
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build/release}

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target print-dialog ColorOptionsPlugin profile-tool >/dev/null

# A private installation root keeps the demo away from the machine's own
# profile files.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
export ZRK5100_ROOT=$root

if [ "$#" -eq 0 ]; then
    set -- --summary --state
fi
"$build/stage/bin/print-dialog" --headless --ppd "$top/PDE/Resources/ZR-K5100.ppd" "$@"
