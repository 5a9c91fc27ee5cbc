// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/window_keys.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace dexlan {
namespace {

// A window with a frame that holds a button and a text box, and a second
// button straight on the window.
class WindowKeysTest : public ::testing::Test {
  protected:
    WindowKeysTest() {
        frame = new QWidget(&window);
        button = new QPushButton(QStringLiteral("Button"), frame);
        edit = new QLineEdit(frame);
        other = new QPushButton(QStringLiteral("Other"), &window);
        window.show();
    }

    void press(QWidget* control, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        control->setFocus();
        QTest::keyClick(control, key, modifiers);
    }

    QWidget window;
    QWidget* frame = nullptr;
    QPushButton* button = nullptr;
    QLineEdit* edit = nullptr;
    QPushButton* other = nullptr;
    std::vector<std::pair<int, QObject*>> seen;
    WindowKeys keys{window, [this](const QKeyEvent& key, QObject* focused) {
                        seen.emplace_back(key.key(), focused);
                    }};
};

TEST_F(WindowKeysTest, AKeyTravellingUpThroughTheParentsIsSeenOnceWhereItWasTyped) {
    // A button leaves F5 to its frame and window: three deliveries, one key.
    press(button, Qt::Key_F5);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], std::make_pair(int(Qt::Key_F5), static_cast<QObject*>(button)));
    // The next press of the same key is a new key, wherever its event is stored.
    press(button, Qt::Key_F5);
    EXPECT_EQ(seen.size(), 2u);
    press(&window, Qt::Key_F6);
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(WindowKeysTest, TheControlStillHandlesTheKey) {
    edit->setText(QStringLiteral("abc"));
    edit->setCursorPosition(0);
    press(edit, Qt::Key_Delete);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(edit->text(), QStringLiteral("bc"));
}

TEST_F(WindowKeysTest, MovingTheFocusWhileHandlingDoesNotMakeTheKeyNew) {
    std::vector<int> handled;
    WindowKeys moving(window, [&](const QKeyEvent& key, QObject*) {
        handled.push_back(key.key());
        other->setFocus();
    });
    press(button, Qt::Key_F5);
    EXPECT_EQ(handled.size(), 1u);
}

TEST_F(WindowKeysTest, KeysOfOtherWindowsAreLeftAlone) {
    QWidget dialog(&window, Qt::Dialog);
    auto* inside = new QPushButton(QStringLiteral("Inside"), &dialog);
    dialog.show();
    press(inside, Qt::Key_F1);
    press(&dialog, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(seen.empty());
}

TEST_F(WindowKeysTest, KeysTypedInAWindowTheHandlerOpensDoNotMakeTheOuterKeyNew) {
    int outer = 0;
    WindowKeys opening(window, [&](const QKeyEvent& key, QObject*) {
        if (key.key() != Qt::Key_F1)
            return;
        ++outer;
        QWidget help(nullptr, Qt::Dialog);
        help.show();
        QTest::keyClick(&help, Qt::Key_Return);
    });
    press(button, Qt::Key_F1);
    EXPECT_EQ(outer, 1);
}

TEST(EditsText, OnlyControlsThatTakeTypedText) {
    QLineEdit line;
    QLineEdit readOnly;
    readOnly.setReadOnly(true);
    QComboBox fixed;
    QComboBox editable;
    editable.setEditable(true);
    QPushButton button;
    QLabel label;
    const std::vector<std::pair<const QObject*, bool>> cases = {
        {&line, true},     {&readOnly, false}, {&fixed, false},
        {&editable, true}, {&button, false},   {&label, false},
    };
    for (const auto& [control, expected] : cases)
        EXPECT_EQ(editsText(control), expected) << control->metaObject()->className();
}

TEST(PageStep, TheTabWidgetsPageKeys) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        int step;
    };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const Case cases[] = {
        {Qt::Key_Tab, ctrl, 1},
        {Qt::Key_PageDown, ctrl, 1},
        {Qt::Key_PageDown, ctrl | Qt::KeypadModifier, 1},
        {Qt::Key_PageUp, ctrl, -1},
        {Qt::Key_Backtab, ctrlShift, -1},
        {Qt::Key_Tab, ctrlShift, -1},
        {Qt::Key_Tab, Qt::NoModifier, 0},
        {Qt::Key_PageDown, Qt::NoModifier, 0},
        {Qt::Key_PageUp, ctrlShift, 0},
        {Qt::Key_Tab, ctrl | Qt::AltModifier, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pageStep(c.key, c.modifiers), c.step) << c.key << " " << int(c.modifiers);
}

} // namespace
} // namespace dexlan
