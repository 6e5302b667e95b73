#pragma once

// Each tool's button-art picture (resources "ButtonArt/<artName>.png"), read
// at most once per run; a missing or unreadable file is remembered as absent.

#include "core/Tool.h"

#include <QImage>
#include <QString>
#include <optional>

namespace ButtonArt {

// The tool's art, or nothing (the icon then shows the tool's symbol).
std::optional<QImage> image(Tool tool);

// The folders searched, in order: the Qt resource ":/ButtonArt", then the
// "ButtonArt" folder beside the executable's share folder.
QStringList searchFolders();

// Tests: look in `folder` first and forget every cached entry.
void setExtraFolderForTesting(const QString& folder);
void clearCacheForTesting();

} // namespace ButtonArt
