#pragma once

// The word processor's switch for automatic spelling correction, stored under
// the preference key "wpAutocorrect" (on when absent or not a Boolean). Other
// text inputs never correct automatically. The settings window writes the key
// and then asks the word processor to apply it to its open windows.

#include <QString>
#include <functional>

namespace Spelling {

inline const QString autocorrectKey = QStringLiteral("wpAutocorrect");

bool autocorrectInWordProcessor();

} // namespace Spelling

// How the settings window reaches the word processor's open documents after
// the preference changed. The word processor installs its function when it
// starts; until then (and with no open document) applyToAll() does nothing.
namespace WPAutocorrect {

using Apply = std::function<void()>;

// Installs the function that applies the stored preference to every open
// word-processor window; returns the previous one.
Apply install(Apply apply);

void applyToAll();

} // namespace WPAutocorrect
