#include "platform/qt_dialogs.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <optional>

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

// A message box that only its buttons can close when it has no Cancel: a
// Yes/No question ignores Escape and has no working close button, as on the
// platform the trainer comes from.
class ProgramMessageBox final : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

    void requireAnswer() {
        m_answerRequired = true;
        setWindowFlag(Qt::CustomizeWindowHint, true);
        setWindowFlag(Qt::WindowCloseButtonHint, false);
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (m_answerRequired && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (m_answerRequired && !clickedButton()) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

  private:
    bool m_answerRequired = false;
};

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
    ProgramMessageBox box(iconOf(request.icon), request.title, QString(), QMessageBox::NoButton,
                          m_parent);
    box.setTextFormat(Qt::PlainText);
    // Message prompts are composed with CR LF; a QLabel breaks on LF alone.
    const QString prompt =
        QString(request.prompt).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(prompt);

    const QList<ButtonSpec> buttons = buttonsOf(request.buttons);
    std::optional<int> escapeAnswer;
    if (buttons.size() == 1)
        escapeAnswer = buttons.front().answer;
    else if (std::any_of(buttons.begin(), buttons.end(),
                         [](const ButtonSpec& b) { return b.answer == AnswerCancel; }))
        escapeAnswer = AnswerCancel;
    else
        box.requireAnswer();
    for (const ButtonSpec& choice : buttons) {
        QPushButton* button = box.addButton(choice.button);
        if (choice.answer == request.defaultButton)
            box.setDefaultButton(button);
        if (escapeAnswer == choice.answer)
            box.setEscapeButton(button);
    }
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonSpec& choice : buttons) {
        if (choice.button == clicked)
            return choice.answer;
    }
    // Only the end of the program closes a box that must be answered: that
    // is no Yes.
    return escapeAnswer.value_or(AnswerNo);
}

QString QtDialogs::openFile(const FileOpenRequest& request) {
    QFileDialog dialog(m_parent, request.title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(qtNameFilter(request.filter));
    if (request.defaultExtension.startsWith(QLatin1Char('.')))
        dialog.setDefaultSuffix(request.defaultExtension.mid(1));
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
