#pragma once

#include "calc/expr/ExprCommon.h"

#include <QStringView>

namespace Expr {

// The glyph rewriting: × ÷ − · to * / - *, π to " pi ", √ to " sqrt ",
// ² ³ to ^2 ^3, and ** to ^. The input itself when nothing changes, else
// the rewritten copy in `buffer`.
QStringView normalizedView(QStringView text, TextBuffer& buffer);

} // namespace Expr
