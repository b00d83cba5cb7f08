#!/bin/bash
# Runs the ThreadSanitizer build of a test program: any race it reports fails the test.
set -euo pipefail
program=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
if [[ ! -x $program ]]; then
    echo "$program is missing: scripts/setup.sh test builds it (build/tsan, QUITTUNG_TSAN=ON)." >&2
    exit 1
fi
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="suppressions=$root/scripts/tsan.supp halt_on_error=1 exitcode=66 second_deadlock_stack=1"
exec "$program"
