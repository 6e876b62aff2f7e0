#pragma once

#include <QHash>
#include <QLineEdit>
#include <QSet>
#include <optional>
#include <variant>

// The text field of one optional number of a model's request settings (an integer or a
// decimal). Empty text clears the value; text that does not read as a number keeps the value
// and marks the field invalid. What the user typed is kept, as typed, in the editor's drafts
// (keyed by title), so "1,5" or "0." is never rewritten while typing.
class ModelNumberField final : public QLineEdit {
    Q_OBJECT
public:
    using IntegerValue = std::optional<qint64>;
    using DecimalValue = std::optional<double>;

    // `title` and `placeholder` are English; the value, the invalid set and the drafts are
    // owned by the editor and outlive the field.
    ModelNumberField(const QString& title, IntegerValue* value, const QString& placeholder,
                     QSet<QString>* invalidFields, QHash<QString, QString>* drafts,
                     QWidget* parent = nullptr);
    ModelNumberField(const QString& title, DecimalValue* value, const QString& placeholder,
                     QSet<QString>* invalidFields, QHash<QString, QString>* drafts,
                     QWidget* parent = nullptr);

    const QString& title() const { return title_; }
    bool isInvalid() const { return invalidFields_->contains(title_); }

    // The typed text when there is one, else the text form of the value.
    QString shownText() const;
    // One edit: keeps the text as typed, then sets the value or marks the field invalid.
    void setShownText(const QString& text);
    // Call after the bound value may have changed elsewhere: a new value that the shown text
    // does not read as, or any new value under text that does not read, replaces the typed text. Also brings
    // the field's look up to date.
    void reconcile();
    // Drops text that does not read (and its invalid mark) for the value's own text: the
    // editor calls it when it hides the field, which leaves the user nothing to correct.
    void discardInvalidText();
    void retranslate();

    // Whole-text readers: integers are [+-]digits within 64 bits; decimals are the standard
    // floating-point form (also hexadecimal), finite only. No surrounding spaces.
    static std::optional<qint64> readInteger(const QString& text);
    static std::optional<double> readDecimal(const QString& text);
    // The standard text forms: decimals are the shortest round-trip text, whole numbers with ".0".
    static QString textForm(qint64 value);
    static QString textForm(double value);

signals:
    // The user's edit was applied to the drafts, the value and the invalid set.
    void edited();

private:
    using Binding = std::variant<IntegerValue*, DecimalValue*>;
    using Value = std::variant<IntegerValue, DecimalValue>;

    ModelNumberField(const QString& title, Binding value, const QString& placeholder,
                     QSet<QString>* invalidFields, QHash<QString, QString>* drafts, QWidget* parent);
    Value currentValue() const;
    QString valueText() const;
    bool textReadsAsValue(const QString& text) const;
    bool storeReading(const QString& text);
    void updateLook();

    QString title_;
    QString placeholder_;
    Binding value_;
    Value lastValue_;
    QSet<QString>* invalidFields_;
    QHash<QString, QString>* drafts_;
};
