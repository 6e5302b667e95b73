#pragma once

#include "notes/VoiceNote.h"

#include <QPointer>
#include <QWidget>

class ChromeButton;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;
class RecorderModel;
class RecorderSpinner;
class SpellLineEdit;
class SpellTextView;

// One voice note in the recorder's list: play/stop, the title field, the
// duration and the "…" menu; the playback progress while it plays, a
// spinner while it is transcribed, and the transcript editor (tall while
// the row is selected, short while it only has a transcript to show).
class NoteRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kExpandedEditor = 110;
    static constexpr int kCollapsedEditor = 44;

    NoteRow(RecorderModel* model, const VoiceNote& note, bool expanded, QWidget* parent = nullptr);

    // What the list's drawn rows take from a row: the height of its first
    // line and the widths of its play and "…" buttons. Found from that line's
    // widgets alone: no spelling checker starts, no transcript editor is
    // built.
    struct Measures {
        int lineHeight = 0;
        int playWidth = 0;
        int menuWidth = 0;
    };
    static Measures measures();

    const VoiceNote& note() const { return m_note; }
    // A newer version of the same note (the model changed it).
    void setNote(const VoiceNote& note);
    bool isExpanded() const { return m_expanded; }
    void setExpanded(bool expanded);
    void setAlternate(bool alternate);
    void setSelected(bool selected);

    // The "…" menu as it would open now.
    QMenu* menu();
    QStringList menuItems();

    ChromeButton* playButton() const { return m_play; }
    SpellLineEdit* titleField() const { return m_title; }
    QLabel* durationLabel() const { return m_duration; }
    QLabel* missingLabel() const { return m_missing; }
    QToolButton* menuButton() const { return m_menuButton; }
    QProgressBar* progressBar() const { return m_progress; }
    QWidget* spinner() const;
    SpellTextView* transcriptEditor() const { return m_transcript; }
    QLabel* transcriptPlaceholder() const { return m_placeholder; }

    // Actions of the menu without the menu (tests, keyboard).
    void revealFile();
    void copyTranscript();

Q_SIGNALS:
    // The user clicked into the row.
    void activated(const QUuid& id);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void fillMenu();

    QPointer<RecorderModel> m_model;
    VoiceNote m_note;
    bool m_expanded = false;
    bool m_alternate = false;
    bool m_selected = false;
    ChromeButton* m_play = nullptr;
    SpellLineEdit* m_title = nullptr;
    QLabel* m_duration = nullptr;
    QLabel* m_missing = nullptr;
    QToolButton* m_menuButton = nullptr;
    QMenu* m_menu = nullptr;
    QProgressBar* m_progress = nullptr;
    RecorderSpinner* m_spinner = nullptr;
    QWidget* m_editorBox = nullptr;
    SpellTextView* m_transcript = nullptr;
    QLabel* m_placeholder = nullptr;
};
