#pragma once

#include <QTimer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

// The find bar above the page: finds as the user types, marks every match,
// steps to the next or previous one (wrapping), and in its replace form
// replaces the current match or all of them (one undo step).
class WPFindBar : public QWidget {
    Q_OBJECT
public:
    explicit WPFindBar(QTextEdit* editor, QWidget* parent = nullptr);

    // Shows the bar, with the replace row when `replace`, and focuses the
    // search field with its text selected.
    void showFind(bool replace);
    void findNext();
    void findPrevious();
    // Takes the editor's selection as the text to find.
    void useSelection();
    void replaceOne();
    int replaceAll();
    void close();

    QLineEdit* searchField() const { return m_find; }
    QLineEdit* replaceField() const { return m_replace; }
    bool replaceShown() const;
    // The number of matches marked now.
    int matchCount() const { return m_matches; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void search();
    void mark();
    void step(bool backward);

    QTextEdit* m_editor;
    QLineEdit* m_find;
    QLineEdit* m_replace;
    QCheckBox* m_matchCase;
    QLabel* m_count;
    QWidget* m_replaceRow;
    int m_matches = 0;
    QTimer m_remark;
};
