#include "platform/qt_dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace dexlan {

namespace {

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int answer;
};

QList<ButtonSpec> buttonsOf(MsgButtons set) {
    switch (set) {
    case MsgButtons::Ok:
        return {{QMessageBox::Ok, AnswerOk}};
    case MsgButtons::OkCancel:
        return {{QMessageBox::Ok, AnswerOk}, {QMessageBox::Cancel, AnswerCancel}};
    case MsgButtons::YesNo:
        return {{QMessageBox::Yes, AnswerYes}, {QMessageBox::No, AnswerNo}};
    case MsgButtons::RetryCancel:
        return {{QMessageBox::Retry, AnswerRetry}, {QMessageBox::Cancel, AnswerCancel}};
    }
    return {};
}

QMessageBox::Icon iconOf(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The program states its filter as "Description|pattern"; Qt reads the pattern
// from the parentheses of the description instead.
QString qtNameFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return filter;
    QString description = parts.at(0);
    const qsizetype open = description.indexOf(QLatin1Char('('));
    if (open > 0)
        description = description.left(open).trimmed();
    return description + QLatin1String(" (") + parts.at(1) + QLatin1Char(')');
}

} // namespace

int QtDialogs::msgBox(const MsgBoxRequest& request) {
    QMessageBox box(iconOf(request.icon), request.title, request.prompt, QMessageBox::NoButton,
                    m_parent);
    // Message prompts are composed with CR LF; a QLabel breaks on LF alone.
    box.setText(QString(request.prompt).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    box.setTextFormat(Qt::PlainText);
    const QList<ButtonSpec> buttons = buttonsOf(request.buttons);
    int escapeAnswer = buttons.size() == 1 ? buttons.front().answer : AnswerCancel;
    if (request.buttons == MsgButtons::YesNo)
        escapeAnswer = AnswerNo;
    for (const ButtonSpec& choice : buttons) {
        QPushButton* button = box.addButton(choice.button);
        if (choice.answer == request.defaultButton)
            box.setDefaultButton(button);
        if (choice.answer == escapeAnswer)
            box.setEscapeButton(button);
    }
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonSpec& choice : buttons) {
        if (choice.button == clicked)
            return choice.answer;
    }
    return escapeAnswer;
}

QString QtDialogs::openFile(const FileOpenRequest& request) {
    QFileDialog dialog(m_parent, request.title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(qtNameFilter(request.filter));
    if (request.defaultExtension.startsWith(QLatin1Char('.')))
        dialog.setDefaultSuffix(request.defaultExtension.mid(1));
    if (!request.folder.isEmpty())
        dialog.setDirectory(request.folder);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void QtDialogs::showModal(QDialog& window) {
    window.exec();
}

} // namespace dexlan
