#include "UI/AI/AISharingConsentView.h"
#include "Util/Localization.h"
#include "support/WidgetLookup.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

ConversationSendRequest request(bool images, bool instructions, std::optional<qint64> history)
{
    ConversationSendRequest r;
    r.scope = AISharingScope{QStringLiteral("https://api.example.com/<b>v1</b>/chat/completions"), images,
                             instructions, history};
    r.model = QStringLiteral("gpt-test");
    r.materialCount = 3;
    r.question = QStringLiteral("Why?");
    return r;
}

QStringList texts(const QWidget& view)
{
    QStringList result;
    for (const QLabel* label : view.findChildren<QLabel*>())
        result << label->text();
    return result;
}

struct Counts {
    int cancelled = 0;
    int approved = 0;
};

class AISharingConsentViewTest : public ::testing::Test {
protected:
    void SetUp() override { Localization::shared().setLanguage(AppLanguage::english); }
    void TearDown() override { AISharingConsentView::setPrivacyPolicyHandler({}); }

    std::unique_ptr<AISharingConsentView> make(const ConversationSendRequest& r)
    {
        auto view = std::make_unique<AISharingConsentView>(
            r, [this] { ++counts.cancelled; }, [this] { ++counts.approved; }, &parent);
        view->open();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        return view;
    }

    QWidget parent;
    Counts counts;
};

TEST_F(AISharingConsentViewTest, StatesWhatTheRequestSendsAsPlainText)
{
    parent.show();
    auto view = make(request(true, true, std::nullopt));
    EXPECT_EQ(view->windowModality(), Qt::WindowModal);
    const QStringList shown = texts(*view);
    for (const char* expected :
         {"Send to this AI service?", "https://api.example.com/<b>v1</b>/chat/completions", "gpt-test",
          "3, including images", "All earlier turns of this conversation", "Included", "Service", "Model",
          "Materials", "Earlier turns", "Response instructions"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(expected))) << expected;
    for (const QLabel* label : view->findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(button(*view, QStringLiteral("Privacy Policy")));

    auto other = make(request(false, false, 4));
    const QStringList otherShown = texts(*other);
    EXPECT_TRUE(otherShown.contains(QStringLiteral("3, text only")));
    EXPECT_TRUE(otherShown.contains(QStringLiteral("Up to 4 earlier turns")));
    EXPECT_TRUE(otherShown.contains(QStringLiteral("Not included")));
    EXPECT_TRUE(texts(*make(request(false, false, 0))).contains(QStringLiteral("None")));
}

TEST_F(AISharingConsentViewTest, EscapeCancelsAndReturnApproves)
{
    parent.show();
    auto cancelled = make(request(false, false, 1));
    QTest::keyClick(cancelled.get(), Qt::Key_Escape);
    EXPECT_EQ(counts.cancelled, 1);
    EXPECT_EQ(counts.approved, 0);
    EXPECT_FALSE(cancelled->isVisible());

    auto approved = make(request(false, false, 1));
    QTest::keyClick(approved.get(), Qt::Key_Return);
    EXPECT_EQ(counts.approved, 1);
    EXPECT_EQ(counts.cancelled, 1);
}

TEST_F(AISharingConsentViewTest, ButtonsCallTheirActionOnly)
{
    parent.show();
    auto view = make(request(false, false, 1));
    QPushButton* agree = button(*view, QStringLiteral("Agree and Send"));
    ASSERT_TRUE(agree);
    EXPECT_TRUE(agree->isDefault());
    QTest::mouseClick(agree, Qt::LeftButton);
    EXPECT_EQ(counts.approved, 1);

    auto other = make(request(false, false, 1));
    QTest::mouseClick(button(*other, QStringLiteral("Cancel")), Qt::LeftButton);
    EXPECT_EQ(counts.cancelled, 1);
    EXPECT_EQ(counts.approved, 1);
}

TEST_F(AISharingConsentViewTest, PrivacyPolicyGoesThroughTheHook)
{
    parent.show();
    auto view = make(request(false, false, 1));
    QPushButton* link = button(*view, QStringLiteral("Privacy Policy"));
    ASSERT_TRUE(link);
    QTest::mouseClick(link, Qt::LeftButton); // no hook yet: nothing happens
    int opened = 0;
    AISharingConsentView::setPrivacyPolicyHandler([&] { ++opened; });
    QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(counts.cancelled + counts.approved, 0);
}

} // namespace
