#!/usr/bin/env bash
# A player starts the program: the window with its bar, the sorted card sets, the message for a
# board size without a card set, and a clean exit that remembers the card set.
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

fresh_user
start_program
screenshot startup
grep -q '^items Capitals|Colours|Opposites$' <<<"$WINDOW_INFO" || fail "card sets not listed sorted: $WINDOW_INFO"
grep -q '^selected $' <<<"$WINDOW_INFO" || fail "a card set is selected at first start"

click_board_size 0
wait_for '^dialog Error\|No card set selected$' 10 dialogs >/dev/null || fail "no 'No card set selected' box"
screenshot no-card-set-selected
click_dialog_button 1
wait_for '^$' 10 dialogs >/dev/null || fail "the message box did not close"

# Choose the first card set with the mouse and the keyboard, then a board size.
click_rect "$(rect_of combo)"
sleep 0.3
xdotool key Down Return
wait_for '^selected Capitals$' 10 window >/dev/null || fail "choosing a card set did not select it"
click_board_size 0
sleep 1
screenshot after-board-size
# Whatever the board said, a box (if any) is closed before leaving.
if probe dialogs | grep -q '^dialog'; then click_dialog_button 1; sleep 0.5; fi

# Leave through the menu: Game, Exit!
xdotool key alt+g
sleep 0.3
xdotool key e
wait_exit
[ "$EXIT_CODE" = 0 ] || fail "exit code $EXIT_CODE"
[ "$(setting LastProfile)" = Capitals ] || fail "LastProfile is '$(setting LastProfile)'"
echo "startup e2e passed"
