#!/usr/bin/env bash
# Prints a sample card set with the real program as a user would: choose the card set in the bar,
# Ctrl+P, OK in the print dialog (once as it opens, once with "Rounded corners" checked). The PDF
# printer of the test print server writes the documents; each page is turned into pixels and the
# cards are measured: 100 mm x 50 mm frames, four to an A4 page, dashed cut lines, square or
# rounded corners, a text in every card.
# Arguments: the program, the build folder. Uses the print server of scripts/test-setup/print.sh,
# starting one when the test command did not.
set -u
exe=$(readlink -f "$1")
build=$(readlink -f "$2")
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
app=""
cleanup_steps=()
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    for step in "${cleanup_steps[@]}"; do eval "$step"; done
    rm -f "${appdata:-/nonexistent}/Opposites.mnc"
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    import -window root "$build/print_e2e_failure.png" 2>/dev/null && echo "screen: $build/print_e2e_failure.png"
    exit 1
}

if [ -z "${MNEMORA_PRINT_OUTPUT:-}" ]; then
    . "$root/scripts/test-setup/print.sh"
fi
if [ -z "${MNEMORA_PRINT_OUTPUT:-}" ]; then
    echo "SKIPPED: no print server could be started (see above)"
    exit 0
fi

export WINEPREFIX="$build/wineprefix"
"$root/scripts/prepare-wineprefix.sh" "$WINEPREFIX" || fail "no Wine prefix"
. "$root/scripts/wine-env.sh"
appdata="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
mkdir -p "$appdata"
cp "$root/samples/Opposites.mnc" "$appdata/"

# Waits up to $2 seconds for a window whose title is exactly $1; prints its id.
wait_window() {
    local id
    for _ in $(seq $(($2 * 10))); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits for a PDF that was not there before and is completely written; prints its path.
wait_pdf() {
    local before=$1
    for _ in $(seq 600); do
        for f in "$MNEMORA_PRINT_OUTPUT"/*.pdf; do
            [ -e "$f" ] || continue
            grep -qxF "$f" "$before" && continue
            tail -c 16 "$f" | grep -q '%%EOF' && { echo "$f"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# The print dialog: Ctrl+P, then OK (with the given keys pressed first); returns the new PDF.
print_through_dialog() {
    local before="$work/before.txt"
    ls "$MNEMORA_PRINT_OUTPUT"/*.pdf >"$before" 2>/dev/null
    xdotool key ctrl+p
    local dialog
    dialog=$(wait_window Print 20) || fail "Ctrl+P opened no print dialog"
    xdotool windowfocus --sync "$dialog" 2>/dev/null
    sleep 0.3
    for key in "$@"; do xdotool key "$key"; sleep 0.2; done
    xdotool key Return
    wait_pdf "$before" || fail "no document was printed"
    if xdotool search --name '^Error' >/dev/null 2>&1; then
        fail "an error box appeared"
    fi
}

$MNEMORA_WINE "$exe" >"$work/program.log" 2>&1 &
app=$!
main=$(wait_window Mnemora 60) || fail "the main window did not appear"
sleep 1

# The card set list is the white box in the bar (colour 128, 192, 255) right of the size buttons.
import -window root -depth 8 "$work/screen.ppm" || fail "no screenshot"
combo=$(python3 - "$work/screen.ppm" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace():
        pos += 1
    start = pos
    while not data[pos:pos + 1].isspace():
        pos += 1
    fields.append(data[start:pos])
pos += 1
width, height = int(fields[1]), int(fields[2])
pixel = lambda x, y: tuple(data[pos + 3 * (y * width + x):pos + 3 * (y * width + x) + 3])
for y in range(height // 3):
    row = [pixel(x, y) for x in range(width)]
    if row.count((128, 192, 255)) < width // 3:
        continue
    run = 0
    for x, c in enumerate(row):
        run = run + 1 if c == (255, 255, 255) else 0
        if run == 60:
            print(x - 30, y + 4)
            sys.exit(0)
sys.exit(1)
PY
) || fail "the card set list was not found on the screen"
xdotool mousemove $combo click 1
sleep 0.5
xdotool key O
sleep 0.2
xdotool key Return
sleep 0.5

square=$(print_through_dialog) || exit 1
rounded=$(print_through_dialog alt+r) || exit 1

# Leave as a user would: Alt+F4 on the main window.
xdotool windowfocus --sync "$main" 2>/dev/null
xdotool key alt+F4
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && echo "note: the program did not end through its menu"

check_document() {
    local pdf=$1 corners=$2
    local pages
    pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
    # Opposites: ten pairs, twenty cards, four to a page.
    [ "$pages" = 5 ] || fail "$pdf has $pages pages, expected 5"
    rm -f "$work"/page-*.pgm
    pdftoppm -r 150 -gray "$pdf" "$work/page" || fail "pdftoppm failed"
    python3 - "$corners" "$work"/page-*.pgm <<'PY' || fail "$pdf: the cards are not as expected"
import sys

DPI = 150
mm = lambda v: v * DPI / 25.4
corners, files = sys.argv[1], sys.argv[2:]

def read_pgm(path):
    data = open(path, 'rb').read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[pos:pos + w * h]

def runs(values):
    """(start, length) of the dark stretches of a line of pixels."""
    out, start = [], None
    for i, v in enumerate(values):
        if v < 128 and start is None:
            start = i
        elif v >= 128 and start is not None:
            out.append((start, i - start))
            start = None
    if start is not None:
        out.append((start, len(values) - start))
    return out

def bands(lines, minimum):
    """Solid edges: groups of neighbouring lines with a dark run of at least minimum pixels."""
    found = []
    for index, line in enumerate(lines):
        for start, length in runs(line):
            if length < minimum:
                continue
            for band in found:
                if band['last'] == index - 1 and abs(band['start'] - start) < mm(3):
                    band['last'] = index
                    break
            else:
                found.append({'first': index, 'last': index, 'start': start, 'length': length})
    for band in found:
        band['centre'] = (band['first'] + band['last']) / 2
    return found

ok = True
def check(condition, message):
    global ok
    if not condition:
        print('  ' + message)
        ok = False

for number, path in enumerate(files, 1):
    w, h, px = read_pgm(path)
    rows = [px[y * w:(y + 1) * w] for y in range(h)]
    columns = [px[x::w] for x in range(w)]
    # Frame edges are solid; the straight part of a rounded edge is 10 mm shorter.
    horizontal = bands(rows, mm(80))
    vertical = bands(columns, mm(35))
    cards = []
    for top in horizontal:
        bottom = [b for b in horizontal if abs(b['centre'] - top['centre'] - mm(50)) < mm(2)
                  and abs(b['start'] - top['start']) < mm(2)]
        if not bottom:
            continue
        bottom = bottom[0]
        left = [v for v in vertical if abs(v['centre'] - top['start']) < mm(6)
                and top['centre'] - mm(2) < v['start'] < top['centre'] + mm(6)]
        right = [v for v in vertical if abs(v['centre'] - (top['start'] + top['length'])) < mm(6)
                 and top['centre'] - mm(2) < v['start'] < top['centre'] + mm(6)]
        if left and right:
            cards.append((left[0]['centre'], top['centre'], right[0]['centre'], bottom['centre']))
    check(len(cards) == 4, 'page %d: %d card frames found, expected 4' % (number, len(cards)))
    for row, (l, t, r, b) in enumerate(sorted(cards, key=lambda c: c[1])):
        width, height = (r - l) * 25.4 / DPI, (b - t) * 25.4 / DPI
        print('page %d card %d: %.2f mm x %.2f mm at (%.1f, %.1f) mm' % (number, row + 1, width, height,
              l * 25.4 / DPI, t * 25.4 / DPI))
        check(abs(width - 100) <= 0.5 and abs(height - 50) <= 0.5, '  not 100 mm x 50 mm')
        check(abs(l - mm(12.5)) <= mm(0.5) and abs(t - mm(12.5 + 65 * row)) <= mm(0.5),
              '  not at (12.5, %.1f) mm' % (12.5 + 65 * row))
        # Frame corner: ink where the square corner is, paper where the 10 mm ellipse cuts it.
        corner = rows[int(round(t))][int(round(l))]
        check((corner < 128) == (corners == 'square'), '  corner is not %s' % corners)
        # The card's text: some ink inside the frame.
        inside = [v for y in range(int(t + mm(2)), int(b - mm(2))) for v in rows[y][int(l + mm(2)):int(r - mm(2))]]
        check(sum(1 for v in inside if v < 160) > 20, '  no text inside the card')
        # The cut line 2.5 mm outside the frame is dashed: many short dark stretches. Its 0.2 mm
        # are smoothed over two rows of pixels; the darker of the rows around it is looked at.
        y = int(round(t - mm(2.5)))
        line = [min(rows[j][x] for j in range(y - 2, y + 3)) for x in range(int(l + mm(10)), int(r - mm(10)))]
        dashes = runs(line)
        check(len(dashes) >= 30 and max(length for _, length in dashes) < mm(3), '  cut line is not dashed')
sys.exit(0 if ok else 1)
PY
}

echo "square corners: $square"
check_document "$square" square
echo "rounded corners: $rounded"
check_document "$rounded" rounded
echo "PASS"
