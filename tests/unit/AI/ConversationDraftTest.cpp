#include "AI/ConversationDraft.h"
#include "AI/ConversationResultAction.h"
#include "AITestSupport.h"
#include "Models/ClipItem.h"

namespace {

using Kind = ModelError::Kind;

ClipItem clip(ClipType type, std::optional<QString> text = {})
{
    ClipItem item;
    item.type = type;
    item.text = std::move(text);
    item.sourceAppName = QStringLiteral("Editor");
    item.sourceBundleID = QStringLiteral("org.example.Editor");
    return item;
}

ClipItem fileClip(const QString& path)
{
    ClipItem item = clip(ClipType::file);
    item.fileURLs = {QUrl::fromLocalFile(path)};
    return item;
}

const QByteArray pngBytes("\x89PNG\r\n\x1a\nimage");

TEST(ConversationDraft, TakesTextAndImageClipsInOrder)
{
    useEnglish();
    ClipItem longText =
        clip(ClipType::text, QStringLiteral("\n  First line that is rather long and goes on and on and "
                                            "on beyond sixty characters\nsecond"));
    ClipItem titled = clip(ClipType::link, QStringLiteral("https://example.com"));
    titled.customTitle = QStringLiteral(" Docs ");
    const ClipItem image = clip(ClipType::image);
    const ClipItem photo = fileClip(QStringLiteral("/tmp/Photo.JPG"));
    QList<const ClipItem*> read;

    const ConversationDraft draft = ConversationDraft::capture(
        {longText, clip(ClipType::color), image, fileClip(QStringLiteral("/tmp/a.pdf")), titled,
         clip(ClipType::richText, QStringLiteral("  ")), photo},
        [&](const ClipItem& item) -> std::optional<QByteArray> {
            read.append(&item);
            return pngBytes;
        });

    ASSERT_EQ(draft.materials.size(), 4);
    EXPECT_EQ(draft.materials[0].title,
              QStringLiteral("First line that is rather long and goes on and on and on bey") + QChar(0x2026));
    EXPECT_EQ(draft.materials[0].text, longText.text);
    EXPECT_EQ(draft.materials[0].source, QStringLiteral("Editor"));
    EXPECT_EQ(draft.materials[0].sourceBundleID, QStringLiteral("org.example.Editor"));
    EXPECT_EQ(draft.materials[0].sourceClipID, longText.id);
    EXPECT_EQ(draft.materials[1].title, QStringLiteral("Image"));
    EXPECT_EQ(draft.materials[1].imageData, pngBytes);
    EXPECT_FALSE(draft.materials[1].text);
    EXPECT_EQ(draft.materials[2].title, QStringLiteral("Docs"));
    EXPECT_EQ(draft.materials[3].title, QStringLiteral("Photo.JPG"));
    EXPECT_EQ(read.size(), 2);
    EXPECT_NE(draft.materials[0].id, draft.materials[1].id);
}

TEST(ConversationDraft, FailsWithAMessageWhenNothingIsUsableOrAnImageIsMissing)
{
    useEnglish();
    const auto noImage = [](const ClipItem&) -> std::optional<QByteArray> { return std::nullopt; };
    std::optional<ModelError> error = thrownBy([&] {
        ConversationDraft::capture({clip(ClipType::color), fileClip(QStringLiteral("/tmp/notes.txt"))},
                                   noImage);
    });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), Kind::noMaterials);
    EXPECT_EQ(error->errorDescription(), QStringLiteral("Select text or image clips to ask about."));
    EXPECT_EQ(thrownBy([&] { ConversationDraft::capture({}, noImage); })->kind(), Kind::noMaterials);

    error = thrownBy([&] {
        ConversationDraft::capture({clip(ClipType::text, QStringLiteral("t")), clip(ClipType::image)},
                                   noImage);
    });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), Kind::unreadableImage);
    EXPECT_EQ(
        error->errorDescription(),
        QStringLiteral("An image could not be read. Check that its file still exists, then try again."));
}

TEST(ConversationResultActionState, BeginsAndFinishesOncePerAnswer)
{
    ConversationResultActionState state;
    const QUuid a = QUuid::createUuid();
    EXPECT_FALSE(state.begin(ConversationResultAction::copy, a, QStringLiteral(" \n ")));
    EXPECT_TRUE(state.begin(ConversationResultAction::save, a, QStringLiteral("answer")));
    EXPECT_FALSE(state.begin(ConversationResultAction::copy, a, QStringLiteral("answer"))); // pending
    state.finish(ConversationResultAction::save, a, true);
    EXPECT_TRUE(state.savedAnswerIDs.contains(a));
    EXPECT_TRUE(state.pendingAnswerIDs.isEmpty());
    EXPECT_FALSE(state.begin(ConversationResultAction::save, a, QStringLiteral("answer"))); // saved before
    EXPECT_TRUE(state.begin(ConversationResultAction::paste, a, QStringLiteral("answer")));
    state.finish(ConversationResultAction::paste, a, false);

    const QUuid b = QUuid::createUuid();
    state.finish(ConversationResultAction::save, b, true); // never begun: not saved
    EXPECT_FALSE(state.savedAnswerIDs.contains(b));
    EXPECT_TRUE(state.begin(ConversationResultAction::save, b, QStringLiteral("x")));
    state.finish(ConversationResultAction::save, b, false);
    EXPECT_FALSE(state.savedAnswerIDs.contains(b));
    EXPECT_TRUE(state.pendingAnswerIDs.isEmpty());
}

} // namespace
