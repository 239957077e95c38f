#!/usr/bin/env bash
# Each engine library exports its entry points and nothing else; only the 4K
# library depends on the inflaters (libdeflate, and zlib for damaged streams).
set -euo pipefail
dir=$1
fail=0
check() {
    local lib=$1 expected=$2 wants_inflaters=$3
    local actual
    actual=$(nm -D --defined-only "$dir/$lib" | awk '$2 ~ /^[TDBRVW]$/ {print $3}' | sort | tr '\n' ' ')
    expected=$(echo $expected | tr ' ' '\n' | sort | tr '\n' ' ')
    if [ "$actual" != "$expected" ]; then
        echo "$lib exports: $actual"; echo "expected:      $expected"; fail=1
    fi
    for inflater in libz libdeflate; do
        if readelf -d "$dir/$lib" | grep -q "$inflater\\.so"; then has=yes; else has=no; fi
        if [ "$has" != "$wants_inflaters" ]; then echo "$lib $inflater dependency: $has, expected $wants_inflaters"; fail=1; fi
    done
}
common="_ExpEnsureValueFile _ExpEnumAllFolders _ExpEnumChildFolder _ExpEnumChildMails _ExpEnumChildMailsNext _ExpEnumRootFolder _ExpSaveFolderHierarchy"
check libCorvex32.so "_ExpCreatePFF32Object _ExpDeletePFFData $common _ExpParsePFF32 _ExpTestPFF32 " no
check libCorvex64.so "_ExpCreatePFF64Object _ExpDeletePFFData $common _ExpPFFParseTest _ExpParsePFF64 " no
check libCorvex64K.so "_ExpCreatePFF64P4KObject _ExpDeletePFFData $common _ExpPFFParseTest _ExpParsePFF64 " yes
[ $fail -eq 0 ] && echo "exports: 3 passed, 0 failed"
exit $fail
