// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace dexlan {
namespace {

// Shows the real message box and, once it is open, hands it to whileOpen,
// which answers it. A box still open afterwards fails the test and is closed.
MsgAnswer showBox(const MsgBoxRequest& request, const std::function<void(QMessageBox&)>& whileOpen) {
    QtDialogs dialogs;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no message box open";
            return;
        }
        whileOpen(*box);
        if (box->isVisible()) {
            ADD_FAILURE() << "the box is still open";
            box->buttons().front()->click();
        }
    });
    return dialogs.msgBox(request);
}

void typeKey(QMessageBox& box, Qt::Key key) {
    QWidget* focused = box.focusWidget();
    QTest::keyClick(focused ? focused : &box, key);
}

QAbstractButton* buttonFor(QMessageBox& box, QMessageBox::StandardButton which) {
    QAbstractButton* button = box.button(which);
    EXPECT_NE(button, nullptr);
    return button;
}

MsgBoxRequest question(MsgButtons buttons, MsgAnswer defaultButton) {
    return {QStringLiteral("Do you wish to update the program ini file?"), buttons,
            MsgIcon::Question, defaultButton, QStringLiteral("Sorry...")};
}

// Escape must never stand for No: at the save question it would throw the
// user's changes away.
TEST(QtDialogsTest, YesNoQuestionIsLeftOnlyByItsButtons) {
    for (const MsgAnswer answer : {MsgAnswer::Yes, MsgAnswer::No}) {
        const MsgAnswer got = showBox(question(MsgButtons::YesNo, MsgAnswer::No), [answer](
                                                                                QMessageBox& box) {
            typeKey(box, Qt::Key_Escape);
            EXPECT_TRUE(box.isVisible()) << "Escape is ignored";
            EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
            box.close(); // as the title bar's close button or Alt+F4 asks
            EXPECT_TRUE(box.isVisible()) << "closing is refused";
            buttonFor(box, answer == MsgAnswer::Yes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        EXPECT_EQ(got, answer);
    }
}

TEST(QtDialogsTest, EscapeAnswersCancelOrTheOnlyButton) {
    const struct {
        MsgButtons buttons;
        MsgAnswer defaultButton;
        MsgAnswer escapeAnswer;
    } cases[] = {
        {MsgButtons::OkCancel, MsgAnswer::Ok, MsgAnswer::Cancel},
        {MsgButtons::RetryCancel, MsgAnswer::Retry, MsgAnswer::Cancel},
        {MsgButtons::Ok, MsgAnswer::Ok, MsgAnswer::Ok},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(showBox(question(c.buttons, c.defaultButton),
                          [](QMessageBox& box) { typeKey(box, Qt::Key_Escape); }),
                  c.escapeAnswer);
        EXPECT_EQ(showBox(question(c.buttons, c.defaultButton),
                          [](QMessageBox& box) {
                              EXPECT_TRUE(box.windowFlags() & Qt::WindowCloseButtonHint);
                              box.close();
                          }),
                  c.escapeAnswer);
    }
}

bool within(const QRect& outer, const QRect& inner) {
    return outer.contains(inner.topLeft()) && outer.contains(inner.bottomRight());
}

// A box too tall for the screen keeps its buttons on it, and the whole text
// stays within reach.
TEST(QtDialogsTest, BoxesFitTheScreen) {
    QString thousandsOfLines;
    for (int line = 1; line <= 5000; ++line)
        thousandsOfLines += QStringLiteral("line %1 of a very long line 3\r\n").arg(line);
    const QString oneHugeLine = QStringLiteral("C:\\HISTORY\\") + QString(20000, QLatin1Char('X'));
    const QString shortPrompt = QStringLiteral("Short.\r\n\r\nDo you wish to create it?");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();

    for (const QString& prompt : {thousandsOfLines, oneHugeLine, shortPrompt}) {
        SCOPED_TRACE(prompt.size());
        MsgBoxRequest request = question(MsgButtons::YesNo, MsgAnswer::Yes);
        request.prompt = prompt;
        const QString whole = QString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const MsgAnswer got = showBox(request, [&](QMessageBox& box) {
            auto expectOnScreen = [&] {
                const QRect at = box.frameGeometry();
                EXPECT_TRUE(within(screen, at))
                    << at.width() << 'x' << at.height() << '+' << at.x() << '+' << at.y();
                for (QAbstractButton* button : box.buttons())
                    EXPECT_TRUE(
                        within(screen, QRect(button->mapToGlobal(QPoint(0, 0)), button->size())));
            };
            expectOnScreen();
            if (prompt == shortPrompt) {
                EXPECT_EQ(box.text(), whole);
                EXPECT_TRUE(box.detailedText().isEmpty());
            } else {
                EXPECT_EQ(box.detailedText(), whole);
                for (QAbstractButton* button : box.buttons()) {
                    if (box.buttonRole(button) == QMessageBox::ActionRole)
                        button->click(); // "Show Details..."
                }
                expectOnScreen();
            }
            buttonFor(box, QMessageBox::Yes)->click();
        });
        EXPECT_EQ(got, MsgAnswer::Yes);
    }
}

} // namespace
} // namespace dexlan
