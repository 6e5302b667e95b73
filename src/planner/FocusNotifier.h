#pragma once

#include <QString>

// One desktop notification at the end of a focus-timer phase.
struct FocusNotification {
    QString title;
    QString subtitle;
    QString body;
    friend bool operator==(const FocusNotification&, const FocusNotification&) = default;
};

// Posts notifications through the desktop's notification service
// (org.freedesktop.Notifications on the session bus). Without a session bus
// or a service nothing happens; nothing waits for an answer.
namespace FocusNotifier {

inline constexpr const char* kService = "org.freedesktop.Notifications";
inline constexpr const char* kPath = "/org/freedesktop/Notifications";
inline constexpr const char* kInterface = "org.freedesktop.Notifications";

// The subtitle goes where the desktop shows the sender (the application
// name); title and body as given. True when the message was sent.
bool post(const FocusNotification& n);

} // namespace FocusNotifier
