#pragma once

#include <QObject>
#include <QTranslator>

class Localization;

// Qt's own texts (the standard dialogs, the context menus of text fields) in the language in
// effect: Qt's catalogue for that language is installed while this object lives and is swapped
// whenever the language changes. English needs none.
class QtTranslations final : public QObject {
    Q_OBJECT
public:
    explicit QtTranslations(Localization& localization, QObject* parent = nullptr);
    ~QtTranslations() override;

private:
    void load();

    Localization& localization_;
    QTranslator translator_;
    bool installed_ = false;
};
