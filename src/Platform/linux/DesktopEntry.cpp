#include "Platform/linux/DesktopEntry.h"

#include <QRegularExpression>
#include <QSet>

namespace Platform {

namespace {

const QString mainGroup = QStringLiteral("Desktop Entry");

// The escapes of the desktop-entry string types: \s \n \t \r \\.
QString unescape(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out.append(QLatin1Char(' '));
            break;
        case 'n':
            out.append(QLatin1Char('\n'));
            break;
        case 't':
            out.append(QLatin1Char('\t'));
            break;
        case 'r':
            out.append(QLatin1Char('\r'));
            break;
        default:
            out.append(next);
            break;
        }
    }
    return out;
}

struct KeyValue {
    QString key;
    QString locale;
    QString value;
};

std::optional<KeyValue> splitLine(const QString& line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return std::nullopt;
    QString key = line.left(equals).trimmed();
    QString locale;
    const qsizetype bracket = key.indexOf(QLatin1Char('['));
    if (bracket >= 0) {
        if (!key.endsWith(QLatin1Char(']')))
            return std::nullopt;
        locale = key.mid(bracket + 1, key.size() - bracket - 2);
        key.truncate(bracket);
    }
    return KeyValue{key, locale, unescape(line.mid(equals + 1).trimmed())};
}

bool isEnvironmentAssignment(const QString& word)
{
    static const QRegularExpression assignment(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*="));
    return assignment.match(word).hasMatch();
}

// "zh_CN.UTF-8@mod" -> language "zh", country "CN", modifier "mod".
struct LocaleParts {
    QString language;
    QString country;
    QString modifier;
};

LocaleParts splitLocale(QString locale)
{
    LocaleParts parts;
    const qsizetype at = locale.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        parts.modifier = locale.mid(at + 1);
        locale.truncate(at);
    }
    const qsizetype dot = locale.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        locale.truncate(dot);
    const qsizetype underscore = locale.indexOf(QLatin1Char('_'));
    parts.language = underscore >= 0 ? locale.left(underscore) : locale;
    parts.country = underscore >= 0 ? locale.mid(underscore + 1) : QString();
    return parts;
}

} // namespace

std::optional<DesktopEntry> DesktopEntry::parse(const QByteArray& contents)
{
    DesktopEntry entry;
    QString type;
    bool inMainGroup = false;
    QSet<QString> seen;
    const QStringList lines = QString::fromUtf8(contents).split(QLatin1Char('\n'));
    for (const QString& rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (inMainGroup)
                break;
            if (line != QLatin1Char('[') + mainGroup + QLatin1Char(']'))
                return std::nullopt;
            inMainGroup = true;
            continue;
        }
        if (!inMainGroup)
            return std::nullopt;
        const std::optional<KeyValue> kv = splitLine(line);
        if (!kv)
            continue;
        const QString fullKey = kv->key + QLatin1Char('[') + kv->locale + QLatin1Char(']');
        if (seen.contains(fullKey))
            continue;
        seen.insert(fullKey);
        if (kv->key == QLatin1String("Name") && !kv->locale.isEmpty())
            entry.localizedNames.insert(kv->locale, kv->value);
        if (!kv->locale.isEmpty())
            continue;
        if (kv->key == QLatin1String("Type"))
            type = kv->value;
        else if (kv->key == QLatin1String("Name"))
            entry.name = kv->value;
        else if (kv->key == QLatin1String("Icon"))
            entry.icon = kv->value;
        else if (kv->key == QLatin1String("Exec"))
            entry.exec = kv->value;
        else if (kv->key == QLatin1String("TryExec"))
            entry.tryExec = kv->value;
        else if (kv->key == QLatin1String("StartupWMClass"))
            entry.startupWMClass = kv->value;
        else if (kv->key == QLatin1String("NoDisplay"))
            entry.noDisplay = kv->value == QLatin1String("true");
        else if (kv->key == QLatin1String("Hidden"))
            entry.hidden = kv->value == QLatin1String("true");
    }
    if (!inMainGroup || type != QLatin1String("Application") || entry.name.isEmpty())
        return std::nullopt;
    return entry;
}

QString DesktopEntry::idForRelativePath(const QString& relativePath)
{
    QString id = relativePath;
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    id.replace(QLatin1Char('/'), QLatin1Char('-'));
    return id;
}

QString DesktopEntry::nameForLocale(const QString& posixLocale) const
{
    const LocaleParts parts = splitLocale(posixLocale);
    QStringList candidates;
    const QString modifier = parts.modifier.isEmpty() ? QString() : QLatin1Char('@') + parts.modifier;
    if (!parts.country.isEmpty()) {
        if (!modifier.isEmpty())
            candidates << parts.language + QLatin1Char('_') + parts.country + modifier;
        candidates << parts.language + QLatin1Char('_') + parts.country;
    }
    if (!modifier.isEmpty())
        candidates << parts.language + modifier;
    candidates << parts.language;
    for (const QString& key : candidates) {
        const auto found = localizedNames.constFind(key);
        if (found != localizedNames.constEnd() && !found->isEmpty())
            return *found;
    }
    return name;
}

QString DesktopEntry::executableName() const
{
    const QString line = tryExec.isEmpty() ? exec : tryExec;
    QStringList words = splitExecLine(line);
    if (!words.isEmpty() && words.first().section(QLatin1Char('/'), -1) == QLatin1String("env"))
        words.removeFirst();
    while (!words.isEmpty() && isEnvironmentAssignment(words.first()))
        words.removeFirst();
    if (words.isEmpty())
        return {};
    return words.first().section(QLatin1Char('/'), -1);
}

QStringList splitExecLine(const QString& exec)
{
    QStringList words;
    QString current;
    bool quoted = false;
    bool inWord = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size())
                current.append(exec.at(++i));
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                current.append(c);
            continue;
        }
        if (c == QLatin1Char('"')) {
            quoted = true;
            inWord = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inWord)
                words.append(current);
            current.clear();
            inWord = false;
        } else {
            current.append(c);
            inWord = true;
        }
    }
    if (inWord)
        words.append(current);
    return words;
}

} // namespace Platform
