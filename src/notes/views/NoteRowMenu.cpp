#include "notes/views/NoteRowMenu.h"

#include "notes/RecorderModel.h"
#include "ui/FileReveal.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>

namespace NoteRowMenu {

void fill(QMenu* menu, RecorderModel* model, const VoiceNote& note)
{
    menu->clear();
    // The actions hold the model weakly: a menu may outlive a window.
    const QPointer<RecorderModel> m(model);
    menu->addAction(QStringLiteral("Export .m4a…"), menu, [m, note] {
        if (m)
            m->exportNote(note);
    });
    menu->addAction(QStringLiteral("Transcribe (on this computer)"), menu, [m, note] {
        if (m)
            m->transcribe(note);
    });
    menu->addAction(QStringLiteral("Show in Files"), menu, [note] { revealFile(note); });
    if (!note.transcript.isEmpty())
        menu->addAction(QStringLiteral("Copy Transcript"), menu, [note] { copyTranscript(note); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Delete…"), menu, [m, note] {
        if (m)
            m->deleteNote(note);
    });
}

void revealFile(const VoiceNote& note)
{
    FileReveal::reveal(RecorderModel::pathOf(note));
}

void copyTranscript(const VoiceNote& note)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(note.transcript);
}

} // namespace NoteRowMenu
