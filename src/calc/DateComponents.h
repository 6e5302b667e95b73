#pragma once

// A wall-clock reading: the fields a calendar gives for an instant in one
// zone, or the fields from which a calendar builds an instant.
struct DateComponents {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;

    friend bool operator==(const DateComponents&, const DateComponents&) = default;
};
