#pragma once

#include "Platform/CloudContainer.h"

#include <QMutex>
#include <QMutexLocker>
#include <QThread>

// A cloud container whose signature and answers the test chooses. `pages` are handed out
// in order, the first to query() and the rest to continueQuery(); `failure` is thrown by
// every query call instead. Calls are recorded; queries may come from a worker thread.
class FakeCloudContainer final : public Platform::CloudContainer {
public:
    struct Continuation {
        QString containerIdentifier;
        QByteArray cursor;
        QStringList desiredKeys;
        int resultsLimit = 0;
    };

    std::optional<Platform::CodeSigningInformation> signingInformation() const override
    {
        ++signingCalls;
        return signing;
    }

    Platform::CloudQueryPage query(const Platform::CloudQuery& query) override
    {
        QMutexLocker lock(&mutex);
        queries.append(query);
        queryThreads.append(QThread::currentThread());
        return nextPage();
    }

    Platform::CloudQueryPage continueQuery(const QString& containerIdentifier, const QByteArray& cursor,
                                           const QStringList& desiredKeys, int resultsLimit) override
    {
        QMutexLocker lock(&mutex);
        continuations.append({containerIdentifier, cursor, desiredKeys, resultsLimit});
        return nextPage();
    }

    std::optional<Platform::CodeSigningInformation> signing;
    QList<Platform::CloudQueryPage> pages;
    std::optional<Platform::CloudError> failure;
    QList<Platform::CloudQuery> queries;
    QList<QThread*> queryThreads;
    QList<Continuation> continuations;
    mutable int signingCalls = 0;
    QMutex mutex;

private:
    Platform::CloudQueryPage nextPage()
    {
        if (failure)
            throw *failure;
        return pages.isEmpty() ? Platform::CloudQueryPage{} : pages.takeFirst();
    }
};
