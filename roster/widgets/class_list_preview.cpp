// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/widgets/class_list_preview.h"

#include "platform/system_code_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace dexlan {

namespace {

constexpr ClassListSeparator kSeparators[] = {ClassListSeparator::Comma,
                                              ClassListSeparator::Semicolon,
                                              ClassListSeparator::Tab, ClassListSeparator::None};

int columnCount(const ClassListTable& table) {
    int columns = 1;
    for (const QStringList& row : table.rows)
        columns = std::max(columns, int(row.size()));
    return columns;
}

// A cell as one line of the table: a line break inside quotes shown as a mark.
QString shownCell(const QString& cell) {
    QString shown = cell;
    shown.replace(QLatin1String("\r\n"), QString(QChar(0x21B5)));
    shown.replace(QLatin1Char('\n'), QChar(0x21B5));
    shown.replace(QLatin1Char('\r'), QChar(0x21B5));
    return shown;
}

} // namespace

ClassListPreview::ClassListPreview(const QByteArray& bytes, const QString& shownName,
                                   ClassListSource source, const CodePage& codePage,
                                   const QStringList& namesOnList, QWidget* parent)
    : QDialog(parent), m_bytes(bytes), m_shownName(shownName), m_source(source),
      m_codePage(codePage), m_namesOnList(namesOnList) {
    setObjectName(QStringLiteral("ImportPreview"));
    setWindowTitle(tr("Add names from a file"));

    auto* intro = new QLabel(tr("The first rows of %1:").arg(shownName), this);
    intro->setWordWrap(true);
    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("PreviewTable"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAccessibleName(tr("The file's first rows"));
    intro->setBuddy(m_table);

    m_separator = new QComboBox(this);
    m_separator->setObjectName(QStringLiteral("SeparatorChoice"));
    for (ClassListSeparator separator : kSeparators)
        m_separator->addItem(separatorText(separator), int(separator));
    m_header = new QCheckBox(tr("First row is a header"), this);
    m_header->setObjectName(QStringLiteral("HeaderChoice"));
    m_firstColumn = new QComboBox(this);
    m_firstColumn->setObjectName(QStringLiteral("FirstNameColumn"));
    m_secondColumn = new QComboBox(this);
    m_secondColumn->setObjectName(QStringLiteral("SecondNameColumn"));
    m_doubt = new QLabel(this);
    m_doubt->setObjectName(QStringLiteral("DoubtText"));
    m_doubt->setWordWrap(true);
    m_encoding = new QComboBox(this);
    m_encoding->setObjectName(QStringLiteral("EncodingChoice"));
    m_encoding->addItem(tr("UTF-8"), int(ClassListEncoding::Utf8));
    m_encoding->addItem(tr("The trainer's code page (%1)").arg(codePageName(codePage)),
                        int(ClassListEncoding::CodePage));
    m_doubt->setBuddy(m_encoding);

    m_names = new QPlainTextEdit(this);
    m_names->setObjectName(QStringLiteral("PreviewNames"));
    m_names->setReadOnly(true);
    m_names->setAccessibleName(tr("Names that will be added and refused"));
    m_addButton = new QPushButton(tr("Add..."), this);
    m_addButton->setObjectName(QStringLiteral("AddButton"));
    m_addButton->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(m_addButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(tr("Separator:"), m_separator);
    form->addRow(QString(), m_header);
    auto* columns = new QHBoxLayout;
    columns->addWidget(m_firstColumn);
    columns->addWidget(m_secondColumn);
    form->addRow(tr("Name from columns:"), columns);
    form->addRow(m_doubt);
    form->addRow(tr("Read the file as:"), m_encoding);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_addButton);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_table, 2);
    layout->addLayout(form);
    layout->addWidget(new QLabel(tr("What will be done:"), this));
    layout->addWidget(m_names, 1);
    layout->addLayout(buttons);
    resize(560, 520);

    connect(m_separator, &QComboBox::currentIndexChanged, this, [this] {
        if (m_showing)
            return;
        m_choices.separator = ClassListSeparator(m_separator->currentData().toInt());
        m_choices.header.reset(); // the first row split anew may be titles or not
        m_choices.nameColumns.clear();
        read();
    });
    connect(m_header, &QCheckBox::toggled, this, [this](bool on) {
        if (m_showing)
            return;
        m_choices.header = on; // the columns chosen stay: their numbers are the same
        read();
    });
    connect(m_firstColumn, &QComboBox::currentIndexChanged, this, [this] { chooseColumns(); });
    connect(m_secondColumn, &QComboBox::currentIndexChanged, this, [this] { chooseColumns(); });
    connect(m_encoding, &QComboBox::currentIndexChanged, this, [this] {
        if (m_showing)
            return;
        m_choices.encoding = ClassListEncoding(m_encoding->currentData().toInt());
        read();
    });

    read();
    // A file in doubt is shown as UTF-8, which most of it is, with the lines
    // in doubt named and the choice beside them.
    if (!m_list.linesInDoubt.empty()) {
        QStringList lines;
        for (qsizetype line : m_list.linesInDoubt)
            lines.append(QString::number(line));
        m_doubt->setText(tr("Not valid UTF-8, though the file's other letters are: line %1. "
                            "Check the names and choose how to read the file.")
                             .arg(lines.join(QLatin1String(", "))));
        m_choices.encoding = ClassListEncoding::Utf8;
        read();
    }
    m_doubt->setVisible(!m_doubt->text().isEmpty());
    m_encoding->setVisible(!m_doubt->text().isEmpty());
    if (auto* label = form->labelForField(m_encoding))
        label->setVisible(m_encoding->isVisibleTo(this));
}

void ClassListPreview::chooseColumns() {
    if (m_showing)
        return;
    m_choices.nameColumns = {QString::number(m_firstColumn->currentIndex() + 1)};
    if (m_secondColumn->currentIndex() > 0)
        m_choices.nameColumns.append(QString::number(m_secondColumn->currentIndex()));
    read();
}

void ClassListPreview::read() {
    m_list = classListFromBytes(m_bytes, m_shownName, m_choices, m_source, m_codePage);
    showList();
}

void ClassListPreview::showList() {
    m_showing = true;
    const ClassListTable& table = m_list.table;
    const int columns = columnCount(table);
    const size_t firstData = table.header && !table.rows.empty() ? 1 : 0;
    const int shown = int(std::min<size_t>(table.rows.size() - firstData, kRowsShown));
    m_table->clear();
    m_table->setColumnCount(columns);
    m_table->setRowCount(std::max(shown, 0));
    QStringList titles;
    for (int c = 0; c < columns; ++c) {
        const QString title = firstData ? table.rows.front().value(c) : QString();
        titles.append(title.isEmpty() ? QString::number(c + 1)
                                      : QStringLiteral("%1: %2").arg(c + 1).arg(shownCell(title)));
    }
    m_table->setHorizontalHeaderLabels(titles);
    for (int r = 0; r < shown; ++r) {
        const QStringList& row = table.rows[firstData + size_t(r)];
        for (int c = 0; c < row.size(); ++c)
            m_table->setItem(r, c, new QTableWidgetItem(shownCell(row[c])));
    }

    m_separator->setCurrentIndex(
        int(std::find(std::begin(kSeparators), std::end(kSeparators), table.separator) -
            std::begin(kSeparators)));
    m_header->setChecked(table.header);
    m_firstColumn->clear();
    m_secondColumn->clear();
    m_secondColumn->addItem(tr("(no second column)"));
    for (const QString& title : titles) {
        m_firstColumn->addItem(title);
        m_secondColumn->addItem(title);
    }
    if (!table.nameColumns.empty())
        m_firstColumn->setCurrentIndex(std::min(table.nameColumns[0], columns - 1));
    m_secondColumn->setCurrentIndex(
        table.nameColumns.size() > 1 ? std::min(table.nameColumns[1], columns - 1) + 1 : 0);

    if (m_list.refusal && m_list.linesInDoubt.empty()) {
        m_names->setPlainText(m_list.refusal->prompt);
        m_addButton->setEnabled(false);
    } else if (m_list.refusal) {
        m_names->clear();
        m_addButton->setEnabled(false);
    } else {
        const BulkAddPlan plan = planBulkAdd(m_list.names, m_namesOnList, m_codePage);
        QString text = plannedNamesText(plan.toAdd);
        if (!plan.refused.empty())
            text += QLatin1Char('\n') + refusedNamesText(plan.refused);
        m_names->setPlainText(text);
        m_addButton->setEnabled(!plan.toAdd.empty());
    }
    m_showing = false;
}

namespace {

class DropFilter : public QObject {
  public:
    DropFilter(QWidget* widget, std::function<void(const QString&)> opened)
        : QObject(widget), m_opened(std::move(opened)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!localFile(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = localFile(drop->mimeData());
            if (!path.isEmpty()) {
                drop->acceptProposedAction();
                m_opened(path);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    // One local file: a class list is one file at a time.
    static QString localFile(const QMimeData* data) {
        if (!data || !data->hasUrls() || data->urls().size() != 1)
            return {};
        const QUrl url = data->urls().front();
        // In the system's own spelling, as a file dialog gives it and the
        // messages show it ("C:\\...", not "C:/...").
        return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : QString();
    }

    std::function<void(const QString&)> m_opened;
};

} // namespace

void acceptClassListDrops(QWidget* widget, std::function<void(const QString&)> opened) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(new DropFilter(widget, std::move(opened)));
}

} // namespace dexlan
