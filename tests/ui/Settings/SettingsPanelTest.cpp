#include "UI/Settings/SettingsPanel.h"

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <vector>

namespace {

bool isModifier(int key)
{
    return key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta;
}

// A focusable field that records the key presses that reach it.
class KeyRecorder final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::vector<int> keys;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && !isModifier(static_cast<QKeyEvent*>(event)->key()))
            keys.push_back(static_cast<QKeyEvent*>(event)->key());
        return QLineEdit::event(event);
    }
};

struct Fixture {
    SettingsPanel panel;
    KeyRecorder* field = new KeyRecorder;
    std::vector<int> steps;

    explicit Fixture(bool withHandler)
    {
        auto* layout = new QVBoxLayout(&panel);
        layout->addWidget(field);
        if (withHandler)
            panel.setOnMovePane([this](int step) { steps.push_back(step); });
        panel.show();
        field->setFocus();
    }

    void compose(const QString& preedit) { sendInputMethod(preedit, {}); }
    void commit(const QString& text) { sendInputMethod({}, text); }

private:
    void sendInputMethod(const QString& preedit, const QString& commitText)
    {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commitText);
        QApplication::sendEvent(field, &event);
    }
};

struct StepCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool withHandler;
    int step; // 0: the panel leaves the key to the focused field
};

class SettingsPanelStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(SettingsPanelStepTest, StepsOnlyForCtrlTabAndCtrlShiftTab)
{
    const StepCase& c = GetParam();
    Fixture f(c.withHandler);
    QTest::keyClick(f.field, c.key, c.modifiers);

    if (c.step == 0) {
        EXPECT_TRUE(f.steps.empty());
        EXPECT_EQ(f.field->keys, std::vector<int>{c.key}) << "the key goes on to the focused widget";
    } else {
        EXPECT_EQ(f.steps, std::vector<int>{c.step});
        EXPECT_TRUE(f.field->keys.empty()) << "a handled step is not seen by the focused widget";
    }
    EXPECT_TRUE(f.panel.isVisible());
}

constexpr Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;

INSTANTIATE_TEST_SUITE_P(
    Keys, SettingsPanelStepTest,
    ::testing::Values(StepCase{"ctrlTab", Qt::Key_Tab, ctrl, true, 1},
                      StepCase{"ctrlShiftTab", Qt::Key_Tab, ctrlShift, true, -1},
                      StepCase{"ctrlShiftBacktab", Qt::Key_Backtab, ctrlShift, true, -1},
                      StepCase{"keypadFlagIgnored", Qt::Key_Tab, ctrl | Qt::KeypadModifier, true, 1},
                      StepCase{"ctrlAltTab", Qt::Key_Tab, ctrl | Qt::AltModifier, true, 0},
                      StepCase{"ctrlSuperTab", Qt::Key_Tab, ctrl | Qt::MetaModifier, true, 0},
                      StepCase{"ctrlShiftAltTab", Qt::Key_Tab, ctrlShift | Qt::AltModifier, true, 0},
                      StepCase{"altTab", Qt::Key_Tab, Qt::AltModifier, true, 0},
                      StepCase{"ctrlOtherKey", Qt::Key_A, ctrl, true, 0},
                      StepCase{"noHandlerCtrlTab", Qt::Key_Tab, ctrl, false, 0},
                      StepCase{"noHandlerCtrlShiftTab", Qt::Key_Tab, ctrlShift, false, 0}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

struct EscapeCase {
    const char* name;
    Qt::KeyboardModifiers modifiers;
    bool composing;
    bool closes;
};

class SettingsPanelEscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(SettingsPanelEscapeTest, EscapeClosesUnlessComposing)
{
    const EscapeCase& c = GetParam();
    Fixture f(true);
    QSignalSpy willClose(&f.panel, &SettingsPanel::willClose);
    if (c.composing)
        f.compose(QStringLiteral("か"));
    ASSERT_EQ(f.panel.isComposing(), c.composing);

    QTest::keyClick(f.field, Qt::Key_Escape, c.modifiers);
    EXPECT_EQ(f.panel.isVisible(), !c.closes);
    EXPECT_EQ(willClose.count(), c.closes ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, SettingsPanelEscapeTest,
                         ::testing::Values(EscapeCase{"plain", Qt::NoModifier, false, true},
                                           EscapeCase{"keypadFlagIgnored", Qt::KeypadModifier, false, true},
                                           EscapeCase{"withCtrl", Qt::ControlModifier, false, false},
                                           EscapeCase{"whileComposing", Qt::NoModifier, true, false}),
                         [](const ::testing::TestParamInfo<EscapeCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(SettingsPanelCompositionTest, KeysReturnToThePanelOnceTheTextIsCommitted)
{
    Fixture f(true);
    f.compose(QStringLiteral("にほ"));
    QTest::keyClick(f.field, Qt::Key_Tab, ctrl);
    EXPECT_TRUE(f.steps.empty()) << "Ctrl+Tab belongs to the input method while it composes";
    EXPECT_EQ(f.field->keys, std::vector<int>{Qt::Key_Tab});

    f.commit(QStringLiteral("日本"));
    EXPECT_FALSE(f.panel.isComposing());
    EXPECT_EQ(f.field->text(), QStringLiteral("日本"));
    QTest::keyClick(f.field, Qt::Key_Tab, ctrlShift);
    EXPECT_EQ(f.steps, std::vector<int>{-1});
    QTest::keyClick(f.field, Qt::Key_Escape);
    EXPECT_FALSE(f.panel.isVisible());
}

TEST(SettingsPanelCompositionTest, CompositionInAnotherFieldOrWindowDoesNotCount)
{
    Fixture f(true);
    auto* other = new QLineEdit;
    f.panel.layout()->addWidget(other);
    other->show();
    QLineEdit elsewhere;
    QInputMethodEvent outside(QStringLiteral("か"), {});
    QApplication::sendEvent(&elsewhere, &outside);
    EXPECT_FALSE(f.panel.isComposing()) << "a field of another window";

    f.compose(QStringLiteral("か"));
    ASSERT_TRUE(f.panel.isComposing());
    other->setFocus();
    EXPECT_FALSE(f.panel.isComposing()) << "the composing field lost the focus";
    QTest::keyClick(other, Qt::Key_Tab, ctrl);
    EXPECT_EQ(f.steps, std::vector<int>{1});
}

TEST(SettingsPanelCloseTest, ClosingByAnyMeansReportsWillCloseOnEachAcceptedClose)
{
    Fixture f(false);
    QSignalSpy willClose(&f.panel, &SettingsPanel::willClose);
    EXPECT_FALSE(f.panel.hasMovePaneHandler());
    f.panel.close();
    EXPECT_EQ(willClose.count(), 1);
    f.panel.show();
    QTest::keyClick(&f.panel, Qt::Key_Escape);
    EXPECT_EQ(willClose.count(), 2) << "Escape on the window itself, with no focused field";
}

} // namespace
