#pragma once

#include <QFont>
#include <QObject>

class Localization;

// The application's font in the language in effect. In Japanese and Chinese the family of that
// language's CJK face comes first, so that Latin letters and CJK characters of one label come
// from one family in one weight (with the desktop's family behind it where the face is
// missing), and Han characters take the shapes of that language. English keeps the desktop's
// font. Follows language changes while this object lives.
class LanguageFont final : public QObject {
    Q_OBJECT
public:
    explicit LanguageFont(Localization& localization, QObject* parent = nullptr);
    ~LanguageFont() override;

private:
    void apply();

    Localization& localization_;
    const QFont desktopFont_;
};
