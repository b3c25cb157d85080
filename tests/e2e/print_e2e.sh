#!/usr/bin/env bash
# A player prints two sample card sets: chooses the card set in the bar, presses Ctrl+P and OK in
# the print dialog: "Opposites" (formatted texts) as the dialog opens, "Shapes" (pictures named
# through %APPDATA%) with "Rounded corners" checked. The PDF printer of the test print server
# writes the documents; every page is turned into pixels and the cards are measured: 100 mm x
# 50 mm frames, four to an A4 page, dashed cut lines, square or rounded corners, something drawn
# inside every card. Uses the print server of scripts/test-setup/print.sh, starting one when the
# test command did not; without one the test is skipped.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

cleanup_steps=()
work=$(mktemp -d)
cleanup_steps+=("rm -rf '$work'")
trap 'for step in "${cleanup_steps[@]}"; do eval "$step"; done' EXIT
if [ -z "${MNEMORA_PRINT_OUTPUT:-}" ]; then
    . "$ROOT/scripts/test-setup/print.sh"
fi
if [ -z "${MNEMORA_PRINT_OUTPUT:-}" ]; then
    echo "SKIPPED: no print server could be started (see above)"
    exit 0
fi

# The sample card sets with their pictures, as an installed program gets them.
samples="$BUILD/samples"
bash "$ROOT/samples/make-samples.sh" "$samples" >/dev/null || fail "the sample media could not be made"
fresh_user "$samples/Opposites.mnc" "$samples/Shapes.mnc"
for media in "$samples"/*/; do
    rm -rf "$APPDATA_DIR/$(basename "$media")"
    cp -r "$media" "$APPDATA_DIR/"
done
start_wine_services || true # a server already running for the prefix is kept

start_program
print_card_set Opposites
opposites=$PRINTED
print_card_set Shapes 1042
shapes=$PRINTED

# Leave as a player would: Alt+F4.
xdotool key alt+F4
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"

check_document() {
    local pdf=$1 corners=$2 pages
    pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
    # Ten pairs, twenty cards, four to an A4 page.
    [ "$pages" = 5 ] || fail "$pdf has $pages pages, expected 5"
    rm -f "$work"/page-*.pgm
    pdftoppm -r 150 -gray "$pdf" "$work/page" || fail "pdftoppm failed"
    cp "$pdf" "$SHOTS/printed-$corners.pdf"
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
                    # The longest line of the band: round joins and corners shorten the others.
                    if length > band['length']:
                        band['start'], band['length'] = start, length
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
    # Frame edges are solid lines; the straight part of a rounded edge is 10 mm shorter.
    horizontal = bands(rows, mm(80))
    vertical = bands(columns, mm(35))
    cards = []
    for top in horizontal:
        bottom = [b for b in horizontal if abs(b['centre'] - top['centre'] - mm(50)) < mm(2)
                  and abs(b['start'] - top['start']) < mm(2)]
        left = [v for v in vertical if abs(v['centre'] - top['start']) < mm(6)
                and top['centre'] - mm(2) < v['start'] < top['centre'] + mm(6)]
        right = [v for v in vertical if abs(v['centre'] - (top['start'] + top['length'])) < mm(6)
                 and top['centre'] - mm(2) < v['start'] < top['centre'] + mm(6)]
        if bottom and left and right:
            cards.append((left[0]['centre'], top['centre'], right[-1]['centre'], bottom[0]['centre']))
    check(len(cards) == 4, 'page %d: %d card frames found, expected 4' % (number, len(cards)))
    for row, (l, t, r, b) in enumerate(sorted(cards, key=lambda c: c[1])):
        width, height = (r - l) * 25.4 / DPI, (b - t) * 25.4 / DPI
        print('page %d card %d: %.2f mm x %.2f mm at (%.1f, %.1f) mm' % (number, row + 1, width, height,
              l * 25.4 / DPI, t * 25.4 / DPI))
        check(abs(width - 100) <= 0.5 and abs(height - 50) <= 0.5, '  not 100 mm x 50 mm')
        check(abs(l - mm(12.5)) <= mm(0.5) and abs(t - mm(12.5 + 65 * row)) <= mm(0.5),
              '  not at (12.5, %.1f) mm' % (12.5 + 65 * row))
        # The frame's corner point: ink when square, paper where the 10 mm ellipse rounds it.
        corner = rows[int(round(t))][int(round(l))]
        check((corner < 128) == (corners == 'square'), '  corner is not %s' % corners)
        # The card's text or picture: ink well inside the frame.
        inside = [v for y in range(int(t + mm(2)), int(b - mm(2))) for v in rows[y][int(l + mm(2)):int(r - mm(2))]]
        check(sum(1 for v in inside if v < 240) > 20, '  nothing drawn inside the card')
        # The cut line 2.5 mm outside the frame is dashed: many short dark stretches. Its 0.2 mm
        # are smoothed over two rows of pixels; the darker of the rows around it is looked at.
        y = int(round(t - mm(2.5)))
        line = [min(rows[j][x] for j in range(y - 2, y + 3)) for x in range(int(l + mm(10)), int(r - mm(10)))]
        dashes = runs(line)
        check(len(dashes) >= 30 and max(length for _, length in dashes) < mm(3), '  cut line is not dashed')
sys.exit(0 if ok else 1)
PY
}

echo "Opposites, square corners: $opposites"
check_document "$opposites" square
echo "Shapes, rounded corners: $shapes"
check_document "$shapes" rounded
echo "print e2e passed"
