#include "ui/Spelling.h"

#include "app/SettingsStore.h"

namespace Spelling {

bool autocorrectInWordProcessor()
{
    return SettingsStore::boolValue(autocorrectKey, true);
}

} // namespace Spelling
