#pragma once

// Shared by the word-processor targets: an offscreen application for the
// text documents, and the text a reading must keep through a save.
#include "wordproc/docx/ZipLibrary.h"

#include <QGuiApplication>
#include <sanitizer/lsan_interface.h>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    // libzip is loaded once and kept for the life of the process: load it
    // before the first input, outside the leak check.
    {
        __lsan::ScopedDisabler keptForLife;
        ZipLibrary::load(nullptr);
    }
    return 0;
}

namespace FuzzDocument {

// The text without pictures: a picture whose bytes a format cannot hold is
// left out when writing.
inline QString visible(const QTextDocument& doc)
{
    return doc.toPlainText().remove(QChar::ObjectReplacementCharacter);
}

} // namespace FuzzDocument
