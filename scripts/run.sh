#!/usr/bin/env bash
# Set-up, build of the programs, then Vextora on a freshly started virtual indicator: the window
# when there is a display, a headless smoke check otherwise. COM1 is mapped to the
# virtual indicator for this run only; the stored settings are not touched.
# Arguments are passed on to vextora (window only), e.g. --model ZR1.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# Only what this script runs, and the files laid out beside it (language files, help
# documents, metrology profiles); the tests and fuzz targets are left to scripts/test.sh.
bash scripts/build.sh vextora vextora-sim vextora-cli vextora_layout

tmp=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

link="$tmp/indicator"
build/bin/vextora-sim --link "$link" >"$tmp/sim.out" 2>"$tmp/sim.err" &
sim_pid=$!

# The simulator prints the terminal's path on one line once it serves.
for _ in $(seq 1 100); do
  [ -s "$tmp/sim.out" ] && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "run.sh: the virtual indicator did not start:" >&2
    cat "$tmp/sim.err" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -s "$tmp/sim.out" ]; then
  echo "run.sh: the virtual indicator did not report its terminal within 10 s" >&2
  exit 1
fi
echo "Virtual indicator on $(head -n 1 "$tmp/sim.out") (COM1 = $link for this run)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  build/bin/vextora --map COM1="$link" "$@"
else
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running the headless smoke check instead."
  # A settings file of its own, so the check does not depend on the user's stored port.
  QT_QPA_PLATFORM=offscreen build/bin/vextora --map COM1="$link" --model ZR2 --smoke \
    --settings "$tmp/settings.ini"
  echo
  echo "The same indicator through the command-line tool:"
  build/bin/vextora-cli --settings "$tmp/settings.ini" --port "$link" identify
  build/bin/vextora-cli --settings "$tmp/settings.ini" --port "$link" status
fi
