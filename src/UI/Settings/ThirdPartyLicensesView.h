#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTextEdit;

// The sheet that shows the licence notices shipped with the application ("ThirdPartyNotices.txt"
// of the main bundle) as one block of selectable plain text. "Close" and Escape call onClose
// once per presentation; the presenter dismisses the sheet there (hiding it, or deleteLater()).
// Open it window-modal over the settings window with open().
class ThirdPartyLicensesView final : public QDialog {
    Q_OBJECT
public:
    explicit ThirdPartyLicensesView(std::function<void()> onClose, QWidget* parent = nullptr);

    // The notices as stored, read as UTF-8 each time; when the resource is missing, can't be
    // read or is not valid UTF-8, the localised "The license document is missing from this
    // application bundle.".
    static QString license();

    // The text the sheet shows now.
    QString shownText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void retranslate();
    void reloadLicense();

    std::function<void()> onClose_;
    bool presented_ = false;
    QLabel* title_ = nullptr;
    QPushButton* close_ = nullptr;
    QTextEdit* text_ = nullptr;
};
