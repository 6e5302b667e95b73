#pragma once

#include "notes/VoiceNote.h"

class QMenu;
class QWidget;
class RecorderModel;

// The "…" menu of a note and its actions, the same whether the row is the
// one being edited or only drawn in the list.
namespace NoteRowMenu {

// Fills `menu` for `note`: Export, Transcribe, Show in Files, Copy
// Transcript (only with a transcript), a separator and Delete.
void fill(QMenu* menu, RecorderModel* model, const VoiceNote& note);

// Reveals the note's audio file in the file browser.
void revealFile(const VoiceNote& note);
// Puts the transcript on the clipboard as plain text.
void copyTranscript(const VoiceNote& note);

} // namespace NoteRowMenu
