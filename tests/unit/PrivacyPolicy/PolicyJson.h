#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <optional>

// A small catalogue that passes validation, and edits of it by path ("locales/ja/sections/1").
namespace PolicyJson {

inline const QStringList languageCodes{QStringLiteral("zh-Hans"), QStringLiteral("en"),
                                       QStringLiteral("zh-Hant"), QStringLiteral("ja")};
inline const QStringList sectionIDs{QStringLiteral("local"),         QStringLiteral("ai"),
                                    QStringLiteral("control"),       QStringLiteral("sync"),
                                    QStringLiteral("website"),       QStringLiteral("basis"),
                                    QStringLiteral("international"), QStringLiteral("rights"),
                                    QStringLiteral("security"),      QStringLiteral("contact")};
inline const QStringList navigationKeys{QStringLiteral("skip"),     QStringLiteral("home"),
                                        QStringLiteral("product"),  QStringLiteral("privacy"),
                                        QStringLiteral("support"),  QStringLiteral("contents"),
                                        QStringLiteral("language"), QStringLiteral("footer")};
inline const QString policyDate = QStringLiteral("2026-12-07");

// Every document has one lead paragraph and one paragraph per section, except the second
// section ("ai"), which has two.
inline QJsonObject document(const QString& code)
{
    QJsonArray sections;
    for (qsizetype i = 0; i < sectionIDs.size(); ++i) {
        QJsonArray paragraphs{QStringLiteral("%1 paragraph of %2").arg(code, sectionIDs[i])};
        if (i == 1)
            paragraphs.append(QStringLiteral("%1 second paragraph").arg(code));
        sections.append(
            QJsonObject{{QStringLiteral("id"), sectionIDs[i]},
                        {QStringLiteral("title"), QStringLiteral("%1 %2").arg(code, sectionIDs[i])},
                        {QStringLiteral("paragraphs"), paragraphs}});
    }
    QJsonObject navigation;
    for (const QString& key : navigationKeys)
        navigation.insert(key, QStringLiteral("%1 %2").arg(code, key));
    return QJsonObject{{QStringLiteral("languageName"), QStringLiteral("Language %1").arg(code)},
                       {QStringLiteral("title"), QStringLiteral("Policy %1").arg(code)},
                       {QStringLiteral("description"), QStringLiteral("Description %1").arg(code)},
                       {QStringLiteral("lead"), QJsonArray{QStringLiteral("Lead %1").arg(code)}},
                       {QStringLiteral("updatedLabel"), QStringLiteral("Updated %1").arg(code)},
                       {QStringLiteral("sourceVersion"), policyDate},
                       {QStringLiteral("navigation"), navigation},
                       {QStringLiteral("sections"), sections}};
}

inline QJsonObject catalog()
{
    QJsonObject locales;
    for (const QString& code : languageCodes)
        locales.insert(code, document(code));
    return QJsonObject{{QStringLiteral("schemaVersion"), 1},
                       {QStringLiteral("policyVersion"), policyDate},
                       {QStringLiteral("sourceLocale"), QStringLiteral("en")},
                       {QStringLiteral("supportEmail"), QStringLiteral("support@vellora.app")},
                       {QStringLiteral("locales"), locales}};
}

// The node with the value at the path replaced (or removed, with no value). Numeric
// components index arrays; the index one past the end appends.
inline QJsonValue edited(const QJsonValue& node, QStringList path, const std::optional<QJsonValue>& value)
{
    const QString head = path.takeFirst();
    if (node.isArray()) {
        QJsonArray array = node.toArray();
        const int index = head.toInt();
        if (!path.isEmpty())
            array[index] = edited(array[index], path, value);
        else if (value && index == array.size())
            array.append(*value);
        else if (value)
            array[index] = *value;
        else
            array.removeAt(index);
        return array;
    }
    QJsonObject object = node.toObject();
    if (!path.isEmpty())
        object[head] = edited(object[head], path, value);
    else if (value)
        object[head] = *value;
    else
        object.remove(head);
    return object;
}

inline void set(QJsonObject& root, const QString& path, const QJsonValue& value)
{
    root = edited(root, path.split(u'/'), value).toObject();
}

inline void remove(QJsonObject& root, const QString& path)
{
    root = edited(root, path.split(u'/'), std::nullopt).toObject();
}

inline QJsonValue at(const QJsonObject& root, const QString& path)
{
    QJsonValue node = root;
    for (const QString& part : path.split(u'/'))
        node = node.isArray() ? node.toArray().at(part.toInt()) : node.toObject().value(part);
    return node;
}

inline void setInEveryDocument(QJsonObject& root, const QString& path, const QJsonValue& value)
{
    for (const QString& code : languageCodes)
        set(root, QStringLiteral("locales/%1/%2").arg(code, path), value);
}

inline QByteArray bytes(const QJsonObject& root)
{
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

} // namespace PolicyJson
