#!/usr/bin/env bash
# Keeps every dependency pointing down: fails when a source file includes a
# header of a layer its folder may not use, or when code outside the engine
# reaches into an engine session. Usage: check_layers.sh [SOURCE_ROOT]
#
# Each rule names a folder and the include prefixes its files may use; the
# first rule whose folder holds the file applies. A folder's own headers are
# always allowed. Folders without a rule (tests/, bench/, fuzz/) may include
# anything but the engine session: tests reach the static engine core openly.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

corvex_h=engine/interface/corvex_engine.h
rules=(
    "common/                   common/"
    "engine/storage/           common/"
    "engine/output/files/      common/ engine/storage/ $corvex_h"
    "engine/output/walks/      common/ engine/storage/ engine/output/files/ $corvex_h"
    "engine/interface/         common/ engine/"
    "automation/               common/"
    "messaging/                common/ automation/"
    "viewer/data/work_folder/  common/ $corvex_h"
    "viewer/data/mail_access/  common/ $corvex_h"
    "viewer/data/message_properties/ common/ viewer/data/mail_access/ $corvex_h"
    "viewer/data/compressed_rtf/ common/ viewer/data/mail_access/ $corvex_h"
    "viewer/data/binding/      common/ viewer/data/mail_access/ $corvex_h"
    "viewer/data/rebuild/      common/ automation/ viewer/data/ $corvex_h"
    "viewer/data/message_body/ common/ viewer/data/mail_access/ viewer/data/compressed_rtf/ messaging/rtf/ messaging/html/ $corvex_h"
    "viewer/data/search_index/ common/ viewer/data/mail_access/ viewer/data/compressed_rtf/ viewer/data/binding/ viewer/data/work_folder/ viewer/data/message_body/ messaging/rtf/ messaging/html/ $corvex_h"
    "viewer/data/mail_writer/  common/ viewer/data/mail_access/ viewer/data/compressed_rtf/ viewer/data/binding/ viewer/data/message_body/ messaging/mime/ messaging/rtf/ messaging/html/ $corvex_h"
    "viewer/                   common/ automation/ viewer/ $corvex_h"
    "tools/storewriter/        common/ engine/storage/"
    "tools/velmora-cli/        common/ automation/ viewer/data/ engine/storage/ $corvex_h"
)

# allowed_for FILE: sets `folder` and `prefixes` from the first rule whose folder
# holds FILE, or empties them. No subshell: it runs once per include line.
allowed_for() {
    local file=$1 rule
    for rule in "${rules[@]}"; do
        read -r folder prefixes <<<"$rule"
        [[ $file == "$folder"* ]] && return
    done
    folder=
    prefixes=
}

# Every quoted include of every source file in one pass: FILE:LINE:HEADER.
includes() {
    find common engine automation messaging viewer tools -type f \( -name '*.h' -o -name '*.cpp' \) -print0 2>/dev/null |
        sort -z | xargs -0 -r grep -H -n -o -E '^\s*#\s*include\s*"[^"]+"' |
        sed -E 's/^([^:]+):([0-9]+):.*"([^"]+)"/\1:\2:\3/' || true
}

failures=0
while IFS=: read -r file line header; do
    allowed_for "$file"
    [ -n "$folder" ] || continue
    ok=0
    for prefix in "$folder" $prefixes; do
        [[ $header == "$prefix"* ]] && ok=1 && break
    done
    if [ $ok -eq 0 ]; then
        echo "$file:$line: includes \"$header\"; $folder may use only: $prefixes"
        failures=$((failures + 1))
    fi
done < <(includes)

# The handles the engine libraries hand out are opaque: nothing outside the
# engine sees the session behind them.
while IFS= read -r hit; do
    echo "$hit: reaches into an engine session; only engine/ may"
    failures=$((failures + 1))
done < <(grep -rn -E '#\s*include\s*"engine/interface/engine_session\.h"|(static|reinterpret)_cast<[^>]*Session' \
    --include='*.h' --include='*.cpp' --exclude-dir='build*' --exclude-dir=.git . 2>/dev/null |
    grep -v -E '^\./engine/' | sed 's|^\./||' || true)

if [ $failures -gt 0 ]; then
    echo "layering check: $failures include(s) against the direction of the layers (see README, Layout)"
    exit 1
fi
echo "layering check: every include points down"
