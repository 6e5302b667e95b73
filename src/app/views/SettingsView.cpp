#include "app/views/SettingsView.h"

#include "ui/StyledLabel.h"

#include "core/AppSettings.h"
#include "core/SettingsStore.h"
#include "core/Store.h"
#include "core/Spelling.h"
#include "ui/FileReveal.h"
#include "ui/AppLook.h"
#include "ui/Chrome.h"
#include "ui/ChromeButton.h"
#include "ui/ChromePanel.h"
#include "ui/Fonts.h"
#include "ui/VEXOBadge.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtMath>

namespace {

// The secondary text colour of the light look.
QColor secondaryColor()
{
    return QColor(0, 0, 0, 128);
}

QLabel* noteLabel(const QString& text, QWidget* parent, bool secondary)
{
    QLabel* label = styledLabel(text, Fonts::style(Fonts::TextStyle::Caption),
                                secondary ? secondaryColor() : QColor(), parent);
    label->setWordWrap(true);
    return label;
}

ChromePanel* makePanel(const QString& title, QWidget* parent)
{
    auto* panel = new ChromePanel(parent);
    panel->setTitle(title);
    return panel;
}

// A switch whose label wraps when the window is narrow; a click on the
// label flips it too.
class ToggleRow : public QWidget {
public:
    ToggleRow(const QString& text, QWidget* parent) : QWidget(parent)
    {
        m_box = new QCheckBox(this);
        m_box->setAccessibleName(text);
        m_label = new QLabel(text, this);
        m_label->setTextFormat(Qt::PlainText);
        m_label->setWordWrap(true);
        m_label->setBuddy(m_box);
        m_label->installEventFilter(this);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(6);
        layout->addWidget(m_box, 0, Qt::AlignTop);
        layout->addWidget(m_label, 1);
    }
    QCheckBox* box() const { return m_box; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_label && event->type() == QEvent::MouseButtonRelease && m_box->isEnabled()
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_box->click();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    QCheckBox* m_box;
    QLabel* m_label;
};

// A read-only, selectable text that wraps anywhere, so a long path without
// blanks never widens the window; its height follows its text.
class PathText : public QTextEdit {
public:
    explicit PathText(const QString& text, QWidget* parent) : QTextEdit(parent)
    {
        setReadOnly(true);
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        setFrameShape(QFrame::NoFrame);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        viewport()->setAutoFillBackground(false);
        setAutoFillBackground(false);
        setStyleSheet(QStringLiteral("QTextEdit { background: transparent; }"));
        document()->setDocumentMargin(0);
        setFont(Fonts::system(11, QFont::Normal, Fonts::Design::Monospaced));
        setPlainText(text);
        connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                [this](const QSizeF& size) { setFixedHeight(qCeil(size.height())); });
        setFixedHeight(qCeil(document()->size().height()));
    }
};

} // namespace

SettingsView::SettingsView(QWidget* parent) : QWidget(parent), m_settings(AppSettings::shared())
{
    setPalette(AppLook::lightPalette());
    build();
    refresh();
    for (auto signal : {&AppSettings::showMenuAtLaunchChanged, &AppSettings::alwaysOnTopChanged,
                        &AppSettings::verticalChanged, &AppSettings::largeButtonsChanged,
                        &AppSettings::showLabelsChanged, &AppSettings::launchAtLoginChanged})
        connect(&m_settings, signal, this, &SettingsView::refresh);
    connect(&m_settings, &AppSettings::loginItemMessageChanged, this, &SettingsView::refresh);
}

void SettingsView::build()
{
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->viewport()->setAutoFillBackground(false);
    scroll->setAutoFillBackground(false);

    auto* column = new QWidget(scroll);
    column->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(18, 18, 18, 18);
    layout->setSpacing(14);

    // Header.
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(QStringLiteral("Settings"), column);
    title->setFont(Fonts::system(20, QFont::ExtraBold, Fonts::Design::Rounded));
    header->addWidget(title);
    header->addStretch(1);
    header->addWidget(new VEXOBadge(false, column), 0, Qt::AlignVCenter);
    layout->addLayout(header);

    auto toggle = [this](ChromePanel* panel, const QString& name, const QString& label, void (AppSettings::*set)(bool)) {
        auto* row = new ToggleRow(label, panel);
        QCheckBox* box = row->box();
        box->setObjectName(name);
        panel->contentLayout()->addWidget(row);
        if (set)
            connect(box, &QCheckBox::toggled, this, [settings = &m_settings, set](bool on) { (settings->*set)(on); });
        return box;
    };

    // Floating menu.
    auto* menu = makePanel(QStringLiteral("Floating menu"), column);
    m_showMenuAtLaunch = toggle(menu, QStringLiteral("showMenuAtLaunch"),
                                QStringLiteral("Show the floating menu when Brindleworks opens"),
                                &AppSettings::setShowMenuAtLaunch);
    m_alwaysOnTop = toggle(menu, QStringLiteral("alwaysOnTop"),
                           QStringLiteral("Keep the floating menu on top of other windows"),
                           &AppSettings::setAlwaysOnTop);
    m_vertical = toggle(menu, QStringLiteral("vertical"), QStringLiteral("Vertical layout"), &AppSettings::setVertical);
    m_largeButtons = toggle(menu, QStringLiteral("largeButtons"), QStringLiteral("Large buttons"),
                            &AppSettings::setLargeButtons);
    m_showLabels = toggle(menu, QStringLiteral("showLabels"), QStringLiteral("Show tool names under the buttons"),
                          &AppSettings::setShowLabels);
    layout->addWidget(menu);

    // Startup.
    auto* startup = makePanel(QStringLiteral("Startup"), column);
    m_launchAtLogin = toggle(startup, QStringLiteral("launchAtLogin"), QStringLiteral("Open Brindleworks when I log in"),
                             &AppSettings::setLaunchAtLogin);
    m_loginMessage = noteLabel(QString(), startup, true);
    m_loginMessage->setObjectName(QStringLiteral("loginItemMessage"));
    startup->contentLayout()->addWidget(m_loginMessage);
    layout->addWidget(startup);

    // Word processor.
    auto* words = makePanel(QStringLiteral("Word Processor"), column);
    m_autocorrect = toggle(words, QStringLiteral("wpAutocorrect"), QStringLiteral("Autocorrect spelling while typing"),
                           nullptr);
    connect(m_autocorrect, &QCheckBox::toggled, this, [](bool on) {
        SettingsStore::settings().setValue(Spelling::autocorrectKey, on);
        SettingsStore::settings().sync();
        WPAutocorrect::applyToAll();
    });
    words->contentLayout()->addWidget(
        noteLabel(QStringLiteral("Spelling and grammar are always checked as you type (red and green underlines)."),
                  words, true));
    layout->addWidget(words);

    // Your data.
    auto* data = makePanel(QStringLiteral("Your data"), column);
    data->contentLayout()->addWidget(noteLabel(QStringLiteral("Everything is saved on this computer in:"), data, false));
    auto* path = new PathText(QDir::toNativeSeparators(Store::folder()), data);
    path->setObjectName(QStringLiteral("dataFolder"));
    data->contentLayout()->addWidget(path);
    auto* reveal = new ChromeButton(QStringLiteral("Show in Files"), false, true, data);
    reveal->setObjectName(QStringLiteral("showInFiles"));
    connect(reveal, &QPushButton::clicked, this, [] { FileReveal::reveal(Store::folder()); });
    data->contentLayout()->addWidget(reveal, 0, Qt::AlignLeft);
    layout->addWidget(data);

    layout->addStretch(1);
    scroll->setWidget(column);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
}

void SettingsView::refresh()
{
    const auto set = [](QCheckBox* box, bool on) {
        const QSignalBlocker block(box);
        box->setChecked(on);
    };
    set(m_showMenuAtLaunch, m_settings.showMenuAtLaunch());
    set(m_alwaysOnTop, m_settings.alwaysOnTop());
    set(m_vertical, m_settings.vertical());
    set(m_largeButtons, m_settings.largeButtons());
    set(m_showLabels, m_settings.showLabels());
    set(m_launchAtLogin, m_settings.launchAtLogin());
    set(m_autocorrect, Spelling::autocorrectInWordProcessor());
    const QString message = m_settings.loginItemMessage();
    m_loginMessage->setText(message);
    m_loginMessage->setVisible(!message.isEmpty());
}

void SettingsView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Chrome::windowBackground(QRectF(rect())));
}

void SettingsView::showEvent(QShowEvent* event)
{
    refresh();
    QWidget::showEvent(event);
}
