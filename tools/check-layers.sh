#!/bin/sh
# Checks that no source includes from a folder below its own in the layer order of the README
# ("Layout"). Prints each include that points the wrong way; exits 1 when there is one.
set -eu
cd "$(dirname "$0")/.."
order="contract platform framework menus res editor project compile chip codegen app"
rank() {
    i=0
    for layer in $order; do
        [ "$layer" = "$1" ] && { echo $i; return; }
        i=$((i + 1))
    done
    echo -1
}
status=0
for file in $(git ls-files 'src/*.h' 'src/*.cpp' 'res/*.h' 'res/*.cpp'); do
    case "$file" in
    res/*) own=res ;;
    src/main.cpp) continue ;;
    *) own=$(echo "$file" | cut -d/ -f2) ;;
    esac
    own_rank=$(rank "$own")
    for included in $(sed -n 's/^#include "\([a-z]*\)\/.*"$/\1/p' "$file" | sort -u); do
        r=$(rank "$included")
        if [ "$r" -gt "$own_rank" ] || [ "$own_rank" -lt 0 ]; then
            echo "$file includes from $included/, a higher layer"
            status=1
        fi
    done
done
exit $status
