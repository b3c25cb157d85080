#!/usr/bin/env python3
"""Plays one whole game on the real program as a player would: chooses the card set with the
mouse and keyboard, presses 4 x 4, turns cards by clicking, remembers what it saw and plays until
the board is dealt anew. Every screenshot is kept in the given folder and checked: face-down
cards show the card colour with white bevels, turned cards their picture and fitted text.

Usage: game_player.py <screenshot folder> <card set name>"""
import json
import os
import subprocess
import sys
import time

BAR = (128, 192, 255)
GREY = (192, 192, 192)
WHITE = (255, 255, 255)
DISPLAY_TIME = 1.0  # seconds, the program's default

shots = sys.argv[1]
card_set = sys.argv[2]
shot_count = 0


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


class Shot:
    """A screenshot of the whole display, as rows of RGB bytes."""

    def __init__(self, name):
        global shot_count
        shot_count += 1
        self.path = os.path.join(shots, "%02d-%s.png" % (shot_count, name))
        subprocess.run(["import", "-window", "root", self.path], check=True)
        data = subprocess.run(["convert", self.path, "-depth", "8", "rgb:-"], check=True,
                              capture_output=True).stdout
        size = subprocess.run(["identify", "-format", "%w %h", self.path], check=True,
                              capture_output=True, text=True).stdout.split()
        self.width, self.height = int(size[0]), int(size[1])
        self.data = data

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])


def click(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)


def runs(values, wanted):
    """(start, end) of each run of positions whose value is in wanted."""
    found, start = [], None
    for i, v in enumerate(values + [None]):
        if v in wanted and start is None:
            start = i
        elif v not in wanted and start is not None:
            found.append((start, i))
            start = None
    return found


def find_bar(shot):
    """The bar's rows, its six board-size buttons and the card set list, found by colour."""
    column = [shot.at(shot.width - 60, y) for y in range(shot.height)]
    bar = max(runs(column, {BAR}), key=lambda r: r[1] - r[0], default=None)
    if not bar:
        fail("no card-set bar on the screen")
    middle = (bar[0] + bar[1]) // 2
    row = [shot.at(x, middle) for x in range(shot.width)]
    pieces = [r for r in runs([0 if p == BAR else 1 for p in row], {1}) if r[1] - r[0] >= 60]
    if len(pieces) < 7:
        fail("found %d of the bar's buttons and list" % len(pieces))
    buttons = [((a + b) // 2, middle) for a, b in pieces[:6]]
    combo = ((pieces[6][0] + pieces[6][1]) // 2, middle)
    return bar, buttons, combo


def find_cards(shot, top, rows, columns):
    """Card rectangles of a board of face-down cards below the bar: each card starts with its
    white bevel and goes on in the card colour."""
    x = 40
    column = [shot.at(x, y) for y in range(top, shot.height)]
    tops = [top + a for a, b in runs(column, {WHITE}) if b - a >= 3]
    greys = runs(column, {GREY})
    bottom = top + greys[-1][1] if greys else shot.height
    y = tops[0] + 40 if tops else top + 40
    row = [shot.at(x, y) for x in range(shot.width)]
    lefts = [a for a, b in runs(row, {WHITE}) if b - a >= 3]
    right = runs(row, {GREY})[-1][1]
    if len(tops) != rows or len(lefts) != columns:
        fail("expected a %d x %d board, found %d rows and %d columns" % (rows, columns, len(tops), len(lefts)))
    cards = []
    for r in range(rows):
        for c in range(columns):
            cards.append((lefts[c], tops[r], lefts[c + 1] if c + 1 < columns else right,
                          tops[r + 1] if r + 1 < rows else bottom))
    return cards


def look(shot, card):
    """What a card shows: 'down' or the colour most of its face is in, and whether it has text to
    the right of its picture."""
    left, top, right, bottom = card
    margin = max(3, min((right - left) // 40, (bottom - top) // 40))
    counts = {}
    white_columns = []
    coloured_at = []
    for y in range(top + margin, bottom - margin, 2):
        for x in range(left + margin, right - margin, 2):
            p = shot.at(x, y)
            if p == WHITE:
                white_columns.append(x)
            elif p != GREY:
                q = (p[0] // 16 * 16, p[1] // 16 * 16, p[2] // 16 * 16)
                counts[q] = counts.get(q, 0) + 1
                coloured_at.append((x, y))
    if not counts and not white_columns:
        return {"face": "down"}
    face = max(counts, key=counts.get) if counts else "white"
    picture_right = max(white_columns) if white_columns else left
    text = [(x, y) for x, y in coloured_at if x > picture_right + margin]
    text_height = (max(y for _, y in text) - min(y for _, y in text)) if len(text) > 10 else 0
    return {"face": str(face), "text": len(text), "text_height": text_height}


def check_face_down(shot, cards, what):
    """Every card shows the card colour with white top and left bevels, and nothing else."""
    for i, (left, top, right, bottom) in enumerate(cards):
        middle_x, middle_y = (left + right) // 2, (top + bottom) // 2
        if shot.at(middle_x, top + 1) != WHITE or shot.at(left + 1, middle_y) != WHITE:
            fail("%s: card %d has no white bevel" % (what, i + 1))
        if shot.at(middle_x, middle_y) != GREY or shot.at(right - 2, bottom - 2) != GREY:
            fail("%s: card %d is not in the card colour" % (what, i + 1))
        if look(shot, cards[i])["face"] != "down":
            fail("%s: card %d shows a face" % (what, i + 1))


def main():
    start = Shot("program")
    bar, buttons, combo = find_bar(start)
    # The card set: open the list with the mouse, pick the set by its first letter, take it.
    click(*combo)
    time.sleep(0.5)
    subprocess.run(["xdotool", "type", card_set[0]], check=True)
    subprocess.run(["xdotool", "key", "Return"], check=True)
    time.sleep(0.5)
    click(*buttons[3])  # 4 x 4
    time.sleep(1.5)
    dealt = Shot("dealt")
    cards = find_cards(dealt, bar[1], 4, 4)
    check_face_down(dealt, cards, "new deal")

    seen = {}        # card -> face seen
    found = set()    # cards of found pairs
    turns = 0
    texts = set()
    while len(found) < 16:
        turns += 1
        if turns > 30:
            fail("the game did not end within 30 turns")
        known = {}
        for card, face in seen.items():
            if card not in found:
                known.setdefault(face, []).append(card)
        pair = next((cards_ for cards_ in known.values() if len(cards_) == 2), None)
        if pair:
            first, second = pair
            click(*centre(cards[first]))
            time.sleep(0.3)
            click(*centre(cards[second]))
        else:
            first = next(c for c in range(16) if c not in found and c not in seen)
            click(*centre(cards[first]))
            time.sleep(0.4)
            shot = Shot("turn%02d-first" % turns)
            face = look(shot, cards[first])
            if face["face"] == "down":
                fail("card %d did not turn" % (first + 1))
            seen[first] = face["face"]
            if face["text"] > 10:
                texts.add(first)
            partner = next((c for c, f in seen.items() if f == face["face"] and c != first and c not in found),
                           None)
            second = partner if partner is not None else next(
                c for c in range(16) if c not in found and c not in seen)
            click(*centre(cards[second]))
        # The second card shows during the display time; a found pair stays.
        time.sleep(0.4)
        last = len(found) == 14
        shot = Shot("turn%02d-second" % turns + ("-won" if last else ""))
        face = look(shot, cards[second])
        if face["face"] == "down":
            fail("card %d did not turn" % (second + 1))
        seen[second] = face["face"]
        if face["text"] > 10:
            texts.add(second)
        if seen.get(first) == seen[second]:
            found.update((first, second))
        if last:
            if len(found) != 16:
                fail("the last two cards did not match")
            won = shot
            for i, card in enumerate(cards):
                if look(won, card)["face"] == "down":
                    fail("won board: card %d is face down" % (i + 1))
            # Fitted texts are drawn larger than the 10 points a text is written in.
            tall = [c for c in range(16) if look(won, cards[c])["text_height"] > (cards[c][3] - cards[c][1]) // 12]
            if len(tall) < 2:
                fail("won board: fewer than two cards show a fitted text beside their picture")
        time.sleep(DISPLAY_TIME + 0.4)
        if not last:
            after = Shot("turn%02d-after" % turns)
            for c in range(16):
                state = look(after, cards[c])["face"]
                if (c in found) == (state == "down"):
                    fail("after turn %d card %d is %s" % (turns, c + 1, state))
    time.sleep(1.0)
    redealt = Shot("redealt")
    check_face_down(redealt, cards, "deal after the won game")
    print(json.dumps({"turns": turns, "cards with text": len(texts), "screenshots": shot_count}))


def centre(card):
    return ((card[0] + card[2]) // 2, (card[1] + card[3]) // 2)


main()
