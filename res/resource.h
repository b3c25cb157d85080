// Resource and command ids shared by the resource script and the program.
#pragma once

#define IDR_MAINMENU 1
#define IDR_ACCELERATORS 1
#define IDS_APPTITLE 1
#define IDI_MNEMORA 100

// Main window commands.
#define IDM_CARDSETS 1001
#define IDM_EXIT 1002
#define IDM_SETTINGS 1004
#define IDM_PRINT 1005
#define IDM_ABOUT 3001
#define IDM_HELP 3002

// Board-size buttons of the card-set bar: 2001 + row of the board size table.
#define IDM_BOARDSIZE_FIRST 2001
#define IDM_BOARDSIZE_LAST 2006

// Tab and Shift+Tab: the keyboard focus to the next or previous part of the main window.
#define IDM_FOCUS_NEXT 4001
#define IDM_FOCUS_PREVIOUS 4002
