#include "notes/StickyStore.h"

#include "core/Json.h"
#include "core/Store.h"
#include "core/StoreEvents.h"
#include "notes/StickyFrame.h"
#include "notes/StickyPalette.h"
#include "notes/StickyWindowHost.h"

StickyStore& StickyStore::shared()
{
    // Never destroyed: windows and views may still call in while the
    // application object goes away.
    static StickyStore* store = new StickyStore;
    return *store;
}

StickyStore::StickyStore(QObject* parent) : QObject(parent)
{
    if (std::optional<QList<StickyNote>> list = Store::loadList<StickyNote>(fileName()))
        m_notes = std::move(*list);
    if (const int repaired = repairRepeatedIds(m_notes)) {
        const QString copy = Store::keepCopyOf(Store::path(fileName()));
        StoreEvents::shared().reportProblem(
            {StoreEvents::Problem::Kind::keptAside, StoreEvents::ownerOf(fileName()), Store::path(fileName()),
             repaired == 1 ? QStringLiteral("one note repeated the id of another; it was dropped if it was an "
                                            "exact copy, else given an id of its own")
                           : QStringLiteral("%1 notes repeated the id of another; exact copies were dropped, the "
                                            "others given ids of their own")
                                 .arg(repaired),
             copy});
        // Only with the file kept aside may the repaired list replace it.
        if (!copy.isEmpty())
            saveNow();
    }
}

int StickyStore::repairRepeatedIds(QList<StickyNote>& notes)
{
    // Every record as the file had it, by the id it came with.
    QMultiHash<QUuid, StickyNote> read;
    QSet<QUuid> taken;
    int repaired = 0;
    for (qsizetype i = 0; i < notes.size();) {
        const StickyNote note = notes.at(i);
        if (!taken.contains(note.id)) {
            taken.insert(note.id);
            read.insert(note.id, note);
            ++i;
            continue;
        }
        ++repaired;
        if (read.values(note.id).contains(note)) {
            notes.removeAt(i);
            continue;
        }
        read.insert(note.id, note);
        QUuid fresh;
        do
            fresh = QUuid::createUuid();
        while (taken.contains(fresh));
        notes[i].id = fresh;
        taken.insert(fresh);
        ++i;
    }
    return repaired;
}

StickyStore::~StickyStore() = default;

std::optional<qsizetype> StickyStore::index(const QUuid& id) const
{
    for (qsizetype i = 0; i < m_notes.size(); ++i) {
        if (m_notes.at(i).id == id)
            return i;
    }
    return std::nullopt;
}

std::optional<StickyNote> StickyStore::note(const QUuid& id) const
{
    const std::optional<qsizetype> i = index(id);
    if (!i)
        return std::nullopt;
    return m_notes.at(*i);
}

void StickyStore::save()
{
    m_unsaved = true;
    m_saver.call([this] { saveNow(); });
}

bool StickyStore::saveIfChanged()
{
    if (!m_unsaved && !m_saver.isPending())
        return true;
    return saveNow();
}

bool StickyStore::saveNow()
{
    // Anything pending is superseded by this write: replace it by nothing
    // and run that.
    m_saver.call(nullptr);
    m_saver.flush();
    const bool written = Store::save(Json::fromList(m_notes), fileName());
    m_unsaved = !written;
    if (written)
        ++m_writes;
    return written;
}

void StickyStore::changed(const QUuid& id)
{
    Q_EMIT noteChanged(id);
    Q_EMIT notesChanged();
}

void StickyStore::restoreWindows()
{
    const QList<StickyNote> snapshot = m_notes;
    for (const StickyNote& n : snapshot) {
        if (n.visible)
            show(n.id);
    }
}

void StickyStore::show(const QUuid& id)
{
    const std::optional<qsizetype> i = index(id);
    if (!i)
        return;
    StickyNote& n = m_notes[*i];
    const bool wasVisible = n.visible;
    n.visible = true;
    const StickyNote note = n;
    if (!wasVisible)
        changed(id);
    if (m_host) {
        if (m_host->hasWindow(id))
            m_host->orderFront(id);
        else
            m_host->makeWindow(id, StickyFrame::placement(note.frame, m_host->screens()),
                               StickyPalette::shownIndex(note.colorIndex), note.onTop);
    }
    save();
}

QUuid StickyStore::newNote(qint64 color, const QString& text)
{
    StickyNote n = StickyNote::make(color, text);
    if (m_host) {
        const StickyScreens screens = m_host->screens();
        if (screens.isKnown()) {
            const QRectF visible = StickyFrame::fromScreen(screens.mainVisible, screens.primary);
            n.frame = StickyFrame::toText(StickyFrame::cascade(visible, m_notes.size()));
        }
    }
    m_notes.append(n);
    Q_EMIT notesChanged();
    saveNow();
    show(n.id);
    return n.id;
}

void StickyStore::hide(const QUuid& id)
{
    const std::optional<qsizetype> i = index(id);
    if (!i)
        return;
    m_notes[*i].visible = false;
    if (m_host && m_host->hasWindow(id))
        m_host->orderOut(id);
    changed(id);
    save();
}

void StickyStore::deleteNote(const QUuid& id)
{
    if (m_host && m_host->hasWindow(id))
        m_host->removeWindow(id);
    const qsizetype removed = m_notes.removeIf([&id](const StickyNote& n) { return n.id == id; });
    if (removed > 0)
        Q_EMIT notesChanged();
    saveNow();
}

void StickyStore::setColor(const QUuid& id, qint64 color)
{
    const std::optional<qsizetype> i = index(id);
    if (!i)
        return;
    m_notes[*i].colorIndex = color;
    if (m_host && m_host->hasWindow(id))
        m_host->setColor(id, StickyPalette::shownIndex(color));
    changed(id);
    save();
}

void StickyStore::setOnTop(const QUuid& id, bool onTop)
{
    const std::optional<qsizetype> i = index(id);
    if (!i)
        return;
    m_notes[*i].onTop = onTop;
    if (m_host && m_host->hasWindow(id))
        m_host->setOnTop(id, onTop);
    changed(id);
    save();
}

void StickyStore::setText(const QUuid& id, const QString& text)
{
    const std::optional<qsizetype> i = index(id);
    if (!i || m_notes.at(*i).text == text)
        return;
    StickyNote& n = m_notes[*i];
    n.text = text;
    n.modified = StickyNote::now();
    changed(id);
    save();
}

void StickyStore::frameChanged(const QUuid& id, const QRectF& frame)
{
    const std::optional<qsizetype> i = index(id);
    if (!i)
        return;
    m_notes[*i].frame = StickyFrame::toText(frame);
    changed(id);
    save();
}
