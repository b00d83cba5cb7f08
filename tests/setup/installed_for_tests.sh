#!/usr/bin/env bash
# The tools and fonts the tests run against, which `scripts/setup.sh test` installs. A test that
# misses one fails on its own, but with a message about its file; this one names every missing
# piece with the Debian package that brings it.
set -uo pipefail

missing=()
need_tool() { # TOOL PACKAGE
    command -v "$1" >/dev/null 2>&1 || [[ -x /usr/sbin/$1 ]] || missing+=("$1 (apt-get install $2)")
}
need_font() { # FAMILY PACKAGE: the family itself, not a substitute fontconfig offers for it
    fc-list : family | tr ',' '\n' | grep -qxF "$1" || missing+=("the font \"$1\" (apt-get install $2)")
}

need_tool qpdf qpdf
for tool in pdftotext pdffonts pdfinfo pdftoppm; do need_tool "$tool" poppler-utils; done
need_tool mutool mupdf-tools
need_tool djpeg libjpeg-turbo-progs
need_tool ots-sanitize opentype-sanitizer
need_tool Xvfb xvfb
need_tool xdotool xdotool
need_tool cupsd cups
for tool in lpadmin lpstat; do need_tool "$tool" cups-client; done
need_tool desktop-file-validate desktop-file-utils
need_tool dpkg-shlibdeps dpkg-dev
need_tool file file
need_tool readelf binutils
need_tool fc-list fontconfig
# The font and benchmark checks run under Debian's Python, where Debian's modules are.
/usr/bin/python3 -c 'import fontTools' 2>/dev/null || missing+=("fontTools for /usr/bin/python3 (apt-get install python3-fonttools)")
/usr/bin/python3 -c 'import reportlab' 2>/dev/null || missing+=("ReportLab for /usr/bin/python3 (apt-get install python3-reportlab)")

need_tool setpriv util-linux
# The command line's examples run under German settings too.
locale -a 2>/dev/null | grep -qx 'de_DE.utf8' \
    || missing+=("the locale de_DE.UTF-8 (apt-get install locales, enable it in /etc/locale.gen, run locale-gen)")

need_font "Liberation Sans" fonts-liberation2
need_font "DejaVu Sans" fonts-dejavu-core
need_font "WenQuanYi Micro Hei" fonts-wqy-microhei
need_font "Nimbus Sans" fonts-urw-base35

if ((${#missing[@]})); then
    printf 'missing for the tests: %s\n' "${missing[@]}" >&2
    exit 1
fi
echo "every tool and font the tests use is installed"
