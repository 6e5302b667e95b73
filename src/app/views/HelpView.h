#pragma once

#include <QSize>
#include <QString>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

// The Help window's content: the help page from the program's resources in a
// browser view. Web links open in the default browser and leave the page as
// it is; links to the page's own sections and to pages beside it open here.
class HelpView : public QWidget {
    Q_OBJECT
public:
    // Shows helpPage(), or the built-in page when there is none.
    explicit HelpView(QWidget* parent = nullptr);
    // Shows `page`; an empty URL shows the built-in page.
    explicit HelpView(const QUrl& page, QWidget* parent = nullptr);

    // How the window manager frames this view.
    static QString windowKey() { return QStringLiteral("help"); }
    static QString windowTitle() { return QStringLiteral("Help"); }
    static constexpr QSize windowSize{860, 760};
    static constexpr bool windowResizable = true;

    // The help page among the resources, or an empty URL when it is missing.
    static QUrl helpPage();
    // The page shown without a help resource.
    static QString builtInPage();

    // What happens to a link the user follows.
    enum class Route {
        inside,    // shown in the help view (local pages, anchors)
        browser,   // handed to the default browser (http and https)
        desktop,   // handed to the desktop's handler (mailto: and other schemes)
        ignored,   // never followed (script and data URLs)
    };
    static Route route(const QUrl& url);

    QTextBrowser* browser() const { return m_browser; }

    // Follows `link` (as written in the page) from the current page.
    void follow(const QUrl& link);

private:
    QTextBrowser* m_browser = nullptr;
};
