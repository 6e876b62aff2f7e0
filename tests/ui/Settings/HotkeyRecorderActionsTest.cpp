#include "HotkeyRecorderFixture.h"

#include "UI/Settings/HotkeyRecorderControlButton.h"
#include "Util/Localization.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <functional>

namespace {

using namespace RecorderKeys;
using Target = HotkeyRecorderView::Target;
using Control = HotkeyRecorderView::Control;

const QString unavailable = QStringLiteral("Shortcut unavailable. Choose another combination.");
const QString restoreItem = QStringLiteral("Restore Default Shortcut");
const QString clearItem = QStringLiteral("Clear Shortcut");
const QString defaultInUse = QStringLiteral("Default shortcut is already in use.");

struct TargetCase {
    Target target;
    QString label;
    QString shown;
    QString restoreHelp;
};

class HotkeyRecorderTargetTest : public HotkeyRecorderFixture,
                                 public ::testing::WithParamInterface<TargetCase> {};

TEST_P(HotkeyRecorderTargetTest, ShowsTheDefaultWithItsLabelsAndHelp)
{
    const TargetCase& c = GetParam();
    recorder->setTarget(c.target);
    EXPECT_EQ(recorder->target(), c.target);
    EXPECT_EQ(recorder->displayedText(), c.shown);
    EXPECT_EQ(recorder->recorderButton()->text(), c.shown);
    EXPECT_EQ(recorder->recorderButton()->accessibleName(), c.label);
    EXPECT_EQ(recorder->recorderButton()->toolTip(), QStringLiteral("Click to record a shortcut."));
    EXPECT_EQ(recorder->restoreButton()->toolTip(), c.restoreHelp);
    EXPECT_EQ(recorder->restoreButton()->accessibleName(), restoreItem);
    EXPECT_EQ(recorder->clearButton()->toolTip(), clearItem);
    EXPECT_EQ(recorder->clearButton()->accessibleName(), clearItem);
    EXPECT_EQ(recorder->restoreButton()->symbolName(), QStringLiteral("arrow.uturn.backward"));
    EXPECT_EQ(recorder->clearButton()->symbolName(), QStringLiteral("xmark"));
    // At its default and idle: nothing to restore, something to clear.
    EXPECT_FALSE(recorder->restoreButton()->isEnabled());
    EXPECT_TRUE(recorder->clearButton()->isEnabled());
    EXPECT_FALSE(recorder->recorderButton()->isPlaceholder());
}

INSTANTIATE_TEST_SUITE_P(Targets, HotkeyRecorderTargetTest,
                         ::testing::Values(TargetCase{Target::activation, QStringLiteral("Show Vellora"),
                                                      QStringLiteral("Ctrl+Shift+V"),
                                                      QStringLiteral("Restore Default (Ctrl+Shift+V)")},
                                           TargetCase{Target::askAI, QStringLiteral("Ask AI Shortcut"),
                                                      QStringLiteral("Ctrl+Return"),
                                                      QStringLiteral("Restore Default (Ctrl+Return)")},
                                           TargetCase{Target::browserLinks, QStringLiteral("Browser Links"),
                                                      QStringLiteral("Ctrl+Alt+Super+L"),
                                                      QStringLiteral("Restore Default (Ctrl+Alt+Super+L)")}));

TEST_F(HotkeyRecorderFixture, OtherShortcutIsTheClipboardHotKeyOnlyForAskAI)
{
    settings.setAskAIShortcut({k, 0x100});
    recorder->setTarget(Target::askAI);
    EXPECT_EQ(recorder->otherShortcut(), (RivEVShortcut{9, 768}));
    recorder->setTarget(Target::activation);
    EXPECT_EQ(recorder->otherShortcut(), (RivEVShortcut{k, 0x100}));
    recorder->setTarget(Target::browserLinks);
    EXPECT_EQ(recorder->otherShortcut(), (RivEVShortcut{k, 0x100}));
}

// Which shortcuts block restoring a target's default.
struct ConflictCase {
    const char* name;
    Target target;
    std::function<void(Settings&)> prepare;
    bool conflicts;
};

const ConflictCase conflictCases[] = {
    {"activationFree", Target::activation,
     [](Settings& s) {
         s.setActivationShortcut({k, 0x100});
     },
     false},
    {"activationTakenByAskAI", Target::activation,
     [](Settings& s) {
         s.setActivationShortcut({k, 0x100});
         s.setAskAIShortcut({9, 768});
     },
     true},
    {"activationTakenByBrowserLinks", Target::activation,
     [](Settings& s) {
         s.setActivationShortcut({k, 0x100});
         s.setBrowserLinksShortcutValue({9, 768});
     },
     true},
    {"askAITakenByActivationViaKeypadEnter", Target::askAI,
     [](Settings& s) {
         s.setAskAIShortcut({k, 0x100});
         s.setActivationShortcut({76, 0x100});
     },
     true},
    {"askAIFree", Target::askAI,
     [](Settings& s) {
         s.setAskAIShortcut({k, 0x100});
     },
     false},
    {"browserLinksTakenByAskAI", Target::browserLinks,
     [](Settings& s) {
         s.setBrowserLinksShortcutValue({b, 0x100});
         s.setAskAIShortcut({37, 6400});
     },
     true},
    {"browserLinksFreeWhileAskAINotSet", Target::browserLinks,
     [](Settings& s) {
         s.setBrowserLinksShortcutValue({b, 0x100});
         s.setAskAIShortcut({-1, 6400});
     },
     false},
};

class HotkeyRecorderConflictTest : public HotkeyRecorderFixture,
                                   public ::testing::WithParamInterface<ConflictCase> {};

TEST_P(HotkeyRecorderConflictTest, RestoreIsBlockedOnlyByAConflict)
{
    const ConflictCase& c = GetParam();
    c.prepare(settings);
    recorder->setTarget(c.target);
    const RivEVShortcut before = recorder->shortcut();
    ASSERT_NE(before, HotkeyRecorderView::defaultShortcut(c.target));

    EXPECT_EQ(recorder->defaultConflicts(), c.conflicts);
    EXPECT_EQ(recorder->restoreButton()->isEnabled(), !c.conflicts);
    const std::unique_ptr<QMenu> menu = recorder->makeContextMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions().at(0)->isEnabled(), !c.conflicts);
    if (c.conflicts) {
        EXPECT_EQ(recorder->restoreButton()->toolTip(), defaultInUse);
    }

    recorder->restoreDefault();
    EXPECT_EQ(recorder->shortcut(), c.conflicts ? before : HotkeyRecorderView::defaultShortcut(c.target));
    EXPECT_EQ(recorder->message(), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Conflicts, HotkeyRecorderConflictTest, ::testing::ValuesIn(conflictCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HotkeyRecorderFixture, RestoreAtTheDefaultIsDisabledIdleButRewritesWhileRecording)
{
    recorder->setTarget(Target::activation);
    ASSERT_FALSE(recorder->restoreButton()->isEnabled());
    const int writes = defaults.writes;
    recorder->restoreDefault();
    EXPECT_EQ(defaults.writes, writes) << "idle at the default: nothing happens";

    recorder->start();
    EXPECT_TRUE(recorder->restoreButton()->isEnabled());
    QTest::mouseClick(recorder->restoreButton(), Qt::LeftButton);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(settings.activationShortcut(), (RivEVShortcut{9, 768}));
    EXPECT_EQ(recorder->focusedControl(), Control::recorder);
}

TEST_F(HotkeyRecorderFixture, RestoreWritesTheDefaultAndRegistersIt)
{
    settings.setActivationShortcut({k, 0x100});
    recorder->setTarget(Target::activation);
    ASSERT_TRUE(recorder->restoreButton()->isEnabled());
    recorder->restoreDefault();
    EXPECT_EQ(settings.activationShortcut(), (RivEVShortcut{9, 768}));
    EXPECT_EQ(center.clipboardHotKey().registeredShortcut(), (RivEVShortcut{9, 768}));
    EXPECT_EQ(recorder->displayedText(), QStringLiteral("Ctrl+Shift+V"));
    EXPECT_FALSE(recorder->restoreButton()->isEnabled());
    EXPECT_EQ(recorder->focusedControl(), Control::recorder);
}

TEST_F(HotkeyRecorderFixture, RefusedRestoreShowsItsMessageAfterStopping)
{
    settings.setBrowserLinksShortcut({b, 0x100});
    hotKeys.taken.insert({37, 6400});
    recorder->setTarget(Target::browserLinks);
    recorder->start();
    recorder->restoreDefault();
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(recorder->message(), unavailable);
    EXPECT_TRUE(recorder->messageLabel()->isVisibleTo(host.get()));
    EXPECT_EQ(recorder->messageLabel()->text(), unavailable);
    EXPECT_EQ(settings.browserLinksShortcut(), (RivEVShortcut{b, 0x100}));
    EXPECT_EQ(sound.beeps, 0) << "a failed restore only shows its message";
    recorder->start();
    EXPECT_EQ(recorder->message(), std::nullopt);
}

class HotkeyRecorderClearTest : public HotkeyRecorderFixture, public ::testing::WithParamInterface<Target> {};

TEST_P(HotkeyRecorderClearTest, ClearWritesNotSetAndDisablesItself)
{
    recorder->setTarget(GetParam());
    recorder->start();
    QTest::mouseClick(recorder->clearButton(), Qt::LeftButton);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(recorder->shortcut(), (RivEVShortcut{-1, 0}));
    EXPECT_EQ(recorder->displayedText(), QStringLiteral("Not Set"));
    EXPECT_TRUE(recorder->recorderButton()->isPlaceholder());
    EXPECT_FALSE(recorder->clearButton()->isEnabled());
    EXPECT_TRUE(recorder->restoreButton()->isEnabled());
    EXPECT_EQ(recorder->focusedControl(), Control::recorder);
    // While recording a cleared shortcut can still be cleared.
    recorder->start();
    EXPECT_TRUE(recorder->clearButton()->isEnabled());
    EXPECT_FALSE(recorder->recorderButton()->isPlaceholder());
}

INSTANTIATE_TEST_SUITE_P(Targets, HotkeyRecorderClearTest,
                         ::testing::Values(Target::activation, Target::askAI, Target::browserLinks));

TEST_F(HotkeyRecorderFixture, ClearingTheClipboardHotKeyUnregistersIt)
{
    recorder->setTarget(Target::activation);
    recorder->clear();
    EXPECT_EQ(settings.hotkeyKeyCode(), -1);
    EXPECT_EQ(settings.hotkeyModifiers(), 0);
    EXPECT_EQ(center.clipboardHotKey().registeredShortcut(), std::nullopt);
    EXPECT_FALSE(hotKeys.registeredCombinations().contains({9, 768}));
}

TEST_F(HotkeyRecorderFixture, ContextMenuOffersBothActionsWhenIdleAndNothingWhileRecording)
{
    recorder->setTarget(Target::askAI);
    settings.setAskAIShortcut({k, 0x100});
    {
        const std::unique_ptr<QMenu> menu = recorder->makeContextMenu();
        ASSERT_EQ(menu->actions().size(), 2);
        EXPECT_EQ(menu->actions().at(0)->text(), restoreItem);
        EXPECT_EQ(menu->actions().at(1)->text(), clearItem);
        EXPECT_TRUE(menu->actions().at(0)->isEnabled());
        EXPECT_TRUE(menu->actions().at(1)->isEnabled());
        menu->actions().at(1)->trigger();
        EXPECT_EQ(settings.askAIShortcut(), (RivEVShortcut{-1, 0}));
    }
    {
        const std::unique_ptr<QMenu> menu = recorder->makeContextMenu();
        EXPECT_TRUE(menu->actions().at(0)->isEnabled());
        EXPECT_FALSE(menu->actions().at(1)->isEnabled()) << "nothing set to clear";
        menu->actions().at(0)->trigger();
        EXPECT_EQ(settings.askAIShortcut(), (RivEVShortcut{36, 256}));
    }
    {
        const std::unique_ptr<QMenu> menu = recorder->makeContextMenu();
        EXPECT_FALSE(menu->actions().at(0)->isEnabled()) << "already the default";
    }
    recorder->start();
    EXPECT_TRUE(recorder->makeContextMenu()->actions().isEmpty());
}

TEST_F(HotkeyRecorderFixture, RerendersWhenSettingsChangeElsewhere)
{
    recorder->setTarget(Target::activation);
    settings.setHotkeyKeyCode(k);
    EXPECT_EQ(recorder->recorderButton()->text(), QStringLiteral("Ctrl+Shift+K"));
    EXPECT_TRUE(recorder->restoreButton()->isEnabled());

    settings.setAskAIShortcut({9, 768});
    EXPECT_FALSE(recorder->restoreButton()->isEnabled());
    EXPECT_EQ(recorder->restoreButton()->toolTip(), defaultInUse);

    settings.setBrowserLinksShortcutValue({-1, 0});
    settings.setHotkeyModifiers(0x900);
    EXPECT_EQ(recorder->recorderButton()->text(), QStringLiteral("Ctrl+Alt+K"));

    recorder->setTarget(Target::browserLinks);
    EXPECT_EQ(recorder->recorderButton()->text(), QStringLiteral("Not Set"));
    EXPECT_TRUE(recorder->recorderButton()->isPlaceholder());
    settings.setBrowserLinksShortcutValue({b, 0x1100});
    EXPECT_EQ(recorder->recorderButton()->text(), QStringLiteral("Ctrl+Super+B"));
    EXPECT_FALSE(recorder->recorderButton()->isPlaceholder());
}

TEST_F(HotkeyRecorderFixture, SmallButtonsShowWhileRecordingHoveredOrFocused)
{
    recorder->setTarget(Target::askAI);
    lineEdit->setFocus();
    EXPECT_FALSE(recorder->controlsVisible());
    EXPECT_TRUE(recorder->restoreButton()->isConcealed());
    EXPECT_TRUE(recorder->clearButton()->testAttribute(Qt::WA_TransparentForMouseEvents));

    recorder->start();
    EXPECT_TRUE(recorder->controlsVisible());
    EXPECT_FALSE(recorder->clearButton()->isConcealed());
    EXPECT_FALSE(recorder->clearButton()->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(recorder->recorderButton()->isRecording());
    EXPECT_TRUE(recorder->recorderButton()->isHighlighted());

    // Focus on a small button ends the recording but keeps the buttons shown.
    recorder->clearButton()->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(recorder->focusedControl(), Control::clear);
    EXPECT_TRUE(recorder->controlsVisible());
    EXPECT_TRUE(recorder->recorderButton()->isHighlighted());

    lineEdit->setFocus();
    EXPECT_FALSE(recorder->controlsVisible());
    EXPECT_FALSE(recorder->recorderButton()->isHighlighted());

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(recorder->recorderButton(), &enter);
    EXPECT_TRUE(recorder->controlsVisible());
    EXPECT_FALSE(recorder->restoreButton()->isConcealed());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(recorder->recorderButton(), &leave);
    EXPECT_FALSE(recorder->controlsVisible());
}

TEST_F(HotkeyRecorderFixture, CapsuleAndMessageMeasurements)
{
    EXPECT_EQ(recorder->recorderButton()->size(), QSize(180, 28));
    EXPECT_EQ(recorder->restoreButton()->size(), QSize(18, 22));
    EXPECT_EQ(recorder->messageLabel()->textFormat(), Qt::PlainText);
    // The two small buttons sit at the trailing edge, 6 px in, 2 px apart.
    const QRect capsule = recorder->recorderButton()->rect();
    EXPECT_EQ(recorder->clearButton()->geometry().right(), capsule.right() - 6);
    EXPECT_EQ(recorder->restoreButton()->geometry().right() + 1 + 2, recorder->clearButton()->x());
    // The text shrinks no lower than 80 % of 13 px.
    EXPECT_EQ(recorder->recorderButton()->textFont().pixelSize(), 13);
    recorder->recorderButton()->setText(QStringLiteral("A very long text that never fits in the capsule"));
    EXPECT_EQ(recorder->recorderButton()->textFont().pixelSize(), 10);
}

// While recording, Vellora's own hot keys let their keys through, so that a clash with them
// reaches the recorder and is reported; they are registered again when recording ends.
TEST_F(HotkeyRecorderFixture, RecordingReleasesVellorasHotKeysUntilItEnds)
{
    ASSERT_EQ(hotKeys.registered.size(), 2);
    startRecording(Target::activation);
    EXPECT_TRUE(hotKeys.registered.isEmpty());
    EXPECT_TRUE(press({l, Qt::Key_L, command | option | control}));
    EXPECT_EQ(recorder->message(),
              QStringLiteral("This shortcut is used by Browser Links. Choose another combination."));

    EXPECT_TRUE(press({b, Qt::Key_B, command | shift}));
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(hotKeys.registeredCombinations().size(), 2);
    EXPECT_TRUE(hotKeys.registeredCombinations().contains({b, 0x300}));
    EXPECT_TRUE(hotKeys.registeredCombinations().contains({l, 0x1900}));
}

// The prompt and a rejection are shown whole in each language: the prompt clear of the two
// small buttons, the wrapped message as tall as its lines.
class HotkeyRecorderLanguageTest : public HotkeyRecorderFixture,
                                   public ::testing::WithParamInterface<AppLanguage> {};

TEST_P(HotkeyRecorderLanguageTest, PromptAndRejectionFitTheirRoom)
{
    Localization& localization = Localization::shared();
    const AppLanguage before = localization.language();
    localization.setLanguage(GetParam());
    // Layout requests travel up one level per pass of the event loop.
    const auto settle = [] {
        for (int pass = 0; pass < 4; ++pass)
            QApplication::processEvents();
    };
    HotkeyRecorderButton* capsule = recorder->recorderButton();
    // Drawn whole, as the capsule elides it: the shortcut, then the prompt.
    const auto expectWhole = [&] {
        const QRect text = capsule->textBounds();
        EXPECT_EQ(QFontMetrics(capsule->textFont()).elidedText(capsule->text(), Qt::ElideRight, text.width()),
                  capsule->text());
        EXPECT_LT(text.right(), recorder->restoreButton()->geometry().left());
    };
    settle();
    expectWhole();
    startRecording(Target::activation);
    settle();
    expectWhole();

    press({l, Qt::Key_L, command | option | control});
    settle();
    QLabel* message = recorder->messageLabel();
    ASSERT_TRUE(message->isVisible());
    EXPECT_LE(message->width(), 260);
    EXPECT_GE(message->height(), message->heightForWidth(message->width())) << message->text().toStdString();
    EXPECT_TRUE(host->rect().contains(QRect(message->mapTo(host.get(), QPoint()), message->size())));
    localization.setLanguage(before);
}

INSTANTIATE_TEST_SUITE_P(Languages, HotkeyRecorderLanguageTest,
                         ::testing::Values(AppLanguage::english, AppLanguage::japanese, AppLanguage::chinese,
                                           AppLanguage::traditionalChinese));

TEST_F(HotkeyRecorderFixture, TextsFollowTheLanguage)
{
    Localization& localization = Localization::shared();
    const AppLanguage before = localization.language();
    recorder->setTarget(Target::browserLinks);
    settings.setBrowserLinksShortcutValue({-1, 0});
    localization.setLanguage(AppLanguage::japanese);
    EXPECT_EQ(recorder->recorderButton()->text(), Localization::string(QStringLiteral("Not Set")));
    EXPECT_NE(recorder->recorderButton()->text(), QStringLiteral("Not Set"));
    EXPECT_NE(recorder->clearButton()->toolTip(), clearItem);
    localization.setLanguage(before);
    EXPECT_EQ(recorder->recorderButton()->text(), QStringLiteral("Not Set"));
}

} // namespace
