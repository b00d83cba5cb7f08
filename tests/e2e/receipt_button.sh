#!/usr/bin/env bash
# The receipt button as a user presses it: the program runs from a program folder of its own on a
# virtual X display, xdotool types a receipt into the window and clicks "Quittung erstellen", and
# the files, the preview and the refilled window are checked with real tools.
#
#   receipt_button.sh PROGRAM_FILE
#
# PROGRAM_FILE is the built Quittung with Forms/ beside it. Needs Xvfb, xdotool, pdftotext, djpeg.
set -euo pipefail

program=$1
for tool in Xvfb xdotool pdftotext djpeg; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/setup.sh test installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [[ -n ${DISPLAY:-} ]] && xwd -root -display "$DISPLAY" -silent >"$work/screen.xwd" 2>/dev/null || true
    exit 1
}

# A program folder of its own: the program, its templates, empty output folders and the settings
# of a user who wants PDF, JPEG and the preview of an A4 receipt with its copy.
folder=$work/Quittung
mkdir -p "$folder/PDF" "$folder/JPG"
cp "$program" "$folder/Quittung"
cp -r "$(dirname "$program")/Forms" "$folder/Forms"
printf '[Telvo]\r\nQID=41\r\nOrt=Berlin\r\nMwSt=19\r\nExportPDF=TRUE\r\nExportJPG=TRUE\r\nExportVorschau=TRUE\r\nAusgabeformat=3\r\n' \
    >"$folder/Settings.ini"

# A display of our own; Xvfb tells its number.
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$work/display")
export QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8

# The program takes the German date and number formats from the locale its user has.
LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 "$folder/Quittung" >"$work/program.log" 2>&1 &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name "Programm um Quittungen zu erstellen" | head -n1) ||
    fail "the receipt window did not appear"
xdotool windowfocus --sync "$window"
sleep 0.3

# The payer field has the focus; Tab goes on to purpose, gross and net, then the button. The text is
# plain ASCII: xdotool types a letter missing from the keyboard by remapping a spare key on the fly,
# which a busy machine loses now and then (the PDF tests cover umlauts and the euro sign).
xdotool type --delay 20 "Juergen Mueller-Luedenscheid"
xdotool key Tab
xdotool type --delay 20 "Mitgliedsbeitrag 2026"
xdotool key Tab
xdotool type --delay 20 "119"

# Clicks "Quittung erstellen" (its middle, in window coordinates); the preview comes up with the
# receipt, titled in German on this German desktop, and closing it refills the window.
press_and_close_preview() {
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.3
    xdotool mousemove --window "$window" 239 377 click 1
    local preview
    preview=$(timeout 30 xdotool search --sync --onlyvisible --name "^Vorschau$" | head -n1) || fail "no preview window"
    sleep 0.5
    if [[ -n ${E2E_SCREENSHOT:-} ]]; then
        xwd -root -silent | convert xwd:- "$E2E_SCREENSHOT" 2>/dev/null || true
    fi
    xdotool windowfocus --sync "$preview" 2>/dev/null || true
    xdotool key Escape
    for _ in $(seq 50); do xdotool search --onlyvisible --name "^Vorschau$" >/dev/null 2>&1 || break; sleep 0.1; done
    if xdotool search --onlyvisible --name "^Vorschau$" >/dev/null 2>&1; then fail "the preview did not close"; fi
}
press_and_close_preview

# The date in the name is today's in the short date format of the locale the machine has (a "/"
# in it written as "-").
shopt -s nullglob
pdfs=("$folder/PDF/42-"*"-Juergen Mueller-Luedenscheid.PDF")
((${#pdfs[@]} == 1)) || fail "no PDF file: $(ls "$folder/PDF")"
pdf=${pdfs[0]}
stem=$(basename "$pdf" .PDF)
text=$(pdftotext -enc UTF-8 "$pdf" -)
for expected in "Juergen Mueller-Luedenscheid" "Mitgliedsbeitrag 2026" "119,00" "100,00" "19,00" "EINHUNDERTNEUNZEHN"; do
    grep -qF -- "$expected" <<<"$text" || fail "\"$expected\" is not in the PDF:
$text"
done
for page in 1 2; do
    jpg="$folder/JPG/$stem.$page.jpg"
    djpeg "$jpg" >/dev/null || fail "$jpg does not decode"
done
grep -q "^QID=42" "$folder/Settings.ini" || fail "the number is not stored: $(cat "$folder/Settings.ini")"

# The window is ready for the next receipt: a second click makes number 43 with an empty payer.
press_and_close_preview
empty=("$folder/PDF/43-"*"-.PDF")
((${#empty[@]} == 1)) || fail "the window was not refilled: $(ls "$folder/PDF")"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=
grep -q "^QID=43" "$folder/Settings.ini" || fail "killing the program lost the number: $(cat "$folder/Settings.ini")"
echo "receipt made: $(basename "$pdf")"
