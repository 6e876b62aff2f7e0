#pragma once

#include "UI/Settings/PrivacySupportPage.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class PublicConfigurationStore;
class QBoxLayout;
class SettingsDetailPage;
class ThirdPartyLicensesView;

// The About pane: the program and its version, the maker and the maker's other applications
// from the public configuration, how fresh that information is, and the ways out to the
// privacy policy, help, the licence notices and quitting. It keeps nothing of the store's:
// every change of the store, the language or the appearance builds the page's blocks again,
// in the same scrolling page. Each
// time it is shown it asks the store for a refresh without force.
class AboutView final : public QWidget {
    Q_OBJECT
public:
    // The id the list of other applications leaves out.
    static constexpr const char* ownProductId = "vellora";

    // Opens the privacy and support window on a page.
    using ShowPrivacySupport = std::function<void(PrivacySupportPage page)>;

    explicit AboutView(PublicConfigurationStore& configuration, ShowPrivacySupport showPrivacySupport = {},
                       QWidget* parent = nullptr);
    ~AboutView() override;

    bool showingLicenses() const { return showingLicenses_; }
    // The licence sheet while it is shown.
    ThirdPartyLicensesView* licensesSheet() const;

    // What "Quit Vellora" runs; by default the application's ordinary quit.
    void setQuitHandler(std::function<void()> quit);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showPrivacySupportPage(PrivacySupportPage page);
    void rebuild();
    QWidget* brandHeader();
    QWidget* authorCard();
    QWidget* productsCard();
    QWidget* productRow(const QString& name, const QString& summary, const QUrl& url);
    QWidget* configurationStatus();
    QWidget* footer();
    void fitFooterLinks(QWidget* links);
    void showLicenses();
    void hideLicenses();

    PublicConfigurationStore& configuration_;
    SettingsDetailPage* page_ = nullptr;
    bool showingLicenses_ = false;
    QPointer<ThirdPartyLicensesView> licenses_;
    ShowPrivacySupport showPrivacySupport_;
    std::function<void()> quit_;
};
