#!/usr/bin/env bash
# How often IP.EXE ends badly when every source fails: runs it N times (default 500)
# under Wine against sources on loopback that refuse (a closed UDP port, a closed TCP
# port) or never answer (a silent UDP socket, a TCP listener that never replies), so
# that some source threads are still alive when the deadline ends the process. A run
# counts as a crash when it exits with anything but 1 (no answer) or Wine reports an
# unhandled exception. A measurement, not a test: run by hand after a win64 build.
#
#   unshare -n bash bench/ip_exe_endings.sh [RUNS] [DEADLINE_MS]
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-500}
deadline=${2:-300}
build=$PWD/build/win64
ip link set lo up || { echo "run inside a network namespace of its own: unshare -n" >&2; exit 1; }
[ -x "$build/IP.EXE" ] || { echo "no $build/IP.EXE: build the win64 preset first" >&2; exit 1; }
source scripts/wine-env.sh

# The silent peers: bound and listening, never a byte back.
python3 -c '
import socket, time
udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); udp.bind(("127.0.0.1", 39001))
tcp = socket.socket(); tcp.bind(("127.0.0.1", 39002)); tcp.listen(64)
time.sleep(1e9)' &
silent=$!
trap 'kill $silent 2>/dev/null; wine_env_stop' EXIT
sleep 0.5

wine_env_start "$build/endings-prefix" headless 150
wineserver -p  # one server for every run, not one started per run
log=$build/endings.log out=$build/endings-run.out
: >"$log"
crashes=0 start=$SECONDS
declare -A codes
for i in $(seq 1 "$runs"); do
    # Into a file: Wine's service processes inherit the output and outlive the run.
    wine "$build/IP.EXE" --quiet --stun 127.0.0.1:39000 --stun 127.0.0.1:39001 \
        --url http://127.0.0.1:39003/ --url http://127.0.0.1:39002/ --deadline "$deadline" >"$out" 2>&1
    code=$?
    codes[$code]=$((${codes[$code]:-0} + 1))
    if [ $code -ne 1 ] || grep -qiE 'unhandled|exception|backtrace' "$out"; then
        crashes=$((crashes + 1))
        { echo "run $i: exit $code"; cat "$out"; } >>"$log"
    fi
done
elapsed=$((SECONDS - start))
echo "$runs runs in $elapsed s ($((elapsed * 1000 / runs)) ms a run), deadline $deadline ms: $crashes crashes"
for code in "${!codes[@]}"; do echo "  exit $code: ${codes[$code]} runs"; done
[ $crashes -eq 0 ] || echo "what the crashing runs printed: $log"
