#!/usr/bin/env bash
# Runs a benchmark program from build/bench under Xvfb three ways: accessibility off; on with an
# accessibility bus; on with a stand-in screen reader listening for text, caret and focus events
# (build/bench/screen_reader_listener), as for a user of a screen reader.
#   bash scripts/accessibility_bench.sh [bench name, default dictionary_bench] [arguments]
# Installs what it needs besides the build: at-spi2-core (the accessibility bus), dbus and xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/needs.sh
needs at-spi2-core dbus-daemon dbus-bin xvfb xauth
bench="build/bench/${1:-dictionary_bench}"
shift || true
listener=build/bench/screen_reader_listener
launcher=/usr/libexec/at-spi-bus-launcher
for program in "$bench" "$listener"; do
  if [[ ! -x "$program" ]]; then
    echo "build $program first (cmake --build build)" >&2
    exit 1
  fi
done
if [[ ! -x "$launcher" ]]; then
  echo "needs at-spi2-core ($launcher)" >&2
  exit 1
fi
xvfb=(xvfb-run -a -s "-screen 0 1600x1200x24")

echo "== accessibility off =="
QT_QPA_PLATFORM=xcb "${xvfb[@]}" "$bench" "$@"

# Inside a private session bus the bus launcher publishes the accessibility bus; Qt, told that
# assistive technology is present, connects to it and sends its events to whoever asked.
run_with_bus() {
  local with_listener=$1
  shift
  "${xvfb[@]}" dbus-run-session -- bash -c '
    launcher=$1 listener=$2 with_listener=$3
    shift 3
    "$launcher" --launch-immediately 2>/dev/null &
    pids=$!
    trap "kill \$pids 2>/dev/null" EXIT
    for _ in $(seq 50); do
      dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
      sleep 0.1
    done
    if [[ $with_listener == yes ]]; then
      ready=$(mktemp -u)
      "$listener" "$ready" &
      listener_pid=$!
      pids="$pids $listener_pid"
      for _ in $(seq 100); do [[ -e $ready ]] && break; sleep 0.1; done
      rm -f "$ready"
    fi
    QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
    if [[ $with_listener == yes ]]; then
      kill -TERM "$listener_pid"
      wait "$listener_pid" || true
    fi
  ' bash "$launcher" "$listener" "$with_listener" "$@" 2> >(grep -v -e "fd limit" -e "Activating service" \
    -e "Successfully activated" -e "SpiRegistry daemon" -e XDG_RUNTIME_DIR >&2)
}

echo "== accessibility on, no screen reader =="
run_with_bus no "$bench" "$@"
echo "== accessibility on, a screen reader listening =="
run_with_bus yes "$bench" "$@"
