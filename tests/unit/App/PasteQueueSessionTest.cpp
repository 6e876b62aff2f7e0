#include "Models/PasteQueueSession.h"

#include <gtest/gtest.h>

namespace {

QList<ClipItem> clips(int count)
{
    QList<ClipItem> list;
    for (int i = 0; i < count; ++i) {
        ClipItem item;
        item.text = QStringLiteral("clip %1").arg(i);
        list.append(item);
    }
    return list;
}

TEST(PasteQueueSession, pastesEachClipOnceInOrderAndEndsAfterTheLast)
{
    PasteQueueSession queue;
    const QList<ClipItem> items = clips(3);
    queue.start(items);
    const QUuid session = queue.sessionID();
    EXPECT_FALSE(session.isNull());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(queue.isActive()) << i;
        const std::optional<PasteQueueSession::Ticket> ticket = queue.takeNext();
        ASSERT_TRUE(ticket) << i;
        EXPECT_EQ(ticket->item.id, items.at(i).id);
        EXPECT_EQ(ticket->sessionID, session);
        EXPECT_TRUE(queue.isDispatching());
        EXPECT_FALSE(queue.takeNext()) << "one paste at a time";
        EXPECT_TRUE(queue.finish(*ticket, true));
    }
    EXPECT_FALSE(queue.isActive());
    EXPECT_TRUE(queue.sessionID().isNull());
    EXPECT_FALSE(queue.takeNext());
}

TEST(PasteQueueSession, aFailedPasteKeepsThePosition)
{
    PasteQueueSession queue;
    const QList<ClipItem> items = clips(2);
    queue.start(items);
    const auto first = queue.takeNext();
    ASSERT_TRUE(first);
    EXPECT_TRUE(queue.finish(*first, false));
    EXPECT_EQ(queue.position(), 0);
    const auto again = queue.takeNext();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->item.id, items.at(0).id);
}

TEST(PasteQueueSession, staleTicketsChangeNothing)
{
    const struct {
        const char* name;
        std::function<void(PasteQueueSession&)> between;
        qsizetype expectedPosition;
        bool expectedActive;
    } cases[] = {
        {"queue ended", [](PasteQueueSession& q) { q.end(); }, 0, false},
        {"queue restarted", [](PasteQueueSession& q) { q.start(clips(2)); }, 0, true},
    };
    for (const auto& c : cases) {
        PasteQueueSession queue;
        queue.start(clips(2));
        const auto ticket = queue.takeNext();
        ASSERT_TRUE(ticket) << c.name;
        c.between(queue);
        EXPECT_FALSE(queue.finish(*ticket, true)) << c.name;
        EXPECT_EQ(queue.position(), c.expectedPosition) << c.name;
        EXPECT_EQ(queue.isActive(), c.expectedActive) << c.name;
        EXPECT_FALSE(queue.isDispatching()) << c.name;
    }

    PasteQueueSession queue;
    queue.start(clips(3));
    const auto ticket = queue.takeNext();
    ASSERT_TRUE(queue.finish(*ticket, true));
    EXPECT_FALSE(queue.finish(*ticket, true)) << "a ticket is handed back once";
    EXPECT_EQ(queue.position(), 1);
}

TEST(PasteQueueSession, anEmptyListEndsTheQueue)
{
    PasteQueueSession queue;
    queue.start(clips(2));
    queue.start({});
    EXPECT_FALSE(queue.isActive());
    EXPECT_FALSE(queue.takeNext());
}

} // namespace
