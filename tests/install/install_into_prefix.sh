#!/usr/bin/env bash
# A per-user install as the README gives it: cmake --install into a fresh prefix writes the whole
# program folder, the menu entry and the icons, and the installed program makes a receipt in its
# own folder, with nothing of the build folder.
#
#   install_into_prefix.sh CMAKE BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/installed_files.sh"

cmake=$1
build=$2
prefix=$work/prefix
folder=$prefix/opt/quittung

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log" >&2; fail "cmake --install"; }
while read -r path; do
    [[ -e $path ]] || fail "the install lacks $path"
done < <(expected_paths "$folder" "$prefix/share")
[[ -z $(find "$folder/PDF" "$folder/JPG" -mindepth 1) ]] || fail "PDF/ or JPG/ is not empty"
check_menu_entry "$prefix/share/applications/quittung.desktop" "$folder/Quittung"

for program in Quittung quittung-cli quittung-cli-druck; do
    if readelf -d "$folder/$program" | grep -E 'R(UN)?PATH' | grep -qF "$(realpath "$build")"; then
        fail "$program still looks for libraries in the build folder"
    fi
done

# Started from anywhere, the installed program finds its templates and writes into its own folder.
cd "$work"
"$folder/quittung-cli" --help >"$work/help.txt" || fail "quittung-cli --help from the installed folder"
grep -q -- '--brutto' "$work/help.txt" || fail "quittung-cli --help printed no options"
"$folder/quittung-cli" --von "Muster GmbH" --fuer Beratung --brutto 119 --format a5 --pdf >"$work/made.txt" ||
    fail "quittung-cli could not make a receipt from the installed folder"
pdf=$(head -n 1 "$work/made.txt")
[[ $(dirname "$pdf") == "$folder/PDF" && -s $pdf ]] || fail "the receipt is not in the installed PDF/: $pdf"
[[ -s $folder/Settings.ini ]] || fail "the receipt counter was not written to the installed Settings.ini"
echo "installed into $prefix: program folder, menu entry and icons; quittung-cli made $pdf"
