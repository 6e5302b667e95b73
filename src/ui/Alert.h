#pragma once

// A modal alert for the whole application: a title, an informative text, a
// style and buttons in order. Returns 1000 for the first button (the default
// one, which Return presses), 1001 for the second, and so on; an empty list
// shows one "OK" button (1000). A button titled "Cancel" answers Escape.

#include <QString>
#include <QStringList>
#include <functional>

enum class AlertStyle { Warning, Informational, Critical };

struct AlertRequest {
    QString title;
    QString informative;
    AlertStyle style = AlertStyle::Warning;
    QStringList buttons; // as shown: never empty ("OK" added)
};

inline constexpr int alertFirstButton = 1000;

int runAlert(const QString& title, const QString& informative, AlertStyle style,
             const QStringList& buttons = {});

// Tests and the non-interactive modes answer alerts through a handler: it
// gets the request and returns the response code. An empty handler restores
// the real dialog. Returns the previous handler.
using AlertHandler = std::function<int(const AlertRequest&)>;
AlertHandler setAlertHandler(AlertHandler handler);

// From the first call on, every alert and dialog of the application comes up
// above every other window of it, floating ones included (sticky notes kept
// on top), and takes the keyboard focus. Later calls change nothing.
void keepDialogsInFront();
