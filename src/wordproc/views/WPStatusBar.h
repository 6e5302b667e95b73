#pragma once

#include <QWidget>

class QLabel;
class WPState;

// The one-line bar under the page: word, character and page counts, the
// note that spelling and grammar are checked as you type, and the product
// line. It follows the window's WPState and has no controls.
class WPStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit WPStatusBar(WPState* state, QWidget* parent = nullptr);

    // The three count texts for the given numbers (pages < 0: not known yet).
    static QString wordsText(int words);
    static QString charactersText(int characters);
    static QString pagesText(int pages);

    QString text() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    WPState* m_state;
    QLabel* m_words;
    QLabel* m_characters;
    QLabel* m_pages;
};
