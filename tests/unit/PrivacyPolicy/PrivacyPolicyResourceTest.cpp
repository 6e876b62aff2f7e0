#include "PolicyJson.h"
#include "fakes/FakeBundle.h"

#include "Platform/Bundle.h"
#include "Settings/PrivacyPolicyCatalog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

QByteArray realResource()
{
    QFile file(QStringLiteral(VELLORA_SOURCE_DIR "/resources/json/PrivacyPolicy.json"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// A bundle in a temporary folder; `place` puts the resource (or something else) into it.
struct BundleRow {
    const char* name;
    std::function<void(const QDir& root)> place;
    bool hasCatalog;
};

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(PrivacyPolicyLoadTest, LoadsOnlyAWholeValidResourceFromTheBundle)
{
    const QByteArray valid = PolicyJson::bytes(PolicyJson::catalog());
    QJsonObject broken = PolicyJson::catalog();
    PolicyJson::set(broken, QStringLiteral("locales/ja/sections/0/paragraphs/0"), QStringLiteral("<p>x"));
    const std::vector<BundleRow> rows{
        {"valid resource",
         [&](const QDir& r) { write(r.filePath(QStringLiteral("json/PrivacyPolicy.json")), valid); }, true},
        {"no resource", [](const QDir&) {}, false},
        {"resource outside the json folder",
         [&](const QDir& r) { write(r.filePath(QStringLiteral("PrivacyPolicy.json")), valid); }, false},
        {"other extension",
         [&](const QDir& r) { write(r.filePath(QStringLiteral("json/PrivacyPolicy.txt")), valid); }, false},
        {"a folder in its place", [](const QDir& r) { r.mkpath(QStringLiteral("json/PrivacyPolicy.json")); },
         false},
        {"empty file",
         [](const QDir& r) { write(r.filePath(QStringLiteral("json/PrivacyPolicy.json")), {}); }, false},
        {"truncated",
         [&](const QDir& r) {
             write(r.filePath(QStringLiteral("json/PrivacyPolicy.json")), valid.left(valid.size() / 2));
         },
         false},
        {"fails validation",
         [&](const QDir& r) {
             write(r.filePath(QStringLiteral("json/PrivacyPolicy.json")), PolicyJson::bytes(broken));
         },
         false},
    };
    for (const BundleRow& row : rows) {
        SCOPED_TRACE(row.name);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        row.place(QDir(folder.path()));
        FakeBundle bundle;
        bundle.root = folder.path();
        const std::optional<PrivacyPolicyCatalog> loaded = PrivacyPolicyCatalog::load(bundle);
        EXPECT_EQ(loaded.has_value(), row.hasCatalog);
        if (loaded) {
            EXPECT_EQ(*loaded, *PrivacyPolicyCatalog::fromJson(valid));
        }
    }
}

TEST(PrivacyPolicyResourceTest, TheShippedPolicyIsValidAndComplete)
{
    const std::optional<PrivacyPolicyCatalog> loaded = PrivacyPolicyCatalog::load(Platform::mainBundle());
    ASSERT_TRUE(loaded) << "resources/json/PrivacyPolicy.json is missing from the bundle or fails validation";
    EXPECT_NO_THROW(loaded->validate());
    EXPECT_EQ(*loaded, *PrivacyPolicyCatalog::fromJson(realResource()));
    for (auto it = loaded->locales.begin(); it != loaded->locales.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        const PrivacyPolicyDocument& document = it.value();
        // The folders, files and requests it names are checked in PrivacyPolicyFactsTest.
        QString all = document.lead.join(u'\n');
        for (const PrivacyPolicySection& section : document.sections)
            all += section.paragraphs.join(u'\n');
        for (const QString& fact :
             {QStringLiteral("HTTPS"), loaded->supportEmail, PrivacyPolicyCatalog::websiteBaseURL().host()})
            EXPECT_TRUE(all.contains(fact)) << fact.toStdString();
        EXPECT_TRUE(document.sections.last().paragraphs.join(u' ').contains(loaded->supportEmail));
    }
}

TEST(PrivacyPolicyResourceTest, BundledIsBuiltOnceAndSharedAcrossThreads)
{
    QList<const PrivacyPolicyCatalog*> seen = QtConcurrent::blockingMapped(
        QList<int>{0, 1, 2, 3, 4, 5, 6, 7}, [](int) -> const PrivacyPolicyCatalog* {
            const std::optional<PrivacyPolicyCatalog>& catalog = PrivacyPolicyCatalog::bundled();
            return catalog ? &*catalog : nullptr;
        });
    ASSERT_NE(seen.first(), nullptr);
    for (const PrivacyPolicyCatalog* catalog : seen)
        EXPECT_EQ(catalog, seen.first());
    EXPECT_EQ(&*PrivacyPolicyCatalog::bundled(), seen.first());
    EXPECT_EQ(*PrivacyPolicyCatalog::bundled(), *PrivacyPolicyCatalog::load(Platform::mainBundle()));
}

// A result is either nothing or a catalogue that passes every rule in full.
void expectWholeOrNothing(const std::optional<PrivacyPolicyCatalog>& result, int& wholes, int& nothings)
{
    if (!result) {
        ++nothings;
        return;
    }
    ++wholes;
    EXPECT_NO_THROW(result->validate());
    ASSERT_EQ(result->locales.size(), 4);
    for (const PrivacyPolicyDocument& document : result->locales)
        EXPECT_EQ(document.sections.size(), 10);
}

TEST(PrivacyPolicyFuzzTest, ByteMutationsOfTheShippedPolicyGiveAWholeCatalogueOrNone)
{
    constexpr int rounds = 1500;
    const QByteArray original = realResource();
    const QByteArray insertions[] = {"<b>", "\"", "{", "]", ",", "\\u0000", "\xff", " ", "<!", "0"};
    std::mt19937 random(20261207);
    int wholes = 0;
    int nothings = 0;
    for (int round = 0; round < rounds; ++round) {
        QByteArray bytes = original;
        const int edits = 1 + int(random() % 3);
        for (int e = 0; e < edits; ++e) {
            const qsizetype at = qsizetype(random() % quint32(bytes.size()));
            switch (random() % 5) {
            case 0:
                bytes[at] = char(random() % 256);
                break;
            case 1:
                bytes.remove(at, 1 + qsizetype(random() % 16));
                break;
            case 2:
                bytes.insert(at, insertions[random() % std::size(insertions)]);
                break;
            case 3:
                bytes.truncate(at);
                break;
            default:
                bytes.insert(at, bytes.mid(qsizetype(random() % quint32(bytes.size())), 24));
                break;
            }
            if (bytes.isEmpty())
                break;
        }
        expectWholeOrNothing(PrivacyPolicyCatalog::fromJson(bytes), wholes, nothings);
    }
    // Both outcomes occur: a changed letter inside a paragraph keeps the policy valid.
    EXPECT_GT(wholes, 0);
    EXPECT_GT(nothings, 0);
}

// Removes, retypes or empties one value somewhere in the tree.
QJsonValue mutatedTree(const QJsonValue& node, std::mt19937& random)
{
    const bool isContainer = node.isObject() || node.isArray();
    if (!isContainer || random() % 4 == 0) {
        const QJsonValue replacements[] = {QJsonValue(),
                                           QJsonValue(QString()),
                                           QJsonValue(7),
                                           QJsonValue(true),
                                           QJsonValue(QJsonArray{}),
                                           QJsonValue(QJsonObject{}),
                                           QJsonValue(QStringLiteral("<i>x</i>")),
                                           QJsonValue(QJsonValue::Null)};
        return replacements[random() % std::size(replacements)];
    }
    if (node.isArray()) {
        QJsonArray array = node.toArray();
        if (array.isEmpty())
            return QJsonValue(QStringLiteral("x"));
        const qsizetype i = qsizetype(random() % quint32(array.size()));
        const QJsonValue child = mutatedTree(array[i], random);
        if (child.isUndefined())
            array.removeAt(i);
        else
            array[i] = child;
        return array;
    }
    QJsonObject object = node.toObject();
    if (object.isEmpty())
        return QJsonValue(QStringLiteral("x"));
    const QString key = object.keys().at(qsizetype(random() % quint32(object.size())));
    const QJsonValue child = mutatedTree(object.value(key), random);
    if (child.isUndefined())
        object.remove(key);
    else
        object.insert(key, child);
    return object;
}

TEST(PrivacyPolicyFuzzTest, StructuralMutationsOfTheShippedPolicyGiveAWholeCatalogueOrNone)
{
    constexpr int rounds = 600;
    const QJsonObject original = QJsonDocument::fromJson(realResource()).object();
    ASSERT_FALSE(original.isEmpty());
    std::mt19937 random(7);
    int wholes = 0;
    int nothings = 0;
    for (int round = 0; round < rounds; ++round) {
        const QJsonValue mutated = mutatedTree(original, random);
        const QByteArray json = mutated.isObject() ? PolicyJson::bytes(mutated.toObject()) : QByteArray("7");
        expectWholeOrNothing(PrivacyPolicyCatalog::fromJson(json), wholes, nothings);
    }
    EXPECT_GT(nothings, rounds / 2);
}

} // namespace
