#!/usr/bin/env bash
# quittung-cli timed as whole processes, as a user runs it: one A4 receipt with its copy to PDF
# (start, template, preparation, export, exit) against a ReportLab script drawing the same receipt
# (bench/peers/receipt_reportlab.py), and a batch of receipts to PDF on every core (wall time per
# receipt, peak memory). Builds nothing: give it the program folder of a Release build.
#
#   bench/cli_benchmarks.sh [--quick] PROGRAM_FOLDER [REPETITIONS] [BATCH_ROWS]
#
# --quick (the test command's run) times nothing worth reading: 3 runs and 20 rows by default, and
# it fails instead of installing ReportLab, which the test command installs.
set -euo pipefail

quick=0
if [[ ${1:-} == --quick ]]; then
    quick=1
    shift
fi
program=${1:?usage: $0 [--quick] PROGRAM_FOLDER [REPETITIONS] [BATCH_ROWS]}
if ((quick)); then
    runs=${2:-3}
    rows=${3:-20}
else
    runs=${2:-50}
    rows=${3:-1000}
fi
here=$(cd "$(dirname "$0")" && pwd)
# Debian's interpreter, where Debian's ReportLab is.
python=/usr/bin/python3

if ! "$python" -c 'import reportlab' 2>/dev/null; then
    if ((quick)); then
        echo "ReportLab is not installed for /usr/bin/python3: apt-get install python3-reportlab" >&2
        exit 1
    fi
    sudo=()
    ((EUID == 0)) || sudo=(sudo)
    echo "Installing python3-reportlab"
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends python3-reportlab ||
        { "${sudo[@]}" apt-get update -qq && "${sudo[@]}" apt-get install -y -qq --no-install-recommends python3-reportlab; }
fi

# A program folder of its own, so the benchmark neither advances the real counter nor fills PDF/.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Quittung/Forms"
cp "$program/quittung-cli" "$work/Quittung/"
cp "$program"/Forms/*.Dat "$work/Quittung/Forms/"
printf '[Telvo]\r\nQID=0\r\n' >"$work/Quittung/Settings.ini"

"$python" - "$work" "$here/peers/receipt_reportlab.py" "$runs" "$rows" "$quick" <<'PYTHON'
import os, statistics, subprocess, sys, time

work, peer, runs, rows, quick = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), sys.argv[5] == "1"
cli = os.path.join(work, "Quittung", "quittung-cli")
# The example receipt: number 12, Berlin, 3 July 2020, Muster GmbH, rent for July, 100 net at 19 %.
receipt = [cli, "--nummer", "12", "--ort", "Berlin", "--datum", "2020-07-03", "--von", "Muster GmbH",
           "--fuer", "Miete\nJuli", "--netto", "100", "--mwst", "19", "--format", "a4-2"]


def run(command):
    """Wall time and processor time (user and system) in ms and peak resident memory in KiB of
    one process, which must succeed. On a busy machine the processor time still tells."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = (time.perf_counter() - start) * 1000
    process.returncode = os.waitstatus_to_exitcode(status)
    errors = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    if process.returncode != 0:
        sys.exit(f"{command[0]} failed ({process.returncode}):\n{errors}")
    return elapsed, (usage.ru_utime + usage.ru_stime) * 1000, usage.ru_maxrss


ours, peers = [], []
pdf = os.path.join(work, "receipt.pdf")
peer_pdf = os.path.join(work, "peer.pdf")
# Taken in turns, so both see the same machine.
for _ in range(runs):
    ours.append(run(receipt + ["--pdf", pdf])[:2])
    peers.append(run([sys.executable, peer, peer_pdf])[:2])
for file in (pdf, peer_pdf):
    if os.path.getsize(file) == 0:
        sys.exit(f"{file} is empty")
one, one_cpu = (statistics.median(times) for times in zip(*ours))
peer_median, peer_cpu = (statistics.median(times) for times in zip(*peers))
print(f"one receipt to PDF, whole process: median {one:.2f} ms over {runs} runs, processor {one_cpu:.2f} ms "
      f"(target: under 8 ms)")
print(f"ReportLab, same receipt:           median {peer_median:.2f} ms, processor {peer_cpu:.2f} ms")
print(f"ratio: ReportLab / quittung-cli = {peer_median / one:.1f}, in processor time {peer_cpu / one_cpu:.1f} "
      f"(target: at least 10)")

csv = os.path.join(work, "batch.csv")
with open(csv, "w", encoding="utf-8") as out:
    out.write("nummer;von;fuer;netto;mwst;datum;format\n")
    for row in range(1, rows + 1):
        out.write(f"{row};Kunde {row};\"Miete\nMonat {row % 12 + 1}\";{100 + row % 900}.{row % 100:02d};19;2020-07-03;a4-2\n")
elapsed, processor, peak = run([cli, "--csv", csv, "--pdf", os.path.join(work, "batch") + "/"])
written = len(os.listdir(os.path.join(work, "batch")))
if written != rows:
    sys.exit(f"the batch wrote {written} of {rows} receipts")
print(f"batch of {rows} receipts to PDF on {os.cpu_count()} cores: {elapsed / rows:.3f} ms per receipt "
      f"(target: under 0.35 ms), processor {processor / rows:.3f} ms per receipt, "
      f"peak memory {peak / 1024:.1f} MiB (target: under 40 MiB)")
if quick:
    print("(a quick run: these times mean nothing)")
PYTHON
