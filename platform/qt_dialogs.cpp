// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_dialogs.h"

#include "platform/file_names.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextLayout>

#include <algorithm>
#include <optional>

namespace dexlan {

namespace {

struct ButtonSpec {
    QMessageBox::StandardButton button;
    MsgAnswer answer;
};

QList<ButtonSpec> buttonsOf(MsgButtons set) {
    switch (set) {
    case MsgButtons::Ok:
        return {{QMessageBox::Ok, MsgAnswer::Ok}};
    case MsgButtons::OkCancel:
        return {{QMessageBox::Ok, MsgAnswer::Ok}, {QMessageBox::Cancel, MsgAnswer::Cancel}};
    case MsgButtons::YesNo:
        return {{QMessageBox::Yes, MsgAnswer::Yes}, {QMessageBox::No, MsgAnswer::No}};
    case MsgButtons::RetryCancel:
        return {{QMessageBox::Retry, MsgAnswer::Retry}, {QMessageBox::Cancel, MsgAnswer::Cancel}};
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

// How many lines the text takes when wrapped at width, at word boundaries
// where it can and anywhere where a word is wider than the width.
int wrappedLines(const QString& text, const QFont& font, int width) {
    if (text.isEmpty())
        return 1;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        ++lines;
    }
    layout.endLayout();
    return std::max(lines, 1);
}

// A word wider than width (a long path, say) gets invisible break points, so
// that the box wraps it at its usual width instead of growing to the
// screen's edge.
QString withBreakPoints(const QString& line, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(line) <= width)
        return line;
    QString result;
    result.reserve(line.size() + line.size() / 16);
    int run = 0;
    for (const QChar c : line) {
        if (c.isSpace()) {
            run = 0;
        } else {
            run += metrics.horizontalAdvance(c);
            if (run > width * 9 / 10) {
                result += QChar(0x200B); // zero width space
                run = metrics.horizontalAdvance(c);
            }
        }
        result += c;
    }
    return result;
}

// The prompt as the box shows it. One too tall for the screen keeps its
// beginning and its end (where the question is) around an ellipsis; the box
// then offers the whole text as its details.
struct ShownPrompt {
    QString text;
    bool shortened = false;
};

ShownPrompt promptForScreen(const QString& prompt, const QFont& font, const QRect& screen) {
    // The box wraps its text at about this width (half the screen, at most
    // 500 pixels, less its icon); narrower is taller, so the estimate errs
    // on the safe side.
    const int width = std::max(std::min(screen.width() / 2, 500) - 100, 150);
    const QFontMetrics metrics(font);
    const int lineHeight = std::max(metrics.lineSpacing(), 1);
    // Room beside the title bar and the buttons, and beside the details too.
    constexpr int kFrameAndButtons = 150;
    constexpr int kDetails = 150;
    const int roomLines = (screen.height() - kFrameAndButtons) / lineHeight;
    const int budget = std::max((screen.height() - kFrameAndButtons - kDetails) / lineHeight, 3);
    auto shown = [&](const QString& line) { return withBreakPoints(line, metrics, width); };
    auto linesOf = [&](const QString& line) { return wrappedLines(line, font, width); };

    const QStringList lines = prompt.split(QLatin1Char('\n'));
    QStringList whole;
    int total = 0;
    for (const QString& line : lines) {
        whole.append(shown(line));
        total += linesOf(whole.back());
        if (total > roomLines)
            break;
    }
    if (total <= roomLines)
        return {whole.join(QLatin1Char('\n')), false};

    // A line too long for its share is cut in its middle as well.
    const int lineBudget = std::max(budget / 3, 1);
    auto cut = [&](const QString& line) {
        QString text = shown(line);
        if (linesOf(text) > lineBudget)
            text = shown(metrics.elidedText(line, Qt::ElideMiddle, width * lineBudget * 9 / 10));
        return text;
    };
    QStringList head;
    QStringList tail;
    int used = 1; // the ellipsis
    for (qsizetype last = lines.size() - 1; last > 0; --last) {
        const QString line = cut(lines.at(last));
        if (used + linesOf(line) > 1 + budget / 3)
            break;
        used += linesOf(line);
        tail.prepend(line);
    }
    for (qsizetype first = 0; first < lines.size() - tail.size(); ++first) {
        const QString line = cut(lines.at(first));
        if (used + linesOf(line) > budget)
            break;
        used += linesOf(line);
        head.append(line);
    }
    if (head.size() + tail.size() < lines.size())
        head.append(QStringLiteral("\u2026"));
    return {(head + tail).join(QLatin1Char('\n')), true};
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

MsgAnswer QtDialogs::msgBox(const MsgBoxRequest& request) {
    ProgramMessageBox box(iconOf(request.icon), request.title, QString(), QMessageBox::NoButton,
                          m_parent);
    box.setTextFormat(Qt::PlainText);
    // Message prompts are composed with CR LF; a QLabel breaks on LF alone.
    const QString prompt =
        shownPath(request.prompt).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QScreen* screen = m_parent ? m_parent->screen() : QGuiApplication::primaryScreen();
    const ShownPrompt shown = screen
                                  ? promptForScreen(prompt, box.font(), screen->availableGeometry())
                                  : ShownPrompt{prompt};
    box.setText(shown.text);
    if (shown.shortened)
        box.setDetailedText(prompt);

    const QList<ButtonSpec> buttons = buttonsOf(request.buttons);
    std::optional<MsgAnswer> escapeAnswer;
    if (buttons.size() == 1)
        escapeAnswer = buttons.front().answer;
    else if (std::any_of(buttons.begin(), buttons.end(),
                         [](const ButtonSpec& b) { return b.answer == MsgAnswer::Cancel; }))
        escapeAnswer = MsgAnswer::Cancel;
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
    return escapeAnswer.value_or(MsgAnswer::No);
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
