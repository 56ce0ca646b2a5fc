// Where the screen tests step in; the game itself leaves both empty.
#pragma once

// Called each time the video system has started, before any window opens. Restarting the
// video system empties SDL's event queue; the screen tests queue their events here.
extern void (*afterVideoStart)();
// Called by waitEvent when no event is queued, before it blocks: the screen tests queue there
// what a player would do next, having seen the screen's last repaint.
extern void (*whenIdle)();
