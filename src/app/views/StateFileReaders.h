#pragma once

#include "core/Store.h"

#include <QList>

// The tools' state files, each with the check its tool reads it by, so that
// the question at start about files that cannot be read and their backups
// (Store::askAboutBackups) judges them as the tools will.
namespace StateFileReaders {

QList<Store::StateFile> all();

} // namespace StateFileReaders
