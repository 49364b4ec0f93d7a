#!/usr/bin/env bash
# Which layer a drop-out comes from: the main program (as the run command
# starts it: the stream back end, its plug-ins) and the leanest stream loop
# (bench/probes/wasapiloop) run side by side, each between two null sinks of
# its own (tools/latency.sh), on the same server at the same time. A gap that
# both outputs show at the same moment comes from below them both (Wine's
# audio driver, the server, the machine); a gap that only the program shows is
# the program's. PipeWire's own xrun counts (pw-top's ERR) are read before and
# near the end of the run.
#   bench/sound/sidebyside.sh SECONDS [BLOCKSIZE]     (BLOCKSIZE: 882)
# Prints both runs' summaries, the xrun counts that grew, and the gaps of each
# run with the other's gap at the same moment (within 0.1 s), if any.
set -euo pipefail
top="$(cd "$(dirname "$0")/../.." && pwd)"
seconds="${1:?usage: bench/sound/sidebyside.sh SECONDS [BLOCKSIZE]}"
block="${2:-882}"
source "$top/tools/services.sh" >/dev/null
work="$(mktemp -d /tmp/quarnsidebyside.XXXXXX)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/quarn" "$work/loop"

# pw-top's table (it has no batch mode: run for 2 s on a pseudo-terminal),
# as "ERR NAME" lines.
xruns() {
  command -v pw-top >/dev/null || return 0
  TERM=xterm script -q -c "stty cols 220 rows 80; timeout 2 pw-top" /dev/null 2>/dev/null |
    sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g; s/\x1b[()][0-9A-B]//g' | tr '\r' '\n' |
    awk '/S +ID +QUANT/ { n = 0; delete row } /^ *[RSCIE] +[0-9]+ / { row[++n] = $0 }
         END { for (i = 1; i <= n; i++) print row[i] }' |
    sed -E 's/^ *[RSCIE] +[0-9]+ +.* ([0-9]+) +[A-Z0-9]+ .* ([^ ]+)$/\1 \2/; s/^ *[RSCIE] +[0-9]+ +.* ([0-9]+)([^ 0-9][^ ]*)$/\1 \2/'
}
xruns >"$work/xruns.before"
( sleep $((seconds > 20 ? seconds - 5 : seconds)); xruns >"$work/xruns.during" ) &
watcher=$!

QUARN_LATENCY_KEEP="$work/quarn" bash "$top/tools/latency.sh" --program quarn "$block" "$seconds" --audio wasapi \
  >"$work/quarn.txt" 2>&1 &
quarn=$!
sleep 3
QUARN_LATENCY_KEEP="$work/loop" bash "$top/tools/latency.sh" --program wasapiloop "$block" "$seconds" \
  >"$work/loop.txt" 2>&1 &
loop=$!
wait "$quarn" || true
wait "$loop" || true
wait "$watcher" || true

echo "== the program (roomcaster_quarn, --audio wasapi, $block frames)"
cat "$work/quarn.txt"
echo "== the leanest stream loop beside it (wasapiloop, $block frames)"
cat "$work/loop.txt"
echo "== PipeWire's xruns (ERR) that grew during the run, by node"
awk 'NR == FNR { before[$2] = $1; next } $1 > before[$2] + 0 { printf "  %-40s %d\n", $2, $1 - before[$2] }' \
  "$work/xruns.before" "$work/xruns.during" 2>/dev/null || true
echo "== each gap (start s since 1970, length s) and the other's gap at the same moment"
python3 - "$work/quarn/gaps.txt" "$work/loop/gaps.txt" <<'EOF'
import sys
def read(path):
    try:
        return [tuple(map(float, l.split())) for l in open(path) if l.strip()]
    except OSError:
        return []
quarn, loop = read(sys.argv[1]), read(sys.argv[2])
def near(t, others):
    return [o for o in others if abs(o[0] - t) <= 0.1]
both = 0
for name, mine, theirs in (('program', quarn, loop), ('loop', loop, quarn)):
    for t, n in mine:
        match = near(t, theirs)
        both += bool(match) and name == 'program'
        print('  %-7s %.3f %.3f  %s' % (name, t, n, 'also in the other at %.3f' % match[0][0] if match else 'alone'))
print('gaps: program %d, loop %d, at the same moment %d' % (len(quarn), len(loop), both))
EOF
