#include "ui/AppLook.h"

#include "ui/Chrome.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QStyleFactory>

namespace AppLook {

QPalette lightPalette()
{
    const QColor window = Chrome::windowColor();
    const QColor text = Qt::black;
    const QColor disabledText(0, 0, 0, 110);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(244, 243, 240));
    p.setColor(QPalette::ToolTipBase, QColor(255, 255, 240));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0, 0, 0, 64));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(240, 239, 236));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, Qt::white);
    p.setColor(QPalette::Midlight, QColor(227, 226, 222));
    p.setColor(QPalette::Mid, QColor(184, 183, 178));
    p.setColor(QPalette::Dark, QColor(140, 139, 135));
    p.setColor(QPalette::Shadow, QColor(70, 70, 70));
    p.setColor(QPalette::Highlight, QColor(0, 99, 225));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0, 104, 218));
    p.setColor(QPalette::LinkVisited, QColor(128, 60, 180));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabledText);
    p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(210, 210, 210));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
    return p;
}

void apply(QApplication& app)
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(fusion);
    app.setPalette(lightPalette());
    app.setFont(Fonts::system(13));
}

} // namespace AppLook
