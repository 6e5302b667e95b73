// Self-test suites of the sticky notes: their file, the placement of new
// notes and the text checking of a note window; sample notes for the
// snapshot mode.
#include "core/Json.h"
#include "core/Store.h"
#include "notes/StickyFrame.h"
#include "notes/StickyNote.h"
#include "notes/StickyStore.h"
#include "notes/views/StickyWindow.h"
#include "selftest/SelfTest.h"
#include "selftest/Snapshots.h"
#include "ui/FieldSpelling.h"

#include <QFile>
#include <QLineEdit>

namespace {

void removeState(const QString& name)
{
    QFile::remove(Store::path(name));
    QFile::remove(Store::path(name) + QStringLiteral(".bak"));
}

SelfTest::Suite stickyStoreSuite("Sticky Notes", [](SelfTest::Check& c) {
    const QString name = StickyStore::fileName();
    removeState(name);
    QUuid id;
    {
        StickyStore s;
        c.that(s.notes().isEmpty(), QStringLiteral("no file: no notes"));
        id = s.newNote(3, QStringLiteral("Buy milk"));
        s.setText(id, QStringLiteral("Buy oat milk"));
        s.frameChanged(id, QRectF(40, 60, 300, 200));
        s.saveNow();
    }
    {
        StickyStore again;
        const std::optional<StickyNote> n = again.note(id);
        c.that(n.has_value(), QStringLiteral("note read back"));
        if (n) {
            c.equal(n->text, QStringLiteral("Buy oat milk"), QStringLiteral("text read back"));
            c.equal(n->colorIndex, 3, QStringLiteral("colour read back"));
            c.equal(n->frame, QStringLiteral("{{40, 60}, {300, 200}}"), QStringLiteral("frame read back"));
        }
    }
    QFile f(Store::path(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(R"([{"id": "not-a-uuid", "text": ""}])");
    f.close();
    {
        StickyStore damaged;
        c.that(damaged.notes().isEmpty(), QStringLiteral("a damaged file gives no notes"));
    }
    removeState(name);

    const QRectF first = StickyFrame::cascade(QRectF(0, 0, 1440, 900), 0);
    c.equal(StickyFrame::toText(first), QStringLiteral("{{560, 330}, {320, 300}}"), QStringLiteral("first new note"));
    const QRectF ninth = StickyFrame::cascade(QRectF(0, 0, 1440, 900), 8);
    c.that(ninth == first, QStringLiteral("the cascade starts again after eight notes"));
});

SelfTest::Suite stickyWindowSuite("Sticky Note Window", [](SelfTest::Check& c) {
    StickyWindow window;
    auto* field = new QLineEdit(&window);
    window.setCentralWidget(field);
    FieldSpelling* editor = window.fieldEditor(true, field);
    c.that(editor != nullptr, QStringLiteral("a note window gives its text fields a field editor"));
    if (editor) {
        const TextCheckingSwitches s = editor->switches();
        c.that(s.continuousSpellChecking && s.grammarChecking, QStringLiteral("spelling and grammar checked as you type"));
        c.that(!s.automaticSpellingCorrection && !s.automaticTextReplacement && !s.automaticDashSubstitution
                   && !s.automaticQuoteSubstitution,
               QStringLiteral("no automatic corrections or substitutions"));
    }
    c.that(!window.noteID().has_value(), QStringLiteral("a bare note window belongs to no note"));
});

// Four notes for the snapshot mode, one of them hidden.
Snapshots::Sample stickySample("stickies", [] {
    QList<StickyNote> notes;
    const auto add = [&notes](qint64 color, const QString& text, const QRectF& frame, bool visible) {
        StickyNote n = StickyNote::make(color, text);
        n.frame = StickyFrame::toText(frame);
        n.visible = visible;
        notes.append(n);
    };
    add(0, QStringLiteral("Call the printer about the flyers\nBring invoice #1042"), QRectF(40, 200, 320, 300), true);
    add(3, QStringLiteral("Chemistry lab report due Thursday — check the titration numbers"), QRectF(380, 120, 280, 240), true);
    add(2, QStringLiteral("Groceries: oats, lemons, coffee"), QRectF(420, 300, 240, 200), false);
    add(4, QString(), QRectF(120, 80, 240, 200), true);
    Store::save(Json::fromList(notes), StickyStore::fileName());
});

} // namespace
