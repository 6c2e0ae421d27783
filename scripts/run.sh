#!/usr/bin/env bash
# Installs what is missing, builds, starts the virtual screen on port 1 of the
# program directory, with a window showing its LEDs, and the program's window
# connected to it. Extra arguments go to ledsim (for example --address 1,2 --pace).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ] &&
   [ -z "${LEDCOUNTER_IN_XVFB:-}" ]; then
  echo "no display found: starting the virtual screen and the window under Xvfb"
  LEDCOUNTER_IN_XVFB=1 exec xvfb-run -a "$0" "$@"
fi

BIN="$PWD/build/bin"
SIMOUT=$(mktemp)
"$BIN/ledsim" --dir "$BIN" --port 1 --replace --show "$@" >"$SIMOUT" &
SIM=$!
trap 'kill $SIM 2>/dev/null || true; wait $SIM 2>/dev/null || true; rm -f "$SIMOUT"' EXIT
for _ in $(seq 100); do
  grep -q '^ready' "$SIMOUT" && break
  kill -0 $SIM 2>/dev/null || { cat "$SIMOUT"; echo "ledsim did not start" >&2; exit 1; }
  sleep 0.1
done
grep '^ready' "$SIMOUT" || { echo "ledsim did not start" >&2; exit 1; }
echo "virtual screen on port 1; a link check and a calling message through ledctl:"
"$BIN/ledctl" --dir "$BIN" --port 1 link || true
"$BIN/ledctl" --dir "$BIN" --port 1 call upper "欢迎光临" || true

"$BIN/ledcounter"
