// When and how watch mode notifies; program-wide, never saved.
#pragma once

#include <cstdint>

struct NotificationSettings
{
    int16_t NotifyWhenUserHasFile = 0; // -1 true, 0 false
    int16_t NotifyWhenNoUserHasFile = 0; // -1 true, 0 false
    uint8_t NotifyByBeep = 0; // 1 on, 0 off
    uint8_t NotifyByMessage = 0; // 1 on, 0 off

    // The values start-up sets.
    static NotificationSettings startValues() { return {0, 0, 1, 1}; }
};
