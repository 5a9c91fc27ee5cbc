#include "roster/name_in.h"

#include "roster/history_file.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace dexlan {

namespace {

struct LabelText {
    int element;
    const char* text;
};

constexpr LabelText kLabels[] = {
    {0, "To add a name or names to the user list, type the name and press Enter.  You may add "
        "as many names as you like."},
    {1, "When you have finished, press OK."},
};

} // namespace

NameIn::NameIn(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NameIn"));
    setWindowTitle(QStringLiteral("Add a name..."));

    for (const LabelText& label : kLabels) {
        auto* widget = new QLabel(QString::fromLatin1(label.text), this);
        // One name for the pair, told apart by element, as the window's
        // other control arrays are.
        widget->setObjectName(QStringLiteral("Label1"));
        widget->setProperty("element", label.element);
        widget->setWordWrap(true);
        m_label1[label.element] = widget;
    }

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setMaxLength(kMaxNameLength);
    m_text1->setAccessibleName(QStringLiteral("Name to add"));
    m_text1->setAccessibleDescription(m_label1[0]->text());
    m_label1[0]->setBuddy(m_text1);

    m_command1 = new QPushButton(QStringLiteral("OK"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setDefault(true);
    m_command1->setAccessibleDescription(
        QStringLiteral("Adds the typed name; with an empty box, closes the window"));
    connect(m_command1, &QPushButton::clicked, this, &NameIn::okPressed);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label1[0]);
    layout->addWidget(m_text1);
    layout->addWidget(m_label1[1]);
    layout->addLayout(buttons);
    setFixedWidth(360);
}

void NameIn::keyPressEvent(QKeyEvent* event) {
    // OK is also the cancel button: Esc adds the typed name just as OK does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_command1->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void NameIn::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_text1->setFocus();
}

} // namespace dexlan
