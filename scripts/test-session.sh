# Sourced by run-tests.sh and run-bench.sh once $prefix names the build's Wine prefix: a private X
# display for the program's windows, chosen by the server itself, and the cleanup at exit (the
# steps the test-setup scripts register, the prefix's Wine server, the display).
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -1 "$displayfile")"
rm -f "$displayfile"
cleanup_steps=()
cleanup() {
    for step in "${cleanup_steps[@]}"; do eval "$step"; done
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null
    kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT
