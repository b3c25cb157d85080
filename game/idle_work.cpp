// Idle work: the queue of owners' work that the message loop (app/startup) runs piece by piece
// whenever no message waits, so that a click is never kept waiting longer than one piece.
#include "game/idle_work.h"

#include <vector>

namespace {

struct IdleWork {
    HWND Owner;
    IdlePiece Piece;
};

std::vector<IdleWork> Queue;

} // namespace

void ScheduleIdleWork(HWND owner, IdlePiece piece)
{
    DropIdleWork(owner);
    Queue.push_back({owner, piece});
}

void DropIdleWork(HWND owner)
{
    for (size_t i = 0; i < Queue.size(); ++i)
        if (Queue[i].Owner == owner)
            Queue.erase(Queue.begin() + static_cast<std::ptrdiff_t>(i--));
}

bool HasIdleWork(HWND owner)
{
    for (const IdleWork& work : Queue)
        if (!owner || work.Owner == owner)
            return true;
    return false;
}

bool RunIdleWork()
{
    if (Queue.empty())
        return false;
    IdleWork work = Queue.front();
    // The piece may drop or schedule work itself: it is looked up again afterwards.
    bool more = IsWindow(work.Owner) && work.Piece(work.Owner);
    if (!more)
        for (size_t i = 0; i < Queue.size(); ++i)
            if (Queue[i].Owner == work.Owner && Queue[i].Piece == work.Piece) {
                Queue.erase(Queue.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
    return true;
}
