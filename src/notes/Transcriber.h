#pragma once

#include <QLocale>
#include <QString>
#include <atomic>
#include <optional>

// Speech to text on this computer with pocketsphinx and its US-English
// model. Nothing ever leaves the machine.
namespace Transcriber {

// The recogniser chosen for a locale.
struct Recogniser {
    QString locale;      // "en-US"
    QString modelFolder; // holds the acoustic model, language model and dictionary
    bool onDevice = true;
};

// The folder of the US-English model (the Debian package's by default).
QString modelFolder();
// Tests point the recogniser elsewhere; an empty text restores the default.
void setModelFolder(const QString& folder);

// A recogniser for `locale` when a model for it is installed, else for
// "en-US"; nothing when neither is installed.
std::optional<Recogniser> recogniserFor(const QLocale& locale);

struct Result {
    bool ok = false;
    bool cancelled = false;
    QString text;  // ok: the recognised sentences
    QString error; // not ok: what went wrong
};

// Decodes the audio file to 16 kHz mono and recognises it as the recogniser
// would the whole file in one pass: features normalised by the note's own
// mean, one stretch of speech (a very long note in pieces of about a minute,
// cut at pauses), each piece a sentence. Blocks; checks `cancel` between
// blocks of audio.
Result recognise(const Recogniser& recogniser, const QString& audioPath, const std::atomic<bool>& cancel);

// "go forward ten meters" -> "Go forward ten meters."
QString sentence(const QString& words);

} // namespace Transcriber
