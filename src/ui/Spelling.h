#pragma once

// The word processor's switch for automatic spelling correction, stored under
// the preference key "wpAutocorrect" (on when absent or not a Boolean). Other
// text inputs never correct automatically.

#include <QString>

namespace Spelling {

inline const QString autocorrectKey = QStringLiteral("wpAutocorrect");

bool autocorrectInWordProcessor();

} // namespace Spelling
