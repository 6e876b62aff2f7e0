#include "Platform/linux/ChromiumSessionFile.h"

#include "Platform/UserText.h"

#include <QHash>
#include <QtEndian>
#include <algorithm>
#include <optional>
#include <vector>

namespace Platform {

namespace {

constexpr qsizetype headerSize = 8;
constexpr qint32 firstVersion = 1;
constexpr qint32 currentVersion = 3; // the same commands, with a marker after the first snapshot

// Bounds that keep any input, however crafted, to bounded memory and time. Real files stay far
// below them: the browser keeps a handful of navigations per tab.
constexpr qsizetype maxWindows = 10'000;
constexpr qsizetype maxTabs = 100'000;
constexpr std::size_t maxNavigationsPerTab = 256;

// The command identifiers this reader acts on; every other command is passed over.
enum Command : quint8 {
    setTabWindow = 0,
    setTabIndexInWindow = 2,
    navigationPathPrunedFromBack = 5,
    updateTabNavigation = 6,
    setSelectedNavigationIndex = 7,
    setSelectedTabInIndex = 8,
    setWindowType = 9,
    navigationPathPrunedFromFront = 11,
    tabClosed = 16,
    windowClosed = 17,
    navigationPathPruned = 24,
};

// Little-endian values read one after the other from a span of bytes; a read past the end
// gives nothing.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView bytes)
        : bytes_(bytes)
    {}

    qsizetype remaining() const { return bytes_.size() - pos_; }

    std::optional<qint32> int32()
    {
        if (remaining() < 4)
            return std::nullopt;
        const auto value = qFromLittleEndian<qint32>(bytes_.data() + pos_);
        pos_ += 4;
        return value;
    }

    std::optional<quint16> uint16()
    {
        if (remaining() < 2)
            return std::nullopt;
        const auto value = qFromLittleEndian<quint16>(bytes_.data() + pos_);
        pos_ += 2;
        return value;
    }

    std::optional<QByteArrayView> bytes(qint64 count)
    {
        if (count < 0 || count > remaining())
            return std::nullopt;
        const QByteArrayView view = bytes_.sliced(pos_, count);
        pos_ += count;
        return view;
    }

    // A pickled value: its bytes are padded to a multiple of four; the padding of the last
    // value may be missing.
    std::optional<QByteArrayView> padded(qint64 count)
    {
        const auto view = bytes(count);
        if (view)
            pos_ = std::min(bytes_.size(), pos_ + (4 - count % 4) % 4);
        return view;
    }

    std::optional<QString> pickledString()
    {
        const auto length = int32();
        const auto view = length ? padded(*length) : std::nullopt;
        if (!view)
            return std::nullopt;
        return QString::fromUtf8(*view);
    }

    std::optional<QString> pickledString16()
    {
        const auto length = int32();
        const auto view = length ? padded(qint64(*length) * 2) : std::nullopt;
        if (!view)
            return std::nullopt;
        QString text(*length, Qt::Uninitialized);
        for (qint32 i = 0; i < *length; ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(view->data() + 2 * i));
        return text;
    }

private:
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

struct Navigation {
    qint64 index = 0;
    QString url;
    QString title;
};

// A window as a tab was put in it: its identifier and the order in which it appeared. A
// window that closes and appears again under the same identifier is another window.
struct WindowRef {
    qint32 id = 0;
    quint64 order = 0;
};

struct TabState {
    std::optional<WindowRef> window;
    qint32 visualIndex = 0;
    quint64 order = 0;
    std::vector<Navigation> navigations; // ascending by index
    std::optional<qint64> selectedIndex;

    // The page shown: the navigation at the selected index (or the next one after it), else
    // the last one.
    const Navigation& current() const
    {
        if (selectedIndex) {
            const auto found = std::find_if(navigations.begin(), navigations.end(),
                                            [&](const Navigation& n) { return n.index >= *selectedIndex; });
            if (found != navigations.end())
                return *found;
        }
        return navigations.back();
    }

    void update(Navigation navigation)
    {
        auto at = std::find_if(navigations.begin(), navigations.end(),
                               [&](const Navigation& n) { return n.index >= navigation.index; });
        if (at != navigations.end() && at->index == navigation.index)
            *at = std::move(navigation);
        else if (navigations.size() < maxNavigationsPerTab)
            navigations.insert(at, std::move(navigation));
    }

    void pruneFromBack(qint64 keptCount)
    {
        std::erase_if(navigations, [&](const Navigation& n) { return n.index >= keptCount; });
    }

    void pruneFromFront(qint64 count)
    {
        for (Navigation& n : navigations)
            n.index -= count;
        std::erase_if(navigations, [](const Navigation& n) { return n.index < 0; });
        if (selectedIndex)
            selectedIndex = std::max<qint64>(-1, *selectedIndex - count);
    }

    void prune(qint64 index, qint64 count)
    {
        std::erase_if(navigations,
                      [&](const Navigation& n) { return n.index >= index && n.index < index + count; });
        for (Navigation& n : navigations) {
            if (n.index >= index + count)
                n.index -= count;
        }
        if (selectedIndex && *selectedIndex >= index + count)
            *selectedIndex -= count;
    }
};

// Replays the commands of a session file into its windows and tabs.
class SessionReplay {
public:
    void apply(quint8 command, QByteArrayView payload)
    {
        ByteReader reader(payload);
        switch (command) {
        case setTabWindow:
            return applySetTabWindow(reader);
        case setTabIndexInWindow:
            return withTabAndNumber(reader, [](TabState& tab, qint32 index) { tab.visualIndex = index; });
        case navigationPathPrunedFromBack:
            return withTabAndNumber(reader, [](TabState& tab, qint32 count) { tab.pruneFromBack(count); });
        case updateTabNavigation:
            return applyUpdateTabNavigation(payload);
        case setSelectedNavigationIndex:
            return withTabAndNumber(reader, [](TabState& tab, qint32 index) { tab.selectedIndex = index; });
        case setSelectedTabInIndex:
        case setWindowType:
            if (const auto id = reader.int32())
                window(*id);
            return;
        case navigationPathPrunedFromFront:
            return withTabAndNumber(reader, [](TabState& tab, qint32 count) {
                if (count > 0)
                    tab.pruneFromFront(count);
            });
        case tabClosed:
            if (const auto id = reader.int32())
                tabs_.remove(*id);
            return;
        case windowClosed:
            // Its tabs go with it: they name the window as it was (see WindowRef).
            if (const auto id = reader.int32())
                windows_.remove(*id);
            return;
        case navigationPathPruned:
            return applyNavigationPathPruned(reader);
        default:
            return;
        }
    }

    QList<ChromiumSessionFile::Window> windows() const
    {
        QHash<quint64, std::vector<const TabState*>> tabsByWindow; // by the window's order
        for (const TabState& tab : tabs_) {
            if (tab.window && !tab.navigations.empty() && isOpen(*tab.window))
                tabsByWindow[tab.window->order].push_back(&tab);
        }
        QList<quint64> orders = tabsByWindow.keys();
        std::sort(orders.begin(), orders.end());
        QList<ChromiumSessionFile::Window> result;
        for (const quint64 order : orders)
            result.append({inTabOrder(tabsByWindow[order])});
        return result;
    }

private:
    bool isOpen(const WindowRef& window) const
    {
        const auto found = windows_.constFind(window.id);
        return found != windows_.cend() && found.value() == window.order;
    }

    static QList<ChromiumSessionFile::Tab> inTabOrder(std::vector<const TabState*>& members)
    {
        std::sort(members.begin(), members.end(), [](const TabState* a, const TabState* b) {
            return a->visualIndex != b->visualIndex ? a->visualIndex < b->visualIndex : a->order < b->order;
        });
        QList<ChromiumSessionFile::Tab> tabs;
        for (const TabState* tab : members)
            tabs.append({tab->current().url, tab->current().title});
        return tabs;
    }

    // The window or tab with this identifier, made on first mention; none past the bounds.
    std::optional<quint64> window(qint32 id)
    {
        const auto found = windows_.constFind(id);
        if (found != windows_.cend())
            return found.value();
        if (windows_.size() >= maxWindows)
            return std::nullopt;
        windows_.insert(id, nextOrder_);
        return nextOrder_++;
    }

    TabState* tab(qint32 id)
    {
        const auto found = tabs_.find(id);
        if (found != tabs_.end())
            return &found.value();
        if (tabs_.size() >= maxTabs)
            return nullptr;
        TabState& made = tabs_[id];
        made.order = nextOrder_++;
        return &made;
    }

    template <typename Action> void withTabAndNumber(ByteReader& reader, Action action)
    {
        const auto id = reader.int32();
        const auto number = reader.int32();
        if (!id || !number)
            return;
        if (TabState* state = tab(*id))
            action(*state, *number);
    }

    void applySetTabWindow(ByteReader& reader)
    {
        const auto windowID = reader.int32();
        const auto tabID = reader.int32();
        const auto order = windowID && tabID ? window(*windowID) : std::nullopt;
        if (!order)
            return;
        if (TabState* state = tab(*tabID))
            state->window = WindowRef{*windowID, *order};
    }

    void applyNavigationPathPruned(ByteReader& reader)
    {
        const auto id = reader.int32();
        const auto index = reader.int32();
        const auto count = reader.int32();
        if (!id || !index || !count || *count <= 0)
            return;
        if (TabState* state = tab(*id))
            state->prune(*index, *count);
    }

    // A pickle: its payload size, the tab, the navigation's index, its address and its title,
    // then fields this reader has no use for.
    void applyUpdateTabNavigation(QByteArrayView payload)
    {
        ByteReader header(payload);
        const auto size = header.int32();
        if (!size || *size < 0 || *size > header.remaining())
            return;
        ByteReader reader(payload.sliced(4, *size));
        const auto id = reader.int32();
        const auto index = reader.int32();
        auto url = reader.pickledString();
        auto title = reader.pickledString16();
        if (!id || !index || !url || !title)
            return;
        if (TabState* state = tab(*id))
            state->update({*index, std::move(*url), std::move(*title)});
    }

    QHash<qint32, quint64> windows_; // open windows: id -> order of appearance
    QHash<qint32, TabState> tabs_;
    quint64 nextOrder_ = 0;
};

} // namespace

std::variant<QList<ChromiumSessionFile::Window>, ChromiumSessionFile::Failure>
ChromiumSessionFile::parse(QByteArrayView bytes)
{
    if (bytes.size() < headerSize || qFromLittleEndian<quint32>(bytes.data()) != signature)
        return Failure{userText(QStringLiteral("not a session file"))};
    const auto version = qFromLittleEndian<qint32>(bytes.data() + 4);
    if (version != firstVersion && version != currentVersion)
        return Failure{userText(QStringLiteral("unsupported session file version %lld"), {qint64(version)})};

    ByteReader reader(bytes.sliced(headerSize));
    SessionReplay replay;
    while (const auto size = reader.uint16()) {
        // A command counts its identifier byte; one cut short is still being written.
        const auto command = *size > 0 ? reader.bytes(*size) : std::nullopt;
        if (!command)
            break;
        replay.apply(quint8(command->front()), command->sliced(1));
    }
    return replay.windows();
}

} // namespace Platform
