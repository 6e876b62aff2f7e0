#include "UI/Settings/ModelNumberField.h"

#include "Util/Localization.h"

#include <QPalette>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr QRgb invalidTextColor = 0xFF3B30;
constexpr double fixedFormMinimum = 1e-4;
constexpr double fixedFormLimit = 1e16;

bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case u'\r':
    case u'\v':
    case u'\f':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

// Trims spaces, tabs and the other space separators, but no line breaks.
QString trimmedSpaces(const QString& text)
{
    const auto isTrimmed = [](QChar c) { return c.isSpace() && !isLineBreak(c); };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmed(text.at(begin)))
        ++begin;
    while (end > begin && isTrimmed(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool hasHexPrefix(std::string_view text)
{
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

QString charsText(const char* begin, const char* end)
{
    return QString::fromLatin1(begin, end - begin);
}

} // namespace

ModelNumberField::ModelNumberField(const QString& title, IntegerValue* value, const QString& placeholder,
                                   QSet<QString>* invalidFields, QHash<QString, QString>* drafts,
                                   QWidget* parent)
    : ModelNumberField(title, Binding(value), placeholder, invalidFields, drafts, parent)
{}

ModelNumberField::ModelNumberField(const QString& title, DecimalValue* value, const QString& placeholder,
                                   QSet<QString>* invalidFields, QHash<QString, QString>* drafts,
                                   QWidget* parent)
    : ModelNumberField(title, Binding(value), placeholder, invalidFields, drafts, parent)
{}

ModelNumberField::ModelNumberField(const QString& title, Binding value, const QString& placeholder,
                                   QSet<QString>* invalidFields, QHash<QString, QString>* drafts,
                                   QWidget* parent)
    : QLineEdit(parent)
    , title_(title)
    , placeholder_(placeholder)
    , value_(value)
    , invalidFields_(invalidFields)
    , drafts_(drafts)
{
    lastValue_ = currentValue();
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    retranslate();
    updateLook();
    connect(this, &QLineEdit::textEdited, this, &ModelNumberField::setShownText);
}

QString ModelNumberField::shownText() const
{
    const auto draft = drafts_->constFind(title_);
    if (draft != drafts_->cend())
        return *draft;
    return valueText();
}

void ModelNumberField::setShownText(const QString& text)
{
    drafts_->insert(title_, text);
    const QString trimmed = trimmedSpaces(text);
    if (trimmed.isEmpty()) {
        std::visit([](auto* value) { value->reset(); }, value_);
        invalidFields_->remove(title_);
    } else if (storeReading(QString(trimmed).replace(u',', u'.'))) {
        invalidFields_->remove(title_);
    } else {
        invalidFields_->insert(title_);
    }
    reconcile();
    emit edited();
}

void ModelNumberField::reconcile()
{
    const Value current = currentValue();
    if (current != lastValue_) {
        lastValue_ = current;
        // Text that does not read stays only while the value is the one it was typed over.
        if (isInvalid() || !textReadsAsValue(shownText().replace(u',', u'.'))) {
            drafts_->insert(title_, valueText());
            invalidFields_->remove(title_);
        }
    }
    updateLook();
}

void ModelNumberField::discardInvalidText()
{
    if (!isInvalid())
        return;
    drafts_->insert(title_, valueText());
    invalidFields_->remove(title_);
    updateLook();
}

void ModelNumberField::retranslate()
{
    setPlaceholderText(Localization::string(placeholder_));
    setAccessibleName(Localization::string(title_));
}

std::optional<qint64> ModelNumberField::readInteger(const QString& text)
{
    const std::string utf8 = text.toStdString();
    std::string_view digits = utf8;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isAsciiDigit))
        return std::nullopt;
    // Parsed with its sign so that the most negative value is in range.
    const std::string signedDigits = (negative ? "-" : "") + std::string(digits);
    qint64 value = 0;
    const char* end = signedDigits.data() + signedDigits.size();
    const auto [ptr, error] = std::from_chars(signedDigits.data(), end, value);
    if (error != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<double> ModelNumberField::readDecimal(const QString& text)
{
    const std::string utf8 = text.toStdString();
    std::string_view number = utf8;
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    auto format = std::chars_format::general;
    if (hasHexPrefix(number)) {
        number.remove_prefix(2);
        format = std::chars_format::hex;
    }
    // Refuses a second sign, spaces and the words for infinity and not-a-number.
    if (number.empty() || !(isAsciiDigit(number.front()) || number.front() == '.'))
        return std::nullopt;
    double value = 0;
    const char* end = number.data() + number.size();
    const auto [ptr, error] = std::from_chars(number.data(), end, value, format);
    if (error != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

QString ModelNumberField::textForm(qint64 value)
{
    return QString::number(value);
}

QString ModelNumberField::textForm(double value)
{
    char buffer[64];
    const double magnitude = std::fabs(value);
    const bool fixed = magnitude == 0 || (magnitude >= fixedFormMinimum && magnitude < fixedFormLimit);
    const auto format = fixed ? std::chars_format::fixed : std::chars_format::scientific;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    QString text = charsText(buffer, result.ptr);
    if (fixed && !text.contains(u'.'))
        text += QStringLiteral(".0");
    return text;
}

ModelNumberField::Value ModelNumberField::currentValue() const
{
    return std::visit([](auto* value) -> Value { return *value; }, value_);
}

QString ModelNumberField::valueText() const
{
    return std::visit([](auto* value) { return value->has_value() ? textForm(**value) : QString(); }, value_);
}

bool ModelNumberField::textReadsAsValue(const QString& text) const
{
    if (const auto* integer = std::get_if<IntegerValue*>(&value_)) {
        const auto reading = readInteger(text);
        return reading ? reading == **integer : !(*integer)->has_value();
    }
    const DecimalValue& decimal = *std::get<DecimalValue*>(value_);
    const auto reading = readDecimal(text);
    return reading ? reading == decimal : !decimal.has_value();
}

bool ModelNumberField::storeReading(const QString& text)
{
    if (auto* integer = std::get_if<IntegerValue*>(&value_)) {
        const auto reading = readInteger(text);
        if (reading)
            **integer = reading;
        return reading.has_value();
    }
    const auto reading = readDecimal(text);
    if (reading)
        *std::get<DecimalValue*>(value_) = reading;
    return reading.has_value();
}

void ModelNumberField::updateLook()
{
    const QString shown = shownText();
    if (text() != shown)
        setText(shown);
    if (!isInvalid()) {
        setPalette(QPalette()); // inherits the primary text colour again
        return;
    }
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, QColor(invalidTextColor));
    setPalette(palette);
}
