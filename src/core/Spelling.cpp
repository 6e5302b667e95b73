#include "core/Spelling.h"

#include "core/SettingsStore.h"

#include <utility>

namespace Spelling {

bool autocorrectInWordProcessor()
{
    return SettingsStore::boolValue(autocorrectKey, true);
}

} // namespace Spelling

namespace WPAutocorrect {

namespace {
Apply& installed()
{
    static Apply fn;
    return fn;
}
} // namespace

Apply install(Apply apply)
{
    return std::exchange(installed(), std::move(apply));
}

void applyToAll()
{
    if (const Apply& fn = installed())
        fn();
}

} // namespace WPAutocorrect
