#include "ui/App/AppControllerFixture.h"

#include "AI/AIModelSettings.h"
#include "AI/AISharingConsentStore.h"
#include "AI/ConversationSession.h"
#include "AI/ModelNetworkAccessManager.h"
#include "UI/AI/AISharingConsentView.h"
#include "UI/AI/ClipboardToggleMouseCapture.h"
#include "UI/AI/ConversationDraftView.h"
#include "UI/AI/DraftQuestionEditorBridge.h"
#include "UI/AI/MaterialPreview.h"
#include "UI/VelloraIconButton.h"
#include "UI/VelloraTooltip.h"
#include "fakes/FakeDefaults.h"
#include "fakes/FakeKeychain.h"

#include <QDialog>
#include <QLabel>
#include <QSignalSpy>

namespace {

// A conversation view over a real application controller and its clipboard bar.
class ConversationDraftViewTest : public AppControllerTest {
protected:
    void SetUp() override
    {
        AppControllerTest::SetUp();
        material.title = QStringLiteral("note");
        material.text = QStringLiteral("material text");
        session = std::make_unique<ConversationSession>(QList<ConversationMaterial>{material},
                                                        AIChatClient(&network), consent,
                                                        [this] { return settings.activeCredentials(); });
        ConversationDraft draft;
        draft.materials = {material};
        view = std::make_unique<ConversationDraftView>(
            draft, bridge, *session, settings,
            [](ConversationResultAction, const QString&, ConversationDraftView::ResultCompletion completion) {
                completion(true);
            });
        view->setAppActions(controller->conversationAppActions());
        view->resize(1100, 720);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        toggle = view->clipboardToggle();
    }

    void TearDown() override
    {
        view.reset();
        session.reset();
        AppControllerTest::TearDown();
    }

    void showBarAndWait()
    {
        controller->showBar();
        ASSERT_TRUE(waitForPhase(BarPhaseKind::shown));
    }

    static bool isShowingOrShown(BarPhaseKind kind)
    {
        return kind == BarPhaseKind::showing || kind == BarPhaseKind::shown;
    }

    ModelNetworkAccessManager network;
    FakeDefaults modelDefaults;
    FakeKeychain keychain;
    AIModelSettings settings{modelDefaults, keychain};
    AISharingConsentStore consent{modelDefaults};
    DraftQuestionEditorBridge bridge;
    ConversationMaterial material;
    std::unique_ptr<ConversationSession> session;
    std::unique_ptr<ConversationDraftView> view;
    VelloraIconButton* toggle = nullptr;
};

TEST_F(ConversationDraftViewTest, startsEmptyAndSignalsOnlyRealChanges)
{
    ConversationResultActionState pending;
    pending.pendingAnswerIDs.insert(QUuid::createUuid());
    const struct {
        const char* name;
        QSignalSpy spy;
        std::function<void()> change;
    } cases[] = {
        {"question", QSignalSpy(view.get(), &ConversationDraftView::questionChanged),
         [&] { view->setQuestion(QStringLiteral("Why?")); }},
        {"input focus", QSignalSpy(view.get(), &ConversationDraftView::inputFocusedChanged),
         [&] { view->setInputFocused(true); }},
        {"result actions", QSignalSpy(view.get(), &ConversationDraftView::resultActionsChanged),
         [&] { view->setResultActions(pending); }},
    };
    for (const auto& c : cases) {
        c.change();
        c.change();
        EXPECT_EQ(c.spy.count(), 1) << c.name;
    }
    EXPECT_EQ(view->question(), QStringLiteral("Why?"));
    EXPECT_TRUE(view->inputFocused());
    EXPECT_EQ(view->resultActions(), pending);
}

TEST_F(ConversationDraftViewTest, theToolbarCarriesTitleAndToggleInEachLanguage)
{
    ASSERT_TRUE(toggle);
    EXPECT_EQ(toggle->symbolName(), QStringLiteral("rectangle.stack"));
    EXPECT_EQ(toggle->buttonStyle(), (VelloraIconButtonStyle{32, false}));
    const struct {
        AppLanguage language;
        const char* title;
        const char* toggle;
    } cases[] = {
        {AppLanguage::english, "Ask AI", "Show or hide clipboard"},
        {AppLanguage::japanese, "AI に質問", "クリップボードを表示または非表示"},
    };
    for (const auto& c : cases) {
        Localization::shared().setLanguage(c.language);
        QStringList labels;
        for (const QLabel* label : view->findChildren<QLabel*>())
            labels << label->text();
        EXPECT_TRUE(labels.contains(QString::fromUtf8(c.title))) << c.title;
        EXPECT_EQ(toggle->accessibleName(), QString::fromUtf8(c.toggle));
        ASSERT_EQ(toggle->findChildren<VelloraTooltip*>().size(), 1) << "one tooltip, its text replaced";
        EXPECT_EQ(toggle->findChild<VelloraTooltip*>()->text(), QString::fromUtf8(c.toggle));
    }
}

TEST_F(ConversationDraftViewTest, theToggleActsOnTheLiveStateWithoutACapture)
{
    const struct {
        const char* name;
        std::function<void()> arrange;
        bool expectShown;
    } cases[] = {
        {"no bar controller yet", [] {}, true},
        {"bar hidden",
         [&] {
             showBarAndWait();
             controller->hideBar();
             ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden));
         },
         true},
        {"bar shown", [&] { showBarAndWait(); }, false},
    };
    for (const auto& c : cases) {
        c.arrange();
        toggle->click(); // a keyboard activation: no mouse-down came first
        EXPECT_EQ(isShowingOrShown(barPhase()), c.expectShown) << c.name;
        if (c.expectShown) {
            ASSERT_TRUE(waitForPhase(BarPhaseKind::shown)) << c.name;
            EXPECT_TRUE(controller->barController()->isKeyMonitorEnabled()) << c.name;
        } else {
            ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden)) << c.name;
            EXPECT_FALSE(controller->barController()->isKeyMonitorEnabled()) << c.name;
        }
        controller->hideBar();
        ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden));
    }
}

TEST_F(ConversationDraftViewTest, aClickActsOnTheBarStateCapturedAtMouseDown)
{
    showBarAndWait();
    QTest::mousePress(toggle, Qt::LeftButton);
    EXPECT_EQ(view->clipboardPresentedOnMouseDown(), true);
    controller->hideBar(); // the bar hides itself on the click outside it
    ASSERT_EQ(barPhase(), BarPhaseKind::hiding);
    QTest::mouseRelease(toggle, Qt::LeftButton);
    EXPECT_FALSE(view->clipboardPresentedOnMouseDown()) << "the action consumes the capture";
    EXPECT_FALSE(isShowingOrShown(barPhase())) << "the live state would have shown it again";
    ASSERT_TRUE(waitForPhase(BarPhaseKind::hidden));

    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_TRUE(isShowingOrShown(barPhase())) << "a hidden bar shows on a click";
}

TEST_F(ConversationDraftViewTest, otherClicksAndKeyPressesClearTheCapture)
{
    QTest::mousePress(toggle, Qt::LeftButton);
    EXPECT_EQ(view->clipboardPresentedOnMouseDown(), false) << "no bar controller counts as hidden";
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(5, 300));
    EXPECT_EQ(view->clipboardPresentedOnMouseDown(), false) << "a drag off keeps the capture";

    QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(5, 300));
    EXPECT_FALSE(view->clipboardPresentedOnMouseDown()) << "a click elsewhere clears it";

    QTest::mousePress(toggle, Qt::LeftButton);
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(5, 300));
    QTest::mousePress(toggle, Qt::RightButton);
    EXPECT_FALSE(view->clipboardPresentedOnMouseDown()) << "only the left button captures";

    QTest::mousePress(toggle, Qt::LeftButton);
    QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(5, 300));
    showBarAndWait();
    QTest::keyClick(view.get(), Qt::Key_A);
    EXPECT_FALSE(view->clipboardPresentedOnMouseDown()) << "a key press clears it";
    toggle->click();
    EXPECT_FALSE(isShowingOrShown(barPhase())) << "the keyboard activation acts on the live state";
}

TEST_F(ConversationDraftViewTest, theCaptureWatchesOnlyWhileTheToggleIsShown)
{
    auto* capture = toggle->findChild<ClipboardToggleMouseCapture*>();
    ASSERT_TRUE(capture);
    EXPECT_TRUE(capture->isMonitoring());
    view->hide();
    EXPECT_FALSE(capture->isMonitoring());
    view->show();
    view->show();
    EXPECT_TRUE(capture->isMonitoring());
    view.reset();
    QWidget other;
    other.show();
    QTest::mousePress(&other, Qt::LeftButton); // no filter of a dismantled view is left behind
}

TEST_F(ConversationDraftViewTest, theSheetsFollowTheirState)
{
    EXPECT_EQ(view->consentSheet(), nullptr);
    ConversationSendRequest first;
    first.question = QStringLiteral("first");
    ConversationSendRequest second;
    second.question = QStringLiteral("second");
    QSignalSpy requests(view.get(), &ConversationDraftView::sharingRequestChanged);
    view->setSharingRequest(first);
    view->setSharingRequest(first);
    EXPECT_EQ(requests.count(), 1);
    ASSERT_TRUE(view->consentSheet());
    EXPECT_TRUE(view->consentSheet()->isVisible());
    EXPECT_EQ(view->consentSheet()->request(), first);
    view->setSharingRequest(second);
    ASSERT_TRUE(view->consentSheet());
    EXPECT_EQ(view->consentSheet()->request(), second) << "a new request gets its own sheet";
    view->setSharingRequest(std::nullopt);
    EXPECT_EQ(view->consentSheet(), nullptr);

    QSignalSpy previews(view.get(), &ConversationDraftView::previewMaterialChanged);
    view->setPreviewMaterial(material);
    ASSERT_TRUE(view->previewSheet());
    EXPECT_TRUE(view->previewSheet()->isVisible());
    auto* preview = view->previewSheet()->findChild<MaterialPreview*>();
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->material(), material);
    view->previewSheet()->reject(); // Escape
    EXPECT_FALSE(view->previewMaterial());
    EXPECT_EQ(view->previewSheet(), nullptr);
    EXPECT_EQ(previews.count(), 2);
}

} // namespace
