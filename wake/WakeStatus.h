/* Exit statuses of trillora-wake, shared by the helper and the program that runs it. */
#ifndef TRILLORA_WAKE_STATUS_H
#define TRILLORA_WAKE_STATUS_H

enum WakeStatus {
    WAKE_ENDED = 0,          /* end of input: the alarm goes with the helper */
    WAKE_FAILED = 1,         /* an unexpected system error, told on standard error */
    WAKE_BAD_INPUT = 2,      /* a line that is neither a moment after the epoch nor "off" */
    WAKE_NOT_PERMITTED = 3,  /* no CAP_WAKE_ALARM: the helper lacks its file capability */
    WAKE_NO_ALARM_CLOCK = 4  /* no real-time clock the kernel could wake the computer with */
};

#endif
