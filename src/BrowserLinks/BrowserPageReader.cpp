#include "BrowserLinks/BrowserPageReader.h"

#include "Platform/BrowserScripting.h"
#include "Platform/LogCategories.h"

#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <variant>

namespace {

const QString unexpectedAnswerMessage = QStringLiteral("浏览器返回了未预期的数据格式。");
const QString scriptSetUpMessage = QStringLiteral("浏览器读取脚本初始化失败。");

constexpr qint64 nanosecondsPerMillisecond = 1'000'000;
constexpr qsizetype statusRowItems = 3;
constexpr qsizetype pageRowItems = 4;

// The tab-listing script; the bracketed marks are replaced per browser.
constexpr char16_t scriptTemplate[] = uR"SCRIPT(with timeout of [TIMEOUT] seconds
    tell application id "[BUNDLE-ID]"
        if not running then error "浏览器已退出。" number -600
        set collectedRows to {}
        set firstErrorMessage to ""
        set firstErrorCode to ""
        set browserWindows to every window
        repeat with windowIndex from 1 to count of browserWindows
            try
                set browserWindow to item windowIndex of browserWindows
                if [WINDOW-CONDITION] then
                set windowTabs to every tab of browserWindow
                repeat with tabIndex from 1 to count of windowTabs
                    try
                        set browserTab to item tabIndex of windowTabs
                        set tabURL to URL of browserTab
                        if tabURL is not missing value then
                            set tabURL to tabURL as text
                            if tabURL is not "" then
                                set tabTitle to ""
                                try
                                    set rawTitle to [TITLE-PROPERTY] of browserTab
                                    if rawTitle is not missing value then set tabTitle to rawTitle as text
                                on error errorText number errorNumber
                                    if firstErrorCode is "" then
                                        set firstErrorMessage to errorText
                                        set firstErrorCode to errorNumber as text
                                    end if
                                end try
                                set end of collectedRows to {windowIndex as text, tabIndex as text, tabTitle, tabURL}
                            end if
                        end if
                    on error errorText number errorNumber
                        if firstErrorCode is "" then
                            set firstErrorMessage to errorText
                            set firstErrorCode to errorNumber as text
                        end if
                    end try
                end repeat
                end if
            on error errorText number errorNumber
                if firstErrorCode is "" then
                    set firstErrorMessage to errorText
                    set firstErrorCode to errorNumber as text
                end if
            end try
        end repeat
        return {{"status", firstErrorMessage, firstErrorCode}} & collectedRows
    end tell
end timeout)SCRIPT";

// An optional "+" or "-", then one or more ASCII digits and nothing else, within the range
// of a signed 64-bit integer.
std::optional<qint64> decimalInteger(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const bool isNegative = bytes.startsWith('-');
    const QByteArray digits = bytes.mid(isNegative || bytes.startsWith('+') ? 1 : 0);
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (digits.isEmpty() || !std::all_of(digits.cbegin(), digits.cend(), isDigit))
        return std::nullopt;
    const QByteArray number = isNegative ? bytes : digits;
    qint64 value = 0;
    const char* end = number.constData() + number.size();
    const auto [parsedEnd, error] = std::from_chars(number.constData(), end, value);
    if (error != std::errc() || parsedEnd != end)
        return std::nullopt;
    return value;
}

// The texts of a list's items, when it is a list of exactly that many texts.
std::optional<QStringList> textRow(const std::optional<Platform::ScriptValue>& value, qsizetype items)
{
    if (!value || !value->isList() || value->count() != items)
        return std::nullopt;
    QStringList texts;
    for (qsizetype index = 1; index <= items; ++index) {
        const std::optional<Platform::ScriptValue> item = value->item(index);
        const std::optional<QString> text = item ? item->stringValue() : std::nullopt;
        if (!text)
            return std::nullopt;
        texts.append(*text);
    }
    return texts;
}

BrowserPageResult failure(LinkBrowser browser, std::optional<QString> message, std::optional<qint64> code)
{
    return {browser, {}, std::move(message), code, 0};
}

BrowserPageResult parsedAnswer(LinkBrowser browser, const Platform::ScriptValue& answer)
{
    const std::optional<QStringList> status =
        answer.isList() ? textRow(answer.item(1), statusRowItems) : std::nullopt;
    if (!status || status->at(0) != u"status")
        return failure(browser, unexpectedAnswerMessage, std::nullopt);

    BrowserPageResult result{browser, {}, std::nullopt, decimalInteger(status->at(2)), 0};
    if (!status->at(1).isEmpty())
        result.errorMessage = status->at(1);
    const QString prefix = LinkBrowsers::rawValue(browser) + u':';
    for (qsizetype index = 2; index <= answer.count(); ++index) {
        const std::optional<QStringList> row = textRow(answer.item(index), pageRowItems);
        if (!row || !BrowserPage::isWebURL(row->at(3)))
            continue;
        result.tabs.append({prefix + row->at(0) + u':' + row->at(1), browser, row->at(2), row->at(3)});
    }
    return result;
}

BrowserPageResult readUntimed(LinkBrowser browser)
{
    Platform::BrowserScripting& scripting = Platform::browserScripting();
    if (!scripting.isRunning(LinkBrowsers::bundleIdentifier(browser))) {
        return failure(browser, LinkBrowsers::displayName(browser) + QStringLiteral(" 尚未运行。"),
                       Platform::ScriptStatus::notRunning);
    }
    const qint32 permission = BrowserPageReader::permission(browser, false);
    if (permission != Platform::ScriptStatus::allowed)
        return failure(browser, std::nullopt, permission);

    const std::unique_ptr<Platform::BrowserScript> script =
        scripting.compile(BrowserPageReader::source(browser));
    if (!script)
        return failure(browser, scriptSetUpMessage, std::nullopt);

    const std::variant<Platform::ScriptValue, Platform::ScriptRunError> answer = scripting.run(*script);
    if (const auto* error = std::get_if<Platform::ScriptRunError>(&answer))
        return failure(browser, QStringLiteral("Browser read failed."), error->number);
    return parsedAnswer(browser, std::get<Platform::ScriptValue>(answer));
}

} // namespace

QString BrowserPageReader::englishMessage(const QString& message)
{
    if (message == unexpectedAnswerMessage)
        return QStringLiteral("The browser answered in an unexpected format.");
    if (message == scriptSetUpMessage)
        return QStringLiteral("The script that reads the browser could not be prepared.");
    return message;
}

BrowserPageResult BrowserPageReader::read(LinkBrowser browser)
{
    QElapsedTimer timer;
    timer.start();
    BrowserPageResult result = readUntimed(browser);
    result.elapsedMs = timer.nsecsElapsed() / nanosecondsPerMillisecond;
    qCDebug(logBrowserTabs) << LinkBrowsers::displayName(browser) << "gave" << result.tabs.size() << "tabs in"
                            << result.elapsedMs << "ms" << result.errorMessage.value_or(QString())
                            << result.errorCode.value_or(0);
    return result;
}

qint32 BrowserPageReader::permission(LinkBrowser browser, bool ask)
{
    Platform::BrowserScripting& scripting = Platform::browserScripting();
    const QString bundleID = LinkBrowsers::bundleIdentifier(browser);
    if (!scripting.isRunning(bundleID))
        return Platform::ScriptStatus::notRunning;
    return scripting.automationPermission(bundleID, ask);
}

BrowserPageReader::ScriptParameters BrowserPageReader::scriptParameters(LinkBrowser browser)
{
    const QString bundleID = LinkBrowsers::bundleIdentifier(browser);
    if (browser == LinkBrowser::safari)
        return {bundleID, QStringLiteral("true"), QStringLiteral("name")};
    return {bundleID, QStringLiteral("mode of browserWindow is not \"incognito\""), QStringLiteral("title")};
}

namespace {

// The texts that source() writes, with what each asks.
std::optional<Platform::TabScriptRequest> knownScript(const QString& source)
{
    for (const LinkBrowser browser : LinkBrowsers::allCases()) {
        if (source != BrowserPageReader::source(browser))
            continue;
        const BrowserPageReader::ScriptParameters parameters = BrowserPageReader::scriptParameters(browser);
        return Platform::TabScriptRequest{parameters.bundleID, BrowserPageReader::scriptTimeoutSeconds,
                                          parameters.windowCondition != QLatin1String("true"),
                                          parameters.titleProperty};
    }
    return std::nullopt;
}

} // namespace

QString BrowserPageReader::source(LinkBrowser browser)
{
    const ScriptParameters parameters = scriptParameters(browser);
    QString text = QString::fromUtf16(scriptTemplate);
    text.replace(QStringLiteral("[TIMEOUT]"), QString::number(scriptTimeoutSeconds));
    text.replace(QStringLiteral("[BUNDLE-ID]"), parameters.bundleID);
    text.replace(QStringLiteral("[WINDOW-CONDITION]"), parameters.windowCondition);
    text.replace(QStringLiteral("[TITLE-PROPERTY]"), parameters.titleProperty);
    return text;
}

void BrowserPageReader::installScriptCatalogue()
{
    Platform::setTabScriptCatalogue(knownScript);
}
