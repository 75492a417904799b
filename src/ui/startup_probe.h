#pragma once

class QWidget;

// With QUORIX_EXIT_WHEN_SHOWN=1 in the environment: once the window has been exposed and drawn,
// prints "shown_ms=<ms since launch> maxrss_kb=<peak resident size>" and ends the event loop
// with code 0. The launch time is QUORIX_LAUNCH_NS (CLOCK_REALTIME, set by the runner just
// before it starts the program), else the moment the program was loaded. Otherwise does nothing.
void exitWhenShownIfAsked(QWidget& window);
