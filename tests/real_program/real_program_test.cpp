// The built program itself on an X server of its own (Xvfb, the xcb platform), driven from outside as a
// user drives it: each ordinary way of closing it, and files that must not hang it. What happens around
// the real main() (the order in which objects go at exit, signals, the X connection) is seen only here.
#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include "model/width_record.h"
#include "res/dialog_template.h"
#include "res/resource.h"

namespace {

constexpr int kSeconds = 1000;

// An X server of the test's own on the first free display from QUARROW_TEST_DISPLAY (default 110) on.
class CXServer {
public:
    CXServer() {
        const QByteArray base = qgetenv("QUARROW_TEST_DISPLAY");
        const int first = base.isEmpty() ? 110 : base.toInt();
        for (int n = first; n < first + 50 && m_display.isEmpty(); ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_process.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"),
                                                     QStringLiteral("0"), QStringLiteral("1024x768x24"),
                                                     QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                                     // No reset, which refuses clients for a moment, each
                                                     // time the last client leaves.
                                                     QStringLiteral("-noreset")});
            if (!m_process.waitForStarted(5 * kSeconds))
                return; // no Xvfb at all
            const QString display = QStringLiteral(":%1").arg(n);
            QElapsedTimer waited;
            waited.start();
            while (m_process.state() == QProcess::Running && waited.elapsed() < 10 * kSeconds) {
                xcb_connection_t* connection = xcb_connect(display.toLatin1().constData(), nullptr);
                const bool up = xcb_connection_has_error(connection) == 0;
                xcb_disconnect(connection);
                if (up) {
                    m_display = display;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (m_display.isEmpty())
                Stop(); // the number was taken after all: try the next
        }
    }
    ~CXServer() { Stop(); }

    // ":N", or empty when no server could be started.
    const QString& Display() const { return m_display; }

private:
    void Stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5 * kSeconds))
            m_process.kill();
        m_process.waitForFinished();
    }

    QProcess m_process;
    QString m_display;
};

using Window = unsigned long;

class RealProgramTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_FALSE(m_server.Display().isEmpty()) << "Xvfb could not be started (scripts/install-deps.sh)";
        for (const char* sub : {"home/.config", "run", "work"})
            ASSERT_TRUE(QDir().mkpath(Path(sub)));
        ASSERT_EQ(chmod(QFile::encodeName(Path("run")).constData(), 0700), 0);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("DISPLAY"), m_server.Display());
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_env.insert(QStringLiteral("HOME"), Path("home"));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path("home/.config"));
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Path("run"));
        // The exit status is what these tests read: the sanitizer build checks leaks in the unit tests,
        // not in the X and font libraries' caches here.
        const QString asan = m_env.value(QStringLiteral("ASAN_OPTIONS"));
        m_env.insert(QStringLiteral("ASAN_OPTIONS"), asan + (asan.isEmpty() ? "" : ":") + "detect_leaks=0");
    }

    void TearDown() override {
        if (m_program.state() != QProcess::NotRunning) {
            m_program.kill();
            m_program.waitForFinished();
        }
    }

    QString Path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    // The program starts in work/, so its fields point at work/LBA.TXT.
    QString Listing() const { return Path("work/LBA.TXT"); }

    void WriteListing(const std::string& bytes) const {
        QFile file(Listing());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
                  static_cast<qint64>(bytes.size()));
    }

    // Starts the program, through `wrapper` (a command and its arguments) when one is given, and waits for
    // its main window.
    void Start(const QStringList& wrapper = {}) {
        m_program.setProcessEnvironment(m_env);
        m_program.setWorkingDirectory(Path("work"));
        m_program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList command = wrapper;
        command << QStringLiteral(QUARROW_PROGRAM);
        m_program.start(command.takeFirst(), command);
        ASSERT_TRUE(m_program.waitForStarted(5 * kSeconds));
        // A program started after another may get the same window id.
        m_main = 0;
        const std::optional<Window> main = WaitForWindow(10 * kSeconds, kTitled);
        ASSERT_TRUE(main) << "no main window";
        m_main = *main;
    }

    // Runs xdotool with the test's display; its standard output.
    QString XDoTool(const QStringList& arguments) const {
        QProcess tool;
        tool.setProcessEnvironment(m_env);
        tool.start(QStringLiteral("xdotool"), arguments);
        tool.waitForFinished(10 * kSeconds);
        return QString::fromLocal8Bit(tool.readAllStandardOutput());
    }

    // Which of the program's visible windows to look for: those titled like the main window (it and the
    // message boxes), or any (menus and tooltips too).
    enum Kind { kTitled, kAny };

    std::vector<Window> Windows(Kind kind) const {
        std::vector<Window> windows;
        QStringList search{"search", "--all", "--onlyvisible", "--pid",
                           QString::number(m_program.processId())};
        if (kind == kTitled)
            search << "--name"
                   << "^Quarrow$";
        const QString out = XDoTool(search);
        for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            windows.push_back(line.toULong());
        return windows;
    }

    // A visible window other than the main window (a message box, a menu), waiting at most `timeoutMs`.
    std::optional<Window> WaitForWindow(int timeoutMs, Kind kind) const {
        QElapsedTimer waited;
        waited.start();
        do {
            for (Window window : Windows(kind)) {
                if (window != m_main)
                    return window;
            }
            if (m_program.state() == QProcess::NotRunning)
                return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        } while (waited.elapsed() < timeoutMs);
        return std::nullopt;
    }

    // Waits for a message box; prints how long it took after `since` started. False when none came.
    bool AnswerBox(const char* what, const QElapsedTimer& since, int timeoutMs) {
        const std::optional<Window> box = WaitForWindow(timeoutMs, kTitled);
        if (!box)
            return false;
        std::printf("[ figures  ] %s: message box after %lld ms\n", what,
                    static_cast<long long>(since.elapsed()));
        Key(*box, "Return");
        // The box has gone before the next click, which it would otherwise take.
        QElapsedTimer waited;
        waited.start();
        while (IsVisible(*box)) {
            if (waited.elapsed() > 5 * kSeconds) {
                ADD_FAILURE() << what << ": the box does not go away, the window does not answer";
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    bool IsVisible(Window window) const {
        const std::vector<Window> windows = Windows(kAny);
        return std::find(windows.begin(), windows.end(), window) != windows.end();
    }

    // The centre of a control of the main window, in the window's pixels, from the dialog template.
    static std::pair<int, int> CentreOf(int controlId) {
        const DialogTemplate* dialog = FindDialogTemplate(IDD_MAIN_DIALOG);
        for (const DlgItemTemplate& item : dialog->items) {
            if (item.id == controlId)
                return {DluToPixelsX(item.x + item.cx / 2), DluToPixelsY(item.y + item.cy / 2)};
        }
        ADD_FAILURE() << "no control " << controlId;
        return {0, 0};
    }

    void ClickAt(int x, int y, int button) const {
        XDoTool({"mousemove", "--window", QString::number(m_main), QString::number(x), QString::number(y),
                 "click", QString::number(button)});
    }
    void Click(int controlId) const {
        const auto [x, y] = CentreOf(controlId);
        ClickAt(x, y, 1);
    }
    void Key(Window window, const char* key) const {
        XDoTool({"windowfocus", QString::number(window), "key", key});
    }

    // What a window manager sends when the close box is clicked: WM_PROTOCOLS with WM_DELETE_WINDOW.
    void SendDeleteWindow() const {
        xcb_connection_t* connection = xcb_connect(m_server.Display().toLatin1().constData(), nullptr);
        ASSERT_EQ(xcb_connection_has_error(connection), 0);
        const auto atom = [connection](const char* name) {
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
                connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name),
                nullptr);
            const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
            free(reply);
            return value;
        };
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = static_cast<xcb_window_t>(m_main);
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        // A checked request waits for the server's answer: a request merely flushed before disconnecting
        // may be dropped with the connection.
        xcb_generic_error_t* error = xcb_request_check(
            connection, xcb_send_event_checked(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                                               reinterpret_cast<const char*>(&event)));
        EXPECT_EQ(error, nullptr) << "error " << (error ? int(error->error_code) : 0);
        free(error);

        xcb_disconnect(connection);
    }

    // The exit status once the program ends within `timeoutMs`; nothing when it hangs or was signalled.
    std::optional<int> ExitStatus(int timeoutMs) {
        if (!m_program.waitForFinished(timeoutMs) || m_program.exitStatus() != QProcess::NormalExit)
            return std::nullopt;
        return m_program.exitCode();
    }

    // The width record the program stored, or nothing.
    std::optional<QByteArray> StoredWidths() const {
        const QString file = Path("home/.config/Pellam/Quarrow.ini");
        if (!QFile::exists(file))
            return std::nullopt;
        QSettings settings(file, QSettings::IniFormat);
        const QVariant record = settings.value(QStringLiteral("ListCtrls/1000"));
        if (!record.isValid())
            return std::nullopt;
        return record.toByteArray();
    }

    QTemporaryDir m_dir;
    CXServer m_server;
    QProcessEnvironment m_env;
    QProcess m_program;
    Window m_main = 0;
};

const std::string kThreeColumns = "0000001A|00000800|BOOT.BIN\r\n00000020|00001000|SYSTEM.CNF\r\n";

} // namespace

TEST_F(RealProgramTest, EveryOrdinaryCloseEndsWithStatus0AndKeepsTheWidths) {
    struct Case {
        const char* how;
        std::function<void(RealProgramTest&)> close;
    };
    const Case cases[] = {
        {"Escape", [](RealProgramTest& t) { t.Key(t.m_main, "Escape"); }},
        {"close box", [](RealProgramTest& t) { t.SendDeleteWindow(); }},
        {"context menu Close",
         [](RealProgramTest& t) {
             // A free spot of the window's own background, between the Save button and the check boxes.
             t.ClickAt(DluToPixelsX(295), DluToPixelsY(192), 3);
             const std::optional<Window> menu = t.WaitForWindow(5 * kSeconds, kAny);
             ASSERT_TRUE(menu) << "no menu";
             t.Key(*menu, "c");
         }},
        {"window destroyed from outside",
         [](RealProgramTest& t) {
             t.XDoTool({"windowclose", QString::number(t.m_main)});
         }},
    };
    const QByteArray defaults = WriteWidthRecord({50, 70, 75, 220, 60, 60});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        QFile::remove(Path("home/.config/Pellam/Quarrow.ini"));
        Start();
        c.close(*this);
        EXPECT_EQ(ExitStatus(10 * kSeconds), 0);
        EXPECT_EQ(StoredWidths(), defaults);
        TearDown();
    }
}

TEST_F(RealProgramTest, SpecialFilesGiveAMessageWithinSecondsAndNeverHang) {
    // A FIFO with no writer: reading it would wait for ever.
    ASSERT_EQ(mkfifo(QFile::encodeName(Listing()).constData(), 0600), 0);
    Start();
    QElapsedTimer clock;
    clock.start();
    Click(IDC_SCAN);
    EXPECT_TRUE(AnswerBox("FIFO, Scan", clock, 5 * kSeconds)) << "FIFO";
    EXPECT_EQ(ExitStatus(10 * kSeconds), 0) << "FIFO";
    TearDown();

    // A device put in the listing's place after Scan: /dev/zero never ends.
    QFile::remove(Listing());
    WriteListing(kThreeColumns);
    Start();
    Click(IDC_SCAN);
    ASSERT_TRUE(QFile::remove(Listing()));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), Listing()));
    clock.start();
    Click(IDC_LOAD_3COL);
    EXPECT_TRUE(AnswerBox("/dev/zero, Load 3 col", clock, 5 * kSeconds)) << "device";
    EXPECT_EQ(ExitStatus(10 * kSeconds), 0) << "device";
}

TEST_F(RealProgramTest, AListingThatKeepsGrowingStillLoads) {
    std::string lines;
    for (int i = 0; i < 1000; ++i)
        lines += "0000001A|00000800|A_NAME_OF_SOME_LENGTH\r\n";
    WriteListing(lines);
    Start();
    Click(IDC_SCAN);
    // A writer appends about 80 MB a second while the program loads, up to 130 MB.
    std::atomic<bool> stop = false;
    std::thread writer([&] {
        std::FILE* file = std::fopen(QFile::encodeName(Listing()).constData(), "ab");
        for (int chunk = 0; file && !stop && chunk < 300; ++chunk) {
            for (int i = 0; i < 10; ++i)
                std::fwrite(lines.data(), 1, lines.size(), file);
            std::fflush(file);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (file)
            std::fclose(file);
    });
    QElapsedTimer clock;
    clock.start();
    Click(IDC_LOAD_3COL);
    const bool answered = AnswerBox("growing file, Load 3 col", clock, 10 * kSeconds);
    stop = true;
    writer.join();
    EXPECT_TRUE(answered) << "the load of a growing file must end";
    Key(m_main, "Escape");
    EXPECT_EQ(ExitStatus(10 * kSeconds), 0);
}

TEST_F(RealProgramTest, AThirtyMegabyteNameLoadsAndTheWindowStillAnswers) {
    std::string name(30 << 20, 'n');
    for (std::size_t i = 0; i < name.size(); i += 97)
        name[i] = static_cast<char>('A' + i % 26);
    const std::string listing = "0000001A|00000800|" + name + "\r\n";
    WriteListing(listing);
    Start();
    Click(IDC_SCAN);
    QElapsedTimer clock;
    clock.start();
    Click(IDC_LOAD_3COL);
    ASSERT_TRUE(AnswerBox("30 MB name, Load 3 col", clock, 20 * kSeconds));
    // The table now shows the row; a click on Save must be answered at once, and the name written whole.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    clock.start();
    Click(IDC_SAVE);
    EXPECT_TRUE(AnswerBox("30 MB name, Save", clock, 3 * kSeconds)) << "the window does not answer";
    QFile output(Path("work/Sorted-LBA.TXT"));
    ASSERT_TRUE(output.open(QIODevice::ReadOnly));
    EXPECT_TRUE(output.readAll() == QByteArray::fromStdString(listing)) << "the name is written back whole";
    Key(m_main, "Escape");
    EXPECT_EQ(ExitStatus(10 * kSeconds), 0);
}

TEST_F(RealProgramTest, AFileSizeLimitMakesSaveReportAWriteError) {
    std::string lines;
    for (int i = 0; i < 200; ++i)
        lines += "0000001A|00000800|A_NAME_OF_SOME_LENGTH\r\n";
    WriteListing(lines);
    // Files the program writes may not grow beyond 1000 bytes.
    Start({"prlimit", "--fsize=1000", "--"});
    Click(IDC_SCAN);
    QElapsedTimer clock;
    clock.start();
    Click(IDC_LOAD_3COL);
    ASSERT_TRUE(AnswerBox("limit, Load 3 col", clock, 5 * kSeconds));
    clock.start();
    Click(IDC_SAVE);
    EXPECT_TRUE(AnswerBox("limit, Save", clock, 5 * kSeconds)) << "no Code 203 box";
    EXPECT_EQ(ExitStatus(10 * kSeconds), 0) << "a signal ended the program";
    EXPECT_FALSE(QFile::exists(Path("work/Sorted-LBA.TXT")));
}

namespace {

// The centre of row `row` of the table in the window, with the table's font and header: the table's top
// at 390, a header 18 pixels high, rows 17 pixels apart.
std::pair<int, int> RowCentre(int row) {
    return {DluToPixelsX(120), 390 + 18 + 8 + 17 * row};
}

// The FileName texts of a saved listing, in its order, joined.
std::string SavedNames(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    std::string names;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype bar = line.lastIndexOf('|');
        if (bar >= 0)
            names += line.mid(bar + 1, 1).toStdString();
    }
    return names;
}

} // namespace

TEST_F(RealProgramTest, AGrownWindowOrdersRowsByKeyAndByDragAndSavesThatOrder) {
    WriteListing("00000010|00000800|A.BIN\r\n00000020|00000300|B.BIN\r\n00000030|00000100|C.BIN\r\n"
                 "00000040|00000900|D.BIN\r\n00000050|00000200|E.BIN\r\n");
    Start();
    XDoTool({"windowsize", "--sync", QString::number(m_main), "900", "800"});
    const QString geometry = XDoTool({"getwindowgeometry", QString::number(m_main)});
    EXPECT_TRUE(geometry.contains(QStringLiteral("900x800"))) << geometry.toStdString();
    Click(IDC_SCAN);
    QElapsedTimer clock;
    clock.start();
    Click(IDC_LOAD_3COL);
    ASSERT_TRUE(AnswerBox("grown window, Load 3 col", clock, 5 * kSeconds));

    // C and E to the top with the keyboard: click C, Ctrl+click E, Ctrl+Shift+Home.
    const auto [x, yC] = RowCentre(2);
    ClickAt(x, yC, 1);
    XDoTool({"keydown", "ctrl"});
    ClickAt(x, RowCentre(4).second, 1);
    XDoTool({"keyup", "ctrl"});
    Key(m_main, "ctrl+shift+Home");
    // Then D down past A and B by dragging it to the lower half of the last row: C E A B D.
    XDoTool({"mousemove", "--window", QString::number(m_main), QString::number(x),
             QString::number(RowCentre(4).second), "mousedown", "1"});
    for (int row = 3; row <= 4; ++row) {
        XDoTool({"mousemove", "--window", QString::number(m_main), QString::number(x + 3),
                 QString::number(RowCentre(row).second + 5)});
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    XDoTool({"mouseup", "1"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    clock.start();
    Click(IDC_SAVE);
    ASSERT_TRUE(AnswerBox("grown window, Save", clock, 5 * kSeconds));
    EXPECT_EQ(SavedNames(Path("work/Sorted-LBA.TXT")), "CEABD");
    Key(m_main, "Escape");
    EXPECT_EQ(ExitStatus(10 * kSeconds), 0);
}

// A FileName sort of a million rows runs while the window answers: the close box takes the window away at
// once, and the program ends with status 0.
TEST_F(RealProgramTest, TheCloseBoxWorksDuringALongSort) {
    std::string lines;
    lines.reserve(60u << 20);
    char line[96];
    for (unsigned i = 0; i < 1000000; ++i) {
        std::snprintf(line, sizeof line, "%08X|%08X|/AREA0/sub_%u/name_%u.bin\r\n", i * 3,
                      (i * 7919) % 100000, (i * 2654435761u) % 97, (i * 40503u) % 1000003);
        lines += line;
    }
    WriteListing(lines);
    Start();
    Click(IDC_SCAN);
    QElapsedTimer clock;
    clock.start();
    Click(IDC_LOAD_3COL);
    ASSERT_TRUE(AnswerBox("1M rows, Load 3 col", clock, 60 * kSeconds));
    // A click on the FileName header, then the close box while the sort runs.
    ClickAt(DluToPixelsX(7) + 50 + 70 + 75 + 40, 390 + 9, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    clock.start();
    SendDeleteWindow();
    QElapsedTimer gone;
    gone.start();
    while (IsVisible(m_main) && gone.elapsed() < 20 * kSeconds)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::printf("[ figures  ] 1M rows, close box during a FileName sort: window gone after %lld ms\n",
                static_cast<long long>(clock.elapsed()));
    EXPECT_LT(clock.elapsed(), 500) << "the window did not answer the close box during the sort";
    EXPECT_EQ(ExitStatus(30 * kSeconds), 0);
}
