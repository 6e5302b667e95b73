#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

// The About window's content: the program's icon, name, maker, web site,
// version and the list of its tools.
class AboutView : public QWidget {
    Q_OBJECT
public:
    explicit AboutView(QWidget* parent = nullptr);

    // How the window manager frames this view.
    static QString windowKey() { return QStringLiteral("about"); }
    static QString windowTitle() { return QStringLiteral("About"); }
    static constexpr QSize windowSize{460, 470};
    static constexpr bool windowResizable = false;

    // "Calculator · Scientific Calculator · … · Bingo".
    static QString toolList();
    // The text of the web-site link.
    static QString linkText();

protected:
    void paintEvent(QPaintEvent* event) override;
};
