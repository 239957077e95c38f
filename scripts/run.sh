#!/usr/bin/env bash
# Sets up, builds and runs Velmora on STORE, or on a small sample store when none is given.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
store=${1:-}
if [ -z "$store" ]; then
    store="$root/build/sample/sample.pst"
    mkdir -p "$(dirname "$store")"
    "$root/build/bin/storegen" --output "$store" >/dev/null
fi
exec "$root/build/bin/velmora-cli" info "$store"
