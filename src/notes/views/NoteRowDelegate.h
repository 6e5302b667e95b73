#pragma once

#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QStyledItemDelegate>
#include <memory>

class ChromeButton;
class NoteRowBoxes;
class NoteRowTexts;
class QToolButton;
class RecorderListModel;
class RecorderModel;
struct VoiceNote;

// Draws the recorder's rows as the note row widget looks, without a widget
// per note: play button, title, "Audio file missing", duration, the "…"
// button, the playback progress, the transcription spinner and the
// transcript box. The play and "…" buttons of a drawn row work; a click
// anywhere else selects the row, which then opens as a NoteRow for editing
// in place.
class NoteRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Where the parts of one row go.
    struct Layout {
        QRect play, title, missing, duration, menu, progress, spinner, editor;
    };

    explicit NoteRowDelegate(RecorderListModel* list, QObject* parent = nullptr);
    ~NoteRowDelegate() override;

    // The height of a row for its note and state; the same as the NoteRow
    // widget's own.
    int rowHeight(const VoiceNote& note, bool expanded) const;
    Layout layout(const QRect& rect, const VoiceNote& note, bool expanded) const;
    // The row that is open for editing (shown tall).
    void setExpandedRow(int row) { m_expandedRow = row; }
    // The step of the spinners drawn (0...11).
    void setSpinnerStep(int step) { m_spinnerStep = step; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    // The help text of the drawn part at `pos` (viewport coordinates), as
    // the row widget's own: "Play", "Stop", "More".
    QString toolTipAt(const QRect& rect, const VoiceNote& note, const QPoint& pos) const;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    RecorderModel* recorder() const;
    // A picture of the play (0), stop (1) or "…" (2) button.
    QPixmap stamp(int kind) const;
    // Measures a row, once: when first needed.
    void measure() const;
    int heightWith(int lineHeight, const VoiceNote& note, bool expanded) const;
    // Measures a row and pictures its buttons, once, outside any painting:
    // at the turn of the event loop after the list first has rows.
    void prepare() const;
    void makeStamps() const;
    // The rows a shown list shows first, drawn into a picture nobody sees:
    // the first frame then finds their texts laid out, their faces loaded
    // and their glyphs rendered.
    void drawAhead() const;

    RecorderListModel* m_list;
    int m_expandedRow = -1;
    int m_spinnerStep = 0;
    // Measured once from a row widget, so drawn rows and the open row agree.
    mutable bool m_measured = false;
    mutable bool m_guessed = false; // rows were sized before the measuring
    mutable bool m_drawingAhead = false;
    mutable bool m_stampsAsked = false; // by a painting before they were made
    mutable int m_lineHeight = 0;
    mutable int m_playWidth = 0;
    mutable int m_menuWidth = 0;
    int m_spacing = 6;
    // Stamps: the real buttons, drawn in place for every row.
    mutable std::unique_ptr<ChromeButton> m_playStamp;
    mutable std::unique_ptr<QToolButton> m_menuStamp;
    mutable QPixmap m_stamps[3];
    // The rows' texts, laid out as first drawn.
    std::unique_ptr<NoteRowTexts> m_texts;
    std::unique_ptr<NoteRowBoxes> m_boxes; // the transcript boxes, pictured
};
