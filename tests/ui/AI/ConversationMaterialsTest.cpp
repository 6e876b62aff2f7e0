#include "ConversationViewFixture.h"
#include "UI/AI/ConversationMaterialsColumn.h"
#include "UI/AI/MaterialCard.h"
#include "UI/AI/MaterialExcerpt.h"
#include "UI/AI/MaterialImageView.h"
#include "UI/AI/MaterialPreview.h"
#include "UI/VelloraIconButton.h"
#include "UI/VelloraTypography.h"

#include <QBuffer>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

QByteArray pngBytes(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

ConversationMaterial material(const QString& title, std::optional<QString> text,
                              std::optional<QByteArray> image)
{
    ConversationMaterial m;
    m.title = title;
    m.source = QStringLiteral("Source of ") + title;
    m.text = std::move(text);
    m.imageData = std::move(image);
    return m;
}

const QString sevenLines = QStringLiteral("one\ntwo\nthree\nfour\nfive\nsix\nseven");

enum class Detail { image, text, none };

struct CardCase {
    ConversationMaterial material;
    Detail detail;
    bool codeFont;
};

class ConversationMaterialsTest : public ConversationViewFixture {
protected:
    ConversationMaterialsColumn* column() const { return view->findChild<ConversationMaterialsColumn*>(); }

    MaterialPreview* openPreview(int index)
    {
        column()->cards().at(index)->click();
        EXPECT_TRUE(QTest::qWaitFor([this] { return view->previewSheet() != nullptr; }, waitMs));
        return view->previewSheet() ? view->previewSheet()->findChild<MaterialPreview*>() : nullptr;
    }
};

TEST_F(ConversationMaterialsTest, CardsShowSourceAndImageOrTextInListOrder)
{
    const QList<CardCase> cases{
        {material(QStringLiteral("Plain"), sevenLines, std::nullopt), Detail::text, false},
        {material(QStringLiteral("Picture"), std::nullopt, pngBytes({40, 20})), Detail::image, false},
        {material(QStringLiteral("Both"), QStringLiteral("caption"), pngBytes({10, 10})), Detail::image,
         false},
        {material(QStringLiteral("Broken"), std::nullopt, QByteArray("not an image")), Detail::none, false},
        {material(QStringLiteral("Broken text"), QStringLiteral("kept"), QByteArray("\x89PNG")), Detail::text,
         false},
        {material(QStringLiteral("Code"), QStringLiteral("main.c:3: error: missing ;"), std::nullopt),
         Detail::text, true},
    };
    QList<ConversationMaterial> materials;
    for (const CardCase& c : cases)
        materials << c.material;
    makeView(materials);

    ASSERT_TRUE(column());
    EXPECT_EQ(column()->countBadge()->text(), QStringLiteral("6"));
    ASSERT_EQ(column()->cards().size(), cases.size());
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const CardCase& c = cases.at(i);
        SCOPED_TRACE(c.material.title.toStdString());
        MaterialCard* card = column()->cards().at(i);
        EXPECT_EQ(card->material(), c.material);
        EXPECT_EQ(card->accessibleName(), QStringLiteral("Preview material: ") + c.material.title);
        EXPECT_EQ(card->toolTip(), QStringLiteral("Click to preview the full material"));
        QStringList labels;
        for (const QLabel* label : card->findChildren<QLabel*>())
            labels << label->text();
        EXPECT_TRUE(labels.contains(c.material.source));
        EXPECT_FALSE(labels.contains(c.material.title)) << "the card shows the source, never the title";

        switch (c.detail) {
        case Detail::image:
            ASSERT_TRUE(qobject_cast<MaterialImageView*>(card->detail()));
            EXPECT_EQ(card->detail()->height(), MaterialCard::imageHeight);
            break;
        case Detail::text: {
            auto* excerpt = qobject_cast<MaterialExcerpt*>(card->detail());
            ASSERT_TRUE(excerpt);
            EXPECT_EQ(excerpt->text(), *c.material.text);
            const QFont expected = c.codeFont ? VelloraTypography::code() : VelloraTypography::source();
            EXPECT_EQ(excerpt->font().family(), expected.family());
            EXPECT_EQ(excerpt->font().pixelSize(), expected.pixelSize());
            break;
        }
        case Detail::none:
            EXPECT_FALSE(card->detail());
            break;
        }
    }
}

TEST_F(ConversationMaterialsTest, TheExcerptIsCutAfterTheFifthLine)
{
    const struct {
        QString text;
        QStringList lines;
    } cases[] = {
        {sevenLines, {"one", "two", "three", "four", "five\u2026"}},
        {QStringLiteral("a\nb\nc\nd\ne"), {"a", "b", "c", "d", "e"}},
        {QStringLiteral("a\n\nc"), {"a", "", "c"}},
        {QStringLiteral("single"), {"single"}},
    };
    for (const auto& c : cases) {
        MaterialExcerpt excerpt(c.text, MaterialCard::excerptLines, 4);
        excerpt.setFont(VelloraTypography::source());
        EXPECT_EQ(excerpt.visibleLines(400), c.lines) << c.text.toStdString();
    }
    MaterialExcerpt wrapped(QStringLiteral("word ").repeated(200), MaterialCard::excerptLines, 4);
    const QStringList lines = wrapped.visibleLines(120);
    ASSERT_EQ(lines.size(), MaterialCard::excerptLines);
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("\u2026")));
    EXPECT_GT(wrapped.heightForWidth(120), MaterialExcerpt(QStringLiteral("word"), 5, 4).heightForWidth(120));
}

TEST_F(ConversationMaterialsTest, APreviewShowsTheWholeTextAndEscapeClosesIt)
{
    const ConversationMaterial code = material(
        QStringLiteral("Long code"), QStringLiteral("func a()\n") + sevenLines, QByteArray("garbage"));
    makeView({code, material(QStringLiteral("Image"), QStringLiteral("hidden"), pngBytes({64, 32}))});

    MaterialPreview* preview = openPreview(0);
    ASSERT_TRUE(preview);
    EXPECT_EQ(view->previewMaterial(), code);
    EXPECT_EQ(preview->size(), MaterialPreview::fixedSize);
    auto* text = qobject_cast<QPlainTextEdit*>(preview->body());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->toPlainText(), *code.text);
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(text->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_NE(text->font().family(), VelloraTypography::code().family())
        << "the preview uses the default font";
    QStringList labels;
    for (const QLabel* label : preview->findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains(QStringLiteral("Long code")));
    EXPECT_EQ(preview->closeButton()->accessibleName(), QStringLiteral("Close"));
    EXPECT_EQ(preview->closeButton()->toolTip(), QStringLiteral("Close · Esc"));
    EXPECT_EQ(preview->closeButton()->symbolName(), QStringLiteral("xmark"));

    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_FALSE(view->previewMaterial());
    EXPECT_TRUE(QTest::qWaitFor([this] { return view->previewSheet() == nullptr; }, waitMs));
    EXPECT_TRUE(view->isVisible()) << "the conversation window stays as it was";

    preview = openPreview(1);
    ASSERT_TRUE(preview);
    auto* image = qobject_cast<MaterialImageView*>(preview->body());
    ASSERT_TRUE(image) << "an image that decodes wins over the text";
    EXPECT_EQ(image->image().size(), QSize(64, 32));
    const QRect drawn = image->imageRect();
    EXPECT_EQ(drawn.width() * 32, drawn.height() * 64) << "aspect ratio kept";
    preview->closeButton()->click();
    EXPECT_FALSE(view->previewMaterial());
}

TEST_F(ConversationMaterialsTest, AnUndecodableImageWithoutTextPreviewsAnEmptyTextArea)
{
    makeView({material(QStringLiteral("Broken"), std::nullopt, QByteArray("nope"))});
    MaterialPreview* preview = openPreview(0);
    ASSERT_TRUE(preview);
    auto* text = qobject_cast<QPlainTextEdit*>(preview->body());
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->toPlainText().isEmpty());
}

} // namespace
