// Work done ahead on the one thread: small pieces that the message loop runs while its queue is
// empty, each giving way to the next message.
#pragma once

#include <windows.h>

// One small piece of an owner's work; returns true while pieces remain.
using IdlePiece = bool (*)(HWND owner);

// Queues the owner's work behind what others queued, replacing the owner's earlier work.
void ScheduleIdleWork(HWND owner, IdlePiece piece);
// Drops the owner's work.
void DropIdleWork(HWND owner);
// True when the owner (any owner, for null) has work queued.
bool HasIdleWork(HWND owner);
// Runs one piece of the work queued first; false when nothing was queued.
bool RunIdleWork();
