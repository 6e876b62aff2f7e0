#pragma once

#include "BrowserLinks/BrowserPage.h"
#include "Models/BarSource.h"
#include "Models/ClipItem.h"
#include "Monitor/PasteFormat.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <chrono>

class BarView;
class BrowserShelfModel;
class ClipboardStore;
class QVariantAnimation;
class QWidget;
class Settings;
struct BarKeyCommand;

enum class BarPhaseKind { showing, hiding, hidden, shown };

// Where the bar is in its slide, and which show or hide started it: every show() and hide()
// starts a new epoch, and an animation's completion applies only while its epoch is current.
struct BarPhase {
    BarPhaseKind kind = BarPhaseKind::hidden;
    quint64 epoch = 0;

    // Showing or shown.
    bool isVisible() const;
    bool operator==(const BarPhase&) const = default;
};

// Owns the bar panel: a frameless, always-on-top strip the width of the screen under the
// pointer that slides up from the bottom edge, and turns its keys and clicks into requests.
// While the bar shows the browser shelf, its keys act on the shelf's model.
class BarWindowController final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds showDuration{220};
    static constexpr std::chrono::milliseconds hideDuration{160};

    BarWindowController(ClipboardStore& store, Settings& settings, BrowserShelfModel& browserShelf,
                        QObject* parent = nullptr);
    ~BarWindowController() override;

    BarPhase phase() const { return phase_; }

    // Slides up on the screen under the pointer and takes keyboard focus.
    void show();
    // Acts only from showing or shown: slides out, then orders the panel out.
    void hide();
    // Clears the search, shows the history and selects the first clip.
    void resetForShow();
    // The bar's key handling while shown; on until turned off.
    void setKeyMonitorEnabled(bool enabled);
    bool isKeyMonitorEnabled() const { return keyMonitorEnabled_; }

    QWidget* window() const;
    BarView* view() const { return view_; }
    // Where the panel rests when shown, on the screen it was last shown on.
    QRect shownGeometry() const;

signals:
    void phaseChanged();
    void pasteRequested(QList<ClipItem> items, PasteFormat format);
    void askAIRequested(QList<ClipItem> items);
    void settingsRequested();
    // A pinboard tab or the browser tabs button asks for this source.
    void sourceRequested(const BarSource& source);
    // Pages of the browser shelf to paste into the application in front, or to copy.
    void browserPagesPasteRequested(const QList<BrowserPage>& pages);
    void browserPagesCopyRequested(const QList<BrowserPage>& pages);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setPhase(BarPhaseKind kind);
    void slide(int toY, std::chrono::milliseconds duration, BarPhaseKind after);
    void finishSlide(quint64 epoch, BarPhaseKind after);
    void chooseScreenArea();
    int hiddenY() const;
    void takeFocus();
    bool handleKey(const BarKeyCommand& command);
    bool handleShelfKey(const BarKeyCommand& command);
    bool deleteSelected(bool skipUndo);
    bool undoDelete();
    bool stepSource(int step);
    void moveShelfFocus(int step);
    void pasteWhenRead();
    void pasteAt(qsizetype index, PasteFormat format);

    ClipboardStore& store_;
    Settings& settings_;
    BrowserShelfModel& browserShelf_;
    BarView* view_ = nullptr;
    QPointer<QVariantAnimation> animation_;
    BarPhase phase_;
    QRect availableArea_;
    QRect screenArea_;
    bool keyMonitorEnabled_ = true;
    bool pasteWhenRead_ = false;
    bool slides_ = false;
};
