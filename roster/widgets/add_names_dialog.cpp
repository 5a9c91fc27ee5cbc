// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/widgets/add_names_dialog.h"

#include "roster/core/bulk_add.h"
#include "roster/core/history_file.h"
#include "roster/core/name_rules.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace dexlan {

namespace {

struct LabelText {
    int element;
    const char* text;
};

constexpr LabelText kLabels[] = {
    {0, QT_TRANSLATE_NOOP("dexlan::AddNamesDialog",
                          "To add a name or names to the user list, type the name and press "
                          "Enter.  You may add as many names as you like.")},
    {1, QT_TRANSLATE_NOOP("dexlan::AddNamesDialog", "When you have finished, press OK.")},
};

} // namespace

AddNamesDialog::AddNamesDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NameIn"));
    setWindowTitle(tr("Add a name..."));

    for (const LabelText& label : kLabels) {
        auto* widget = new QLabel(tr(label.text), this);
        // One name for the pair, told apart by element, as the window's
        // other control arrays are.
        widget->setObjectName(QStringLiteral("Label1"));
        widget->setProperty("element", label.element);
        widget->setWordWrap(true);
        m_labels[label.element] = widget;
    }

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("Text1"));
    m_nameEdit->setMaxLength(kMaxNameLength);
    m_nameEdit->setAccessibleName(tr("Name to add"));
    m_nameEdit->setAccessibleDescription(m_labels[0]->text());
    m_labels[0]->setBuddy(m_nameEdit);
    m_nameEdit->installEventFilter(this);
    m_nameEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_nameEdit, &QLineEdit::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = m_nameEdit->createStandardContextMenu();
        if (auto* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
            disconnect(paste, &QAction::triggered, nullptr, nullptr);
            connect(paste, &QAction::triggered, this, &AddNamesDialog::pasteNames);
        }
        menu->exec(m_nameEdit->mapToGlobal(at));
        delete menu;
    });

    m_okButton = new QPushButton(tr("OK"), this);
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_okButton->setDefault(true);
    m_okButton->setAccessibleDescription(
        tr("Adds the typed name; with an empty box, closes the window"));
    connect(m_okButton, &QPushButton::clicked, this, &AddNamesDialog::okPressed);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_labels[0]);
    layout->addWidget(m_nameEdit);
    layout->addWidget(m_labels[1]);
    layout->addLayout(buttons);
    setFixedWidth(360);
}

void AddNamesDialog::keyPressEvent(QKeyEvent* event) {
    // OK is also the cancel button: Esc adds the typed name just as OK does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_okButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool AddNamesDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_nameEdit && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
        pasteNames();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AddNamesDialog::pasteNames() {
    const QStringList names =
        namesFromClassList(QGuiApplication::clipboard()->text(), /*firstColumnOnly=*/false);
    // A name longer than the box holds is not cut to fit, as the box itself
    // would: it goes the class list's way and is refused with its reason.
    if (names.size() > 1 ||
        (names.size() == 1 && cleanedName(names.front()).size() > kMaxNameLength)) {
        emit severalNamesPasted(names);
        return;
    }
    // One line: into the box as typed, without its line break.
    if (!names.isEmpty())
        m_nameEdit->insert(names.front());
}

void AddNamesDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_nameEdit->setFocus();
}

} // namespace dexlan
