// The capture schedule's rules.
#include "app/CaptureSchedule.h"

CaptureSchedule& TheCaptureSchedule() {
    static CaptureSchedule schedule = {false, false};
    return schedule;
}

void ResetCaptureSchedule(CaptureSchedule& schedule) {
    schedule.settleArmed = false;
    schedule.capturing = false;
}

bool ArmSettle(CaptureSchedule& schedule) {
    if (schedule.settleArmed) {
        return false;
    }
    schedule.settleArmed = true;
    return true;
}

void DisarmSettle(CaptureSchedule& schedule) {
    schedule.settleArmed = false;
}

bool SettleDue(CaptureSchedule& schedule) {
    if (schedule.capturing) {
        return false;
    }
    schedule.settleArmed = false;
    return true;
}

bool BeginCapture(CaptureSchedule& schedule) {
    if (schedule.capturing) {
        return false;
    }
    schedule.capturing = true;
    return true;
}

void EndCapture(CaptureSchedule& schedule) {
    schedule.capturing = false;
}
