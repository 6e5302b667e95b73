#include "wordproc/views/WPOptionsDialogs.h"

#include "ui/ChromeButton.h"
#include "wordproc/WPTableEdit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextCursor>
#include <QVBoxLayout>

WPTableOptionsDialog::WPTableOptionsDialog(bool inTable, bool borders, Run run, Insert insert, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("wpTableOptions"));
    setWindowTitle(QStringLiteral("Table Options"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 16, 18, 14);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    // What works on the table at the caret.
    QList<QWidget*> tableControls;
    auto add = [&](const QString& title, int row, int col, std::function<bool(QTextCursor&)> change) {
        auto* b = new ChromeButton(title, false, true, this);
        connect(b, &QPushButton::clicked, this, [run, change] { run(change); });
        grid->addWidget(b, row, col);
        tableControls.append(b);
        return b;
    };
    grid->addWidget(new QLabel(QStringLiteral("Rows"), this), 0, 0);
    add(QStringLiteral("Add Above"), 0, 1, [](QTextCursor& c) { return WPTableEdit::addRow(c, false); });
    add(QStringLiteral("Add Below"), 0, 2, [](QTextCursor& c) { return WPTableEdit::addRow(c, true); });
    add(QStringLiteral("Remove"), 0, 3, [](QTextCursor& c) { return WPTableEdit::removeRow(c); });
    grid->addWidget(new QLabel(QStringLiteral("Columns"), this), 1, 0);
    add(QStringLiteral("Add Left"), 1, 1, [](QTextCursor& c) { return WPTableEdit::addColumn(c, false); });
    add(QStringLiteral("Add Right"), 1, 2, [](QTextCursor& c) { return WPTableEdit::addColumn(c, true); });
    add(QStringLiteral("Remove"), 1, 3, [](QTextCursor& c) { return WPTableEdit::removeColumn(c); });
    grid->addWidget(new QLabel(QStringLiteral("Cell background"), this), 2, 0);
    auto* choose = new ChromeButton(QStringLiteral("Choose…"), false, true, this);
    connect(choose, &QPushButton::clicked, this, [this, run] {
        const QColor color = QColorDialog::getColor(Qt::white, this, QStringLiteral("Cell background"));
        if (color.isValid())
            run([color](QTextCursor& c) { return WPTableEdit::setCellBackground(c, color); });
    });
    grid->addWidget(choose, 2, 1);
    tableControls.append(choose);
    add(QStringLiteral("None"), 2, 2, [](QTextCursor& c) { return WPTableEdit::setCellBackground(c, std::nullopt); });
    auto* lines = new QCheckBox(QStringLiteral("Cell borders"), this);
    lines->setChecked(borders);
    connect(lines, &QCheckBox::toggled, this, [run](bool on) {
        run([on](QTextCursor& c) { return WPTableEdit::setBorders(c, on); });
    });
    grid->addWidget(lines, 3, 0, 1, 2);
    tableControls.append(lines);
    for (QWidget* w : std::as_const(tableControls))
        w->setEnabled(inTable);

    grid->addWidget(new QLabel(QStringLiteral("New table"), this), 4, 0);
    auto count = [this](const char* name, int most, const QString& one, const QString& many) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(1, most);
        connect(box, &QSpinBox::valueChanged, box, [box, one, many](int n) { box->setSuffix(n == 1 ? one : many); });
        box->setValue(3);
        return box;
    };
    auto* rows = count("newTableRows", 1000, QStringLiteral(" row"), QStringLiteral(" rows"));
    auto* cols = count("newTableColumns", 63, QStringLiteral(" column"), QStringLiteral(" columns"));
    auto* put = new ChromeButton(QStringLiteral("Insert"), false, true, this);
    put->setObjectName(QStringLiteral("newTableInsert"));
    const QList<QWidget*> newControls{rows, cols, put};
    for (QWidget* w : newControls)
        w->setEnabled(!inTable);
    connect(put, &QPushButton::clicked, this, [insert, rows, cols, lines, tableControls, newControls] {
        if (!insert(rows->value(), cols->value()))
            return;
        // The new table has its borders; the controls now work on it.
        const QSignalBlocker quiet(lines);
        lines->setChecked(true);
        for (QWidget* w : tableControls)
            w->setEnabled(true);
        for (QWidget* w : newControls)
            w->setEnabled(false);
    });
    grid->addWidget(rows, 4, 1);
    grid->addWidget(cols, 4, 2);
    grid->addWidget(put, 4, 3);
    auto* done = new QDialogButtonBox(this);
    done->addButton(QStringLiteral("Done"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(done, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(done, 5, 0, 1, 4);
}

WPListOptionsDialog::WPListOptionsDialog(WPText::ListKindValue current, QWidget* parent)
    : QDialog(parent)
    , m_chosen(current)
{
    setObjectName(QStringLiteral("wpListOptions"));
    setWindowTitle(QStringLiteral("List Options"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(18, 16, 18, 14);
    auto* group = new QButtonGroup(this);
    const std::pair<WPText::ListKindValue, QString> kinds[] = {
        {WPText::ListBullet, QStringLiteral("Bullets (\u2022)")},
        {WPText::ListNumber, QStringLiteral("Numbers (1. 2. 3.)")},
        {WPText::ListNone, QStringLiteral("No list")},
    };
    for (const auto& [kind, title] : kinds) {
        auto* radio = new QRadioButton(title, this);
        radio->setChecked(kind == current);
        group->addButton(radio, int(kind));
        column->addWidget(radio);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { m_chosen = WPText::ListKindValue(id); });
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}
