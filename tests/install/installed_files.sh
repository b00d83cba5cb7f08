# Sourced by the install tests: a temporary folder to work in, what an installed program folder
# holds, the icon files of a data folder, and checks that fail the test with a message.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

program_folder_entries=(Quittung quittung-cli quittung-cli-druck Forms/Quittung.Dat Forms/QuittungA4.Dat PDF/ JPG/)
icon_files=()
for size in 16 22 24 32 48 64 128 256; do
    icon_files+=("icons/hicolor/${size}x${size}/apps/quittung.png")
done
icon_files+=(icons/hicolor/scalable/apps/quittung.svg)

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Every program folder entry and icon as listed paths: the folder's under $1, the icons under $2.
expected_paths() {
    local entry
    for entry in "${program_folder_entries[@]}"; do echo "$1/$entry"; done
    echo "$2/applications/quittung.desktop"
    for entry in "${icon_files[@]}"; do echo "$2/$entry"; done
}

# The menu entry passes desktop-file-validate and starts the program at $2.
check_menu_entry() {
    desktop-file-validate "$1" || fail "desktop-file-validate rejects $1"
    grep -qxF "Exec=\"$2\"" "$1" || fail "$1 does not start $2: $(grep '^Exec=' "$1")"
}
