// What screen readers are told: a small accessible object of our own for a window and its simple
// children (the cards, the board-size buttons), and the cards' names and states.
#pragma once

#include <windows.h>

#include <string>

// What an accessible object says about its window (child 0) and its children 1 to ChildCount.
struct AccessibleSource {
    int (*ChildCount)(HWND window);
    std::wstring (*Name)(HWND window, long child);
    long (*Role)(HWND window, long child);
    long (*State)(HWND window, long child);
    // The child's rectangle in client coordinates (children only; the window's own comes from the
    // platform's standard object).
    RECT (*ChildRect)(HWND window, long child);
    const wchar_t* (*DefaultAction)(HWND window, long child); // null: none
    void (*DoDefaultAction)(HWND window, long child);
};

// The answer to WM_GETOBJECT: for the client object (OBJID_CLIENT) an object that asks the source,
// otherwise the platform's default.
LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleSource& source);

// The accessible name of a card: "Card 7 of 20, face down", or face up "Card 7 of 20: " with its
// text as plain text and ", picture", ", sound", ", video" for what it has, ", found" when the
// other card of its pair is face up too.
std::wstring DescribeCard(HWND card);
// The answer of a card button to WM_GETOBJECT.
LRESULT AnswerCardGetObject(HWND card, WPARAM wParam, LPARAM lParam);
// Tells screen readers that a card turned: its name changed, and that of its pair's other card
// (now found or no longer); the focused card is announced again.
void NotifyCardTurned(HWND card);
// Tells screen readers that a window (or one of its children) has the keyboard focus.
void NotifyFocus(HWND window, long child = CHILDID_SELF);
