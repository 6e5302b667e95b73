#include "ui/Spelling.h"

#include "core/SettingsStore.h"

namespace Spelling {

bool autocorrectInWordProcessor()
{
    return SettingsStore::boolValue(autocorrectKey, true);
}

} // namespace Spelling
