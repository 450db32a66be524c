// When captures run: the one-second tick, the short settle timer that a clipboard notification
// arms, and never one capture inside another. Portable: no <windows.h>.
#pragma once

struct CaptureSchedule {
    bool settleArmed; // the settle timer is set and its capture has not run yet
    bool capturing;   // a capture is running
};

// The main window's schedule.
CaptureSchedule& TheCaptureSchedule();

// A new main window: nothing armed, nothing running.
void ResetCaptureSchedule(CaptureSchedule& schedule);

// A clipboard notification: true when the settle timer is to be set now, false while it is
// armed already, so that a stream of notifications never postpones the capture.
bool ArmSettle(CaptureSchedule& schedule);

// The settle timer could not be set: the next notification tries again.
void DisarmSettle(CaptureSchedule& schedule);

// The settle timer fired: true when its capture runs now (the timer is to be stopped first; a
// notification from then on arms it anew), false while another capture runs (the timer stays
// set and fires again).
bool SettleDue(CaptureSchedule& schedule);

// Around one capture: false when a capture is running already, and then this one does not run.
bool BeginCapture(CaptureSchedule& schedule);
void EndCapture(CaptureSchedule& schedule);
