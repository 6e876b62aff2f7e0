#include "HelperProcess.h"
#include "RawSelectionOwner.h"
#include "fakes/FakeCloudDrive.h"

#include "Monitor/ClipboardMonitor.h"
#include "Monitor/PasteService.h"
#include "Platform/Pasteboard.h"
#include "Platform/Workspace.h"
#include "Platform/linux/X11Workspace.h"
#include "Platform/linux/XClipboardReader.h"
#include "Settings/Settings.h"
#include "Store/ClipboardStore.h"
#include "UI/Settings/ApplicationChooserDialog.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int captureTimeoutMs = 10000;
constexpr int largeCopyTimeoutMs = 30000;

QString xclip()
{
    return QStandardPaths::findExecutable(QStringLiteral("xclip"));
}

// xclip copying in the background, as in a shell loop: it takes the clipboard, forks and
// ends, and its child serves the copy until another copy replaces it. Its standard error
// goes into a pipe that both hold, so what either writes (an X error ends an Xlib program
// with a message there) is read, and the end of the pipe tells that both have ended.
class ForkedCopier {
public:
    ForkedCopier(const QString& folder, const QByteArray& name)
        : path_(QStringLiteral("%1/%2.stderr").arg(folder, QString::fromLatin1(name.toHex())))
    {
        if (::mkfifo(QFile::encodeName(path_).constData(), 0600) == 0)
            fd_ = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    ~ForkedCopier()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    ForkedCopier(const ForkedCopier&) = delete;
    ForkedCopier& operator=(const ForkedCopier&) = delete;

    // Until the copier owns the clipboard and has forked.
    bool copy(const QByteArray& text)
    {
        if (fd_ < 0)
            return false;
        copier_.process.setStandardErrorFile(path_);
        return copier_.start(xclip(), {"-selection", "clipboard", "-i"}, text) &&
               copier_.finish().has_value() && copier_.process.exitCode() == 0;
    }
    // Reads what arrived; true once every writer has closed the pipe.
    bool ended()
    {
        char buffer[512];
        for (;;) {
            const ssize_t length = ::read(fd_, buffer, sizeof(buffer));
            if (length > 0)
                errors_.append(buffer, length);
            else
                return length == 0;
        }
    }
    const QByteArray& errors() const { return errors_; }

private:
    QString path_;
    int fd_ = -1;
    HelperProcess copier_;
    QByteArray errors_;
};

} // namespace

// The real X clipboard under Xvfb, copies made by other X clients, a real store in a
// temporary folder.
class ClipboardCaptureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "needs an X display";
        ASSERT_FALSE(xclip().isEmpty()) << "needs xclip (scripts/setup installs it)";
        ASSERT_TRUE(temp.isValid());
        cloud.path = temp.filePath(QStringLiteral("cloud"));
        Settings::shared().setIgnoreConcealed(true);
        Settings::shared().setIgnoredSourceAppBundleIDs({});
        Settings::shared().setICloudSync(false);
        ClipboardStore::Environment environment{Settings::shared()};
        environment.localDirectory = temp.filePath(QStringLiteral("data"));
        environment.cloudDrive = &cloud;
        store = std::make_unique<ClipboardStore>(environment);
        store->load();
        monitor = std::make_unique<ClipboardMonitor>(Platform::pasteboard(), *store, Settings::shared());
    }

    // Copies with xclip, which stays in the foreground serving the copy until the test ends.
    void copyWithXclip(HelperProcess& copier, const QByteArray& bytes,
                       const QString& type = QStringLiteral("text/plain"))
    {
        const qint64 before = Platform::pasteboard().changeCount();
        const QString target = type == QLatin1String("text/plain") ? QStringLiteral("UTF8_STRING") : type;
        ASSERT_TRUE(copier.start(xclip(), {"-quiet", "-selection", "clipboard", "-t", target, "-i"}, bytes));
        waitForCopy(before, type, bytes);
    }

    // A copy by the helper program, with a marker type when given.
    void copyWithHelper(HelperProcess& copier, const QString& text, const QString& markerType = {},
                        const QByteArray& markerValue = {})
    {
        const qint64 before = Platform::pasteboard().changeCount();
        ASSERT_TRUE(copier.startHelper(
            QStringLiteral("owner"), {{"VELLORA_TEST_HELPER_TEXT", text},
                                      {"VELLORA_TEST_HELPER_MARKER_TYPE", markerType},
                                      {"VELLORA_TEST_HELPER_MARKER_VALUE", QString::fromUtf8(markerValue)}}));
        ASSERT_EQ(copier.waitForLine(QStringLiteral("ready")), QString());
        waitForCopy(before, QStringLiteral("text/plain"), text.toUtf8());
    }

    // Until the clipboard holds the copy and its change count has moved. (Each copy is told
    // apart by its bytes: a change signal may still come from the owner before.)
    static void waitForCopy(qint64 before, const QString& type, const QByteArray& bytes)
    {
        Platform::Pasteboard& pasteboard = Platform::pasteboard();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return pasteboard.changeCount() != before && pasteboard.data(type) == bytes; },
            captureTimeoutMs))
            << "the copy never reached the clipboard";
    }

    QJsonArray savedHistory()
    {
        store->saveNow();
        QFile file(store->storeFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("history")).toArray();
    }

    QTemporaryDir temp;
    FakeCloudDrive cloud;
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<ClipboardMonitor> monitor;
};

TEST_F(ClipboardCaptureTest, ACopyInAnotherClientBecomesAClipInTheStoreFile)
{
    QSignalSpy spy(monitor.get(), &ClipboardMonitor::captured);
    monitor->start();
    HelperProcess copier;
    copyWithXclip(copier, QStringLiteral("Copied in another program ✓").toUtf8());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !spy.isEmpty(); }, captureTimeoutMs));
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_EQ(store->history().first().type, ClipType::text);
    EXPECT_EQ(store->history().first().text, QStringLiteral("Copied in another program ✓"));

    const QJsonArray saved = savedHistory();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().toObject().value(QStringLiteral("text")).toString(),
              QStringLiteral("Copied in another program ✓"));
}

TEST_F(ClipboardCaptureTest, HtmlAndImagesFromAnotherClient)
{
    HelperProcess html;
    copyWithXclip(html, "<p>Some <b>bold</b> words</p>", QStringLiteral("text/html"));
    monitor->checkForChanges();
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_EQ(store->history().first().type, ClipType::richText);
    EXPECT_EQ(store->history().first().text, "Some bold words");

    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkMagenta);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QSignalSpy spy(monitor.get(), &ClipboardMonitor::captured);
    HelperProcess picture;
    copyWithXclip(picture, png, QStringLiteral("image/png"));
    monitor->checkForChanges();
    ASSERT_TRUE(spy.wait(captureTimeoutMs));
    ASSERT_EQ(store->history().first().type, ClipType::image);
    store->saveNow();
    QFile file(*store->imageFilePath(store->history().first()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), png);
}

TEST_F(ClipboardCaptureTest, ACopyMarkedSecretIsNotCaptured)
{
    struct Case {
        const char* name;
        QString type;
        QByteArray value;
        bool captured;
    };
    const Case cases[] = {
        {"password manager hint", "x-kde-passwordManagerHint", "secret", false},
        {"concealed", "org.nspasteboard.ConcealedType", "", false},
        {"transient", "org.nspasteboard.TransientType", "", false},
        {"a hint that is not secret", "x-kde-passwordManagerHint", "public", true},
        {"no marker", {}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store->clearHistory();
        HelperProcess copier;
        copyWithHelper(copier, QStringLiteral("hunter2 %1").arg(QLatin1String(c.name)), c.type, c.value);
        monitor->checkForChanges();
        ASSERT_EQ(store->history().size(), c.captured ? 1 : 0);
        if (c.captured) {
            EXPECT_EQ(store->history().first().text, QStringLiteral("hunter2 %1").arg(QLatin1String(c.name)));
        }
    }
}

TEST_F(ClipboardCaptureTest, ACopyNamesTheApplicationThatMadeIt)
{
    HelperProcess copier;
    copyWithHelper(copier, QStringLiteral("from a program with a window"));
    const qint64 pid = copier.process.processId();
    std::optional<Platform::RunningApplication> source;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const Platform::RunningApplication& application :
                 Platform::workspace().runningApplications()) {
                if (application.processIdentifier == pid)
                    source = application;
            }
            return source.has_value();
        },
        captureTimeoutMs))
        << "the helper's window never showed";
    ASSERT_FALSE(source->bundleIdentifier.isEmpty());

    monitor->checkForChanges();
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_EQ(store->history().first().sourceBundleID, source->bundleIdentifier);
    EXPECT_EQ(store->history().first().sourceAppName.value_or(QString()), source->localizedName);

    // And copies of that application are skipped once it is excluded.
    Settings::shared().setIgnoredSourceAppBundleIDs({source->bundleIdentifier});
    HelperProcess second;
    copyWithHelper(second, QStringLiteral("excluded now"));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const Platform::RunningApplication& application :
                 Platform::workspace().runningApplications()) {
                if (application.processIdentifier == second.process.processId())
                    return true;
            }
            return false;
        },
        captureTimeoutMs));
    monitor->checkForChanges();
    EXPECT_EQ(store->history().size(), 1);
    Settings::shared().setIgnoredSourceAppBundleIDs({});
}

// A Tk program whose desktop entry hides it from menus: the chooser offers it under the name
// its cards show, and once chosen its copies are no longer recorded.
TEST_F(ClipboardCaptureTest, ATkProgramHiddenFromMenusCanBeChosenAndExcluded)
{
    const QString folder = temp.filePath(QStringLiteral("applications"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile entry(folder + QStringLiteral("/org.example.TkProbe.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Tk Probe\nExec=wish\nNoDisplay=true\n"
                "StartupWMClass=VelloraTkProbe\n");
    entry.close();
    Platform::X11Workspace::Options options = Platform::X11Workspace::standardOptions();
    options.applicationFolders = {folder};
    Platform::X11Workspace workspace(options);
    Platform::setWorkspaceForTesting(&workspace);
    const auto restore = qScopeGuard([] { Platform::setWorkspaceForTesting(nullptr); });

    // The Tk program copies each line it reads.
    QFile script(temp.filePath(QStringLiteral("copier.tcl")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("wm withdraw .\ntoplevel .w -class VelloraTkProbe\nwm geometry .w 120x60+40+40\n"
                 "fconfigure stdin -blocking 0\nfileevent stdin readable {\n"
                 "    if {[gets stdin line] >= 0} {\n"
                 "        selection clear -selection CLIPBOARD; clipboard clear; clipboard append -- $line\n"
                 "    }\n}\n");
    script.close();
    HelperProcess tk;
    ASSERT_TRUE(tk.start(QStringLiteral("wish"), {script.fileName()})) << "needs Tk's wish";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const Platform::RunningApplication& application : workspace.runningApplications()) {
                if (application.processIdentifier == tk.process.processId())
                    return true;
            }
            return false;
        },
        captureTimeoutMs))
        << "the Tk window never showed";
    const auto copyInTk = [&](const QByteArray& text) {
        const qint64 before = Platform::pasteboard().changeCount();
        tk.process.write(text + '\n');
        waitForCopy(before, QStringLiteral("text/plain"), text);
        monitor->checkForChanges();
    };

    ASSERT_NO_FATAL_FAILURE(copyInTk("before the exclusion"));
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_EQ(store->history().first().sourceAppName.value_or(QString()), QStringLiteral("Tk Probe"));

    ApplicationChooserDialog chooser(ApplicationChooserDialog::availableApplications(store->history()));
    const QList<QListWidgetItem*> offered =
        chooser.findChild<QListWidget*>()->findItems(QStringLiteral("Tk Probe"), Qt::MatchExactly);
    ASSERT_EQ(offered.size(), 1) << "the chooser does not offer the Tk program";
    offered.first()->setSelected(true);
    for (const QString& identifier : chooser.chosenIdentifiers())
        Settings::shared().addIgnoredSourceApp(identifier);
    EXPECT_EQ(Settings::shared().ignoredSourceAppBundleIDs(),
              QStringList{QStringLiteral("org.example.TkProbe")});

    ASSERT_NO_FATAL_FAILURE(copyInTk("after the exclusion"));
    EXPECT_EQ(store->history().size(), 1) << "the excluded program's copy was recorded";
    Settings::shared().setIgnoredSourceAppBundleIDs({});
}

TEST_F(ClipboardCaptureTest, ACopyFromACommandWithoutAWindowIsNamedByItsProgram)
{
    // xclip owns the clipboard through an unmapped window naming neither class nor process.
    struct Case {
        const char* name;
        QStringList arguments;
    };
    const Case cases[] = {
        {"in the foreground", {"-quiet", "-selection", "clipboard", "-i"}},
        // The display knows only the parent, which ended once it had forked.
        {"forked into the background", {"-selection", "clipboard", "-i"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store->clearHistory();
        const qint64 before = Platform::pasteboard().changeCount();
        HelperProcess copier;
        ASSERT_TRUE(copier.start(xclip(), c.arguments, c.name));
        waitForCopy(before, QStringLiteral("text/plain"), c.name);
        monitor->checkForChanges();
        ASSERT_EQ(store->history().size(), 1);
        EXPECT_EQ(store->history().first().sourceBundleID.value_or(QString()), QStringLiteral("xclip"));
        EXPECT_EQ(store->history().first().sourceAppName.value_or(QString()), QStringLiteral("xclip"));
    }
}

// A copier that forks and ends is named only through the child holding its connection: the
// programs that start meanwhile, X clients among them, are never named, however close their
// process ids come to the copier's.
TEST_F(ClipboardCaptureTest, ProgramsStartedWhileACopierForksAreNeverNamedForItsCopy)
{
    constexpr int copies = 30;
    HelperProcess loop;
    ASSERT_TRUE(
        loop.start(QStringLiteral("sh"),
                   {"-c", "while :; do true & ls / >/dev/null & xdotool getmouselocation >/dev/null; done"}));
    for (int i = 0; i < copies; ++i) {
        const QByteArray text = "forked copy " + QByteArray::number(i);
        SCOPED_TRACE(text.constData());
        store->clearHistory();
        const qint64 before = Platform::pasteboard().changeCount();
        HelperProcess copier;
        ASSERT_TRUE(copier.start(xclip(), {"-selection", "clipboard", "-i"}, text));
        waitForCopy(before, QStringLiteral("text/plain"), text);
        monitor->checkForChanges();
        ASSERT_EQ(store->history().size(), 1);
        const QString source = store->history().first().sourceBundleID.value_or(QString());
        EXPECT_TRUE(source.isEmpty() || source == QLatin1String("xclip")) << source.toStdString();
    }
}

TEST_F(ClipboardCaptureTest, OurOwnPasteIsNotCapturedAgain)
{
    PasteService service(*monitor, *store, Settings::shared());
    ClipItem item;
    item.type = ClipType::text;
    item.text = QStringLiteral("written by us");
    ASSERT_TRUE(service.copy(item, PasteFormat::asCaptured));
    monitor->checkForChanges();
    EXPECT_TRUE(store->history().isEmpty());

    // Other clients read what we wrote, marker included.
    HelperProcess reader;
    ASSERT_TRUE(reader.start(xclip(), {"-selection", "clipboard", "-o"}));
    EXPECT_EQ(reader.finish(), QByteArray("written by us"));
    HelperProcess markerReader;
    ASSERT_TRUE(
        markerReader.start(xclip(), {"-selection", "clipboard", "-o", "-t", "org.nspasteboard.source"}));
    EXPECT_EQ(markerReader.finish(), QByteArray("app.vellora.Vellora"));

    // The next copy of another client is captured.
    HelperProcess copier;
    copyWithXclip(copier, "theirs");
    monitor->checkForChanges();
    ASSERT_EQ(store->history().size(), 1);
    EXPECT_EQ(store->history().first().text, "theirs");
}

TEST_F(ClipboardCaptureTest, EveryCopyOfABurstIsCapturedInOrder)
{
    constexpr int copies = 50;
    constexpr int copyIntervalMs = 100;
    monitor->start();
    std::vector<std::unique_ptr<HelperProcess>> copiers;
    for (int i = 0; i < copies; ++i) {
        auto& copier = copiers.emplace_back(std::make_unique<HelperProcess>());
        // xclip says it is waiting once it owns the clipboard; then the copy stays a while.
        copier->process.setProcessChannelMode(QProcess::MergedChannels);
        ASSERT_TRUE(copier->start(xclip(), {"-verbose", "-selection", "clipboard", "-i"},
                                  QByteArray("burst copy ") + QByteArray::number(i)));
        ASSERT_FALSE(copier->waitForLine(QStringLiteral("Waiting for selection requests")).isNull());
        QTest::qWait(copyIntervalMs);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return store->history().size() >= copies; }, captureTimeoutMs))
        << store->history().size() << " clips";
    ASSERT_EQ(store->history().size(), copies);
    for (int i = 0; i < copies; ++i)
        EXPECT_EQ(store->history().at(copies - 1 - i).text, QStringLiteral("burst copy %1").arg(i));
}

// Copies a few milliseconds apart: a read given up for a newer copy must not make an X error
// end the copier that still answers it (an empty clipboard and a lost copy when it was the
// last), and at 20 ms apart none may be missed.
TEST_F(ClipboardCaptureTest, CopiesCloseTogetherEndNoCopierAndTheLastStaysOnTheClipboardAndFirst)
{
    constexpr int copies = 30;
    struct Case {
        int intervalMs;
        bool everyCopyKept;
    };
    const Case cases[] = {{10, false}, {20, true}};
    monitor->start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.intervalMs);
        store->clearHistory();
        std::vector<std::unique_ptr<ForkedCopier>> copiers;
        QByteArray text;
        for (int i = 0; i < copies; ++i) {
            text = QByteArray::number(c.intervalMs) + " ms apart: copy " + QByteArray::number(i);
            auto& copier = copiers.emplace_back(std::make_unique<ForkedCopier>(temp.path(), text));
            ASSERT_TRUE(copier->copy(text));
            QTest::qWait(c.intervalMs);
        }
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !store->history().isEmpty() && store->history().first().text == text; },
            captureTimeoutMs))
            << "first in the history: " << store->history().value(0).text.value_or(QString()).toStdString();
        HelperProcess reader;
        ASSERT_TRUE(reader.start(xclip(), {"-selection", "clipboard", "-o"}));
        EXPECT_EQ(reader.finish(), text);
        // Each replaced copier ends by itself once its copy is replaced.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return std::all_of(copiers.begin(), copiers.end() - 1,
                                   [](auto& copier) { return copier->ended(); });
            },
            captureTimeoutMs));
        for (const auto& copier : copiers) {
            copier->ended();
            EXPECT_EQ(copier->errors().toStdString(), std::string());
        }
        if (!c.everyCopyKept)
            continue;
        ASSERT_EQ(store->history().size(), copies);
        for (int i = 0; i < copies; ++i) {
            EXPECT_EQ(store->history().at(copies - 1 - i).text,
                      QStringLiteral("%1 ms apart: copy %2").arg(c.intervalMs).arg(i));
        }
    }
}

TEST_F(ClipboardCaptureTest, AnOwnerThatNeverAnswersHoldsUpNeitherTheMainThreadNorLaterCopies)
{
    // Reading a copy on the main thread waited up to 5 s for such an owner.
    constexpr qint64 stallLimitMs = 1000;
    monitor->start();
    HelperProcess hung;
    ASSERT_TRUE(hung.startHelper(QStringLiteral("hung owner")));
    ASSERT_EQ(hung.waitForLine(QStringLiteral("ready")), QString());
    QElapsedTimer sinceLastPass;
    sinceLastPass.start();
    qint64 longestStallMs = 0;
    const QDeadlineTimer watch(3 * stallLimitMs);
    while (!watch.hasExpired()) {
        QTest::qWait(10);
        longestStallMs = std::max(longestStallMs, sinceLastPass.restart());
    }
    EXPECT_LT(longestStallMs, stallLimitMs);

    HelperProcess copier;
    copyWithXclip(copier, "after the hung owner");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !store->history().isEmpty(); }, captureTimeoutMs));
    EXPECT_EQ(store->history().first().text, "after the hung owner");
}

// A large copy replaced while its chunks arrive: its owner, which finishes the transfer as
// command-line copiers do, must neither write to a window that is gone nor wait forever.
TEST_F(ClipboardCaptureTest, ALargeCopyReplacedWhileReadLetsItsOwnerFinishWithoutAnXError)
{
    constexpr qsizetype size = 20 * 1024 * 1024;
    monitor->start();
    HelperProcess owner;
    ASSERT_TRUE(owner.startHelper(QStringLiteral("raw owner"),
                                  {{"VELLORA_TEST_HELPER_BYTES", QString::number(size)}}));
    ASSERT_EQ(owner.waitForLine(QStringLiteral("ready"), largeCopyTimeoutMs), QString());
    ASSERT_EQ(owner.waitForLine(QStringLiteral("transfer started"), largeCopyTimeoutMs), QString());
    HelperProcess copier;
    copyWithXclip(copier, "replaces the large copy");
    EXPECT_EQ(owner.waitForLine(QStringLiteral("transfer ended: "), largeCopyTimeoutMs),
              QString::number(size));
    EXPECT_FALSE(owner.output.contains(QLatin1String("x error"))) << owner.output.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !store->history().isEmpty(); }, captureTimeoutMs));
    EXPECT_EQ(store->history().first().text, "replaces the large copy");
}

TEST_F(ClipboardCaptureTest, LargeCopiesArriveWholeInChunksUpToTheLimit)
{
    struct Case {
        const char* name;
        qsizetype size;
        bool read;
    };
    const Case cases[] = {
        {"20 MB in INCR chunks", 20 * 1024 * 1024, true},
        {"announced over the limit: not read", Platform::XClipboardReader::maxTypeBytes + 1, false},
    };
    monitor->start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store->clearHistory();
        HelperProcess owner;
        ASSERT_TRUE(owner.startHelper(QStringLiteral("raw owner"),
                                      {{"VELLORA_TEST_HELPER_BYTES", QString::number(c.size)}}));
        ASSERT_EQ(owner.waitForLine(QStringLiteral("ready"), largeCopyTimeoutMs), QString());
        // The short type beside the large one tells that the copy has been read.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return Platform::pasteboard().data(QStringLiteral("text/html")) == RawSelectionOwner::html;
            },
            largeCopyTimeoutMs));
        const QByteArray read = Platform::pasteboard().data(QStringLiteral("text/plain"));
        if (!c.read) {
            EXPECT_TRUE(read.isEmpty());
            continue;
        }
        const QByteArray text = RawSelectionOwner::numberedText(c.size);
        EXPECT_TRUE(read == text) << read.size() << " bytes read";
        ASSERT_EQ(store->history().size(), 1);
        // The store keeps the beginning of texts over its limit.
        EXPECT_EQ(store->history().first().text,
                  QString::fromLatin1(text.left(ClipboardStore::maxTextLength)));
    }
}
