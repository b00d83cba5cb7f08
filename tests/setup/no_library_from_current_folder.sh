#!/usr/bin/env bash
# Programs of the build tree load their libraries from the system only: no RUNPATH entry is empty
# (which means the current folder) or relative, and a program started from a folder holding a
# planted library of a name it loads does not load it.
#
#   no_library_from_current_folder.sh BUILD_DIR PLANTED_LIBRARY PROGRAM...
set -euo pipefail

build=$1
planted=$2
shift 2
failures=0

while IFS= read -r -d '' file; do
    head -c 4 "$file" | grep -q $'\x7fELF' || continue
    # "Library runpath: [a:b]" or "Library rpath: [...]"
    while IFS= read -r list; do
        IFS=: read -r -a entries <<<"$list"
        [[ $list == *: ]] && entries+=("")
        ((${#entries[@]})) || entries=("")
        for entry in "${entries[@]}"; do
            if [[ $entry != /* && $entry != '$ORIGIN'* ]]; then
                echo "FAIL: ${file#"$build"/} searches \"$entry\" for libraries (RUNPATH [$list])" >&2
                failures=$((failures + 1))
                break
            fi
        done
    done < <(readelf -d "$file" | sed -n 's/.*Library r\(un\)\?path: \[\(.*\)\]$/\2/p')
done < <(find "$build" -path "$build/CMakeFiles" -prune -o -type f -perm -u+x -print0)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The dynamic loader's own account (LD_DEBUG) of the files it tries for each library: a relative
# name is looked up in the current folder.
looked_in_work() { # PROGRAM [ENVIRONMENT...]
    (cd "$work" && env "${@:2}" LD_DEBUG=libs QT_QPA_PLATFORM=offscreen timeout 60 "$1" --help 2>&1 >/dev/null) |
        grep -E "trying file=([^/]|$work/)" | head -n 3 || true
}
for program in "$@"; do
    for library in $(readelf -d "$program" | sed -n 's/.*Shared library: \[\(.*\)\]$/\1/p'); do
        cp "$planted" "$work/$library"
    done
    said=$(looked_in_work "$program")
    if [[ -n $said || -e $work/planted-library-was-loaded ]]; then
        echo "FAIL: $(basename "$program") started in a folder with planted libraries looked there:" >&2
        echo "$said" >&2
        failures=$((failures + 1))
    fi
    # The check sees it when a program does look there.
    [[ -n $(looked_in_work "$program" LD_LIBRARY_PATH="$work") ]] ||
        { echo "FAIL: the loader's trace does not show the planted libraries even when asked to load them" >&2; exit 1; }
    rm -f "$work"/*
done
((failures == 0)) || exit 1
echo "no program of the build tree loads a library from the folder it is started in"
