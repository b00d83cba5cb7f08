#!/usr/bin/env bash
# cpack in the build folder makes the .deb, which holds the program folder at /opt/quittung, the
# menu entry starting it there and the icons under /usr/share, and the archive with the program
# folder as Quittung/ at its top.
#
#   packages.sh CPACK BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/installed_files.sh"

cpack=$1
build=$2

"$cpack" --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/quittung_*.deb)
archives=("$work"/quittung-*.tar.gz)
[[ -f ${debs[0]} && -f ${archives[0]} ]] || fail "cpack made no .deb or no .tar.gz: $(ls "$work")"

dpkg-deb --contents "${debs[0]}" | awk '{ print $6 }' >"$work/deb.txt"
while read -r path; do
    grep -qxF "$path" "$work/deb.txt" || fail "the .deb lacks $path"
done < <(expected_paths ./opt/quittung ./usr/share)
dpkg-deb --extract "${debs[0]}" "$work/root"
check_menu_entry "$work/root/usr/share/applications/quittung.desktop" /opt/quittung/Quittung
dpkg-deb --field "${debs[0]}" Depends | grep -q libqt6widgets6 || fail "the .deb does not depend on Qt"

tar -tzf "${archives[0]}" >"$work/archive.txt"
for entry in "${program_folder_entries[@]}"; do
    grep -qxF "Quittung/$entry" "$work/archive.txt" || fail "the archive lacks Quittung/$entry"
done
echo "$(basename "${debs[0]}") and $(basename "${archives[0]}") hold the program folder"
