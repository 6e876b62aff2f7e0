#pragma once

#include "UI/Settings/SettingsTab.h"

#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>

class PrivacySupportNavigation;
class QButtonGroup;
class QLabel;
class QVBoxLayout;
class SettingsDetailPage;

// The content of the Privacy and Support window: a picker of the two pages over a form with
// the selected page's sections and the contact section. Policy text is data and is shown as
// plain text, one label per paragraph; all text can be selected. It is built again whenever
// the page, the document, the language or the appearance changes.
class PrivacySupportView final : public QWidget {
    Q_OBJECT
public:
    static constexpr int pickerPadding = 20;

    // `onPageChange` runs after the user picks another page.
    PrivacySupportView(PrivacySupportNavigation& navigation, QString contactEmail,
                       std::function<void()> onPageChange, QWidget* parent = nullptr);

    // What the help buttons run to open the settings window on a pane.
    void setOpenSettings(std::function<void(SettingsTab tab)> openSettings);

    QString contactEmail() const { return contactEmail_; }
    // "mailto:" and the address with each "%" escaped; none when that forms no address.
    static std::optional<QUrl> mailURL(const QString& address);

private:
    void buildPicker(QVBoxLayout* layout);
    void retitlePicker();
    void pick(int index);
    void rebuild();
    void addPolicySections(SettingsDetailPage* form);
    void addHelpSections(SettingsDetailPage* form);
    void addContactSection(SettingsDetailPage* form);

    PrivacySupportNavigation& navigation_;
    QString contactEmail_;
    std::function<void()> onPageChange_;
    std::function<void(SettingsTab)> openSettings_;
    QWidget* picker_ = nullptr;
    QButtonGroup* pickerButtons_ = nullptr;
    SettingsDetailPage* form_ = nullptr;
};
