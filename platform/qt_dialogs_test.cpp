#include "platform/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace dexlan {
namespace {

// Shows the real message box and, once it is open, hands it to whileOpen,
// which answers it. A box still open afterwards fails the test and is closed.
int showBox(const MsgBoxRequest& request, const std::function<void(QMessageBox&)>& whileOpen) {
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

MsgBoxRequest question(MsgButtons buttons, int defaultButton) {
    return {QStringLiteral("Do you wish to update the program ini file?"), buttons,
            MsgIcon::Question, defaultButton, QStringLiteral("Sorry...")};
}

// Escape must never stand for No: at the save question it would throw the
// user's changes away.
TEST(QtDialogsTest, YesNoQuestionIsLeftOnlyByItsButtons) {
    for (const int answer : {AnswerYes, AnswerNo}) {
        const int got = showBox(question(MsgButtons::YesNo, AnswerNo), [answer](QMessageBox& box) {
            typeKey(box, Qt::Key_Escape);
            EXPECT_TRUE(box.isVisible()) << "Escape is ignored";
            EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
            box.close(); // as the title bar's close button or Alt+F4 asks
            EXPECT_TRUE(box.isVisible()) << "closing is refused";
            buttonFor(box, answer == AnswerYes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        EXPECT_EQ(got, answer);
    }
}

TEST(QtDialogsTest, EscapeAnswersCancelOrTheOnlyButton) {
    const struct {
        MsgButtons buttons;
        int defaultButton;
        int escapeAnswer;
    } cases[] = {
        {MsgButtons::OkCancel, AnswerOk, AnswerCancel},
        {MsgButtons::RetryCancel, AnswerRetry, AnswerCancel},
        {MsgButtons::Ok, AnswerOk, AnswerOk},
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

} // namespace
} // namespace dexlan
