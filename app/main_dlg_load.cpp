// Scan and the four loaders of the main window.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include <sys/stat.h>

#include <QFile>

#include "app/file_error_exit.h"
#include "app/main_dlg.h"
#include "app/message_pump.h"
#include "base/display_text.h"
#include "listing/line_reader.h"
#include "listing/listing_format.h"
#include "listing/listing_rows.h"
#include "listing/regular_file.h"
#include "listing/scan_rules.h"
#include "listing/threaded_line_pass.h"
#include "platform/message_box.h"
#include "res/resource.h"

namespace {

// Opens a listing for reading; only a regular file counts as one.
FilePtr OpenForReading(const QString& path) {
    return OpenRegularFile(QFile::encodeName(path).constData());
}

int ClampToInt(long long value) {
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// The characters of a bad line that its message shows.
constexpr qsizetype kShownLineLength = 80;

// The loader of each layout, and the Save button that writes a listing read as it.
struct LayoutButtons {
    ListingLayout layout;
    int loadId;
    int saveId;
};
constexpr LayoutButtons kLayoutButtons[] = {
    {ListingLayout::ThreeColumns, IDC_LOAD_3COL, IDC_SAVE},
    {ListingLayout::FourColumns, IDC_LOAD_4COL, IDC_SAVE},
    {ListingLayout::FiveColumns, IDC_LOAD_5COL, IDC_SAVE},
    {ListingLayout::FileList, IDC_FILELIST_LOAD, IDC_FILELIST_SAVE},
};

} // namespace

struct CMainDlg::LoaderParams {
    ListingLayout layout;
    // The file is opened twice, the same way: once for counting its separators, once for reading its lines.
    const char* countingOpenFailure;
    const char* linesOpenFailure;
    const char* readFailure;
    bool pumpsAndShowsProgress; // the window stays alive and the progress bar moves during the load
    bool pumpBeforePosition;    // the five-column loader pumps first, then shows i + 1
};

void CMainDlg::OnScan() {
    const QString path = FormFullPath();
    FilePtr file = OpenForReading(path);
    if (!file)
        FailWithMessage(QStringLiteral("Code 402 - Error Opening ") + path);
    std::fseek(file.get(), 0, SEEK_END);
    const long length = std::ftell(file.get());
    if (length == 0)
        FailWithMessage(QStringLiteral("Code 402a - Error Opening ") + path);
    const ScanCount count = ScanFirstLine(file.get());
    file.reset();
    if (count.readFailed)
        FailWithMessage(QStringLiteral("Code 403 - Error Reading ") + path);

    const ScanDecision decision = DecideScan(count);
    // A loader follows its layout. A Save button is enabled when a layout it writes becomes loadable, and
    // disabled when all those Scan decides on become not loadable.
    std::map<int, bool> saves;
    for (const LayoutButtons& buttons : kLayoutButtons) {
        const std::optional<bool> loadable = LoadableAs(decision, buttons.layout);
        if (!loadable)
            continue;
        GetDlgItem(buttons.loadId)->EnableWindow(*loadable ? TRUE : FALSE);
        saves[buttons.saveId] = saves[buttons.saveId] || *loadable;
    }
    for (const auto& [saveId, enable] : saves)
        GetDlgItem(saveId)->EnableWindow(enable ? TRUE : FALSE);
    if (decision.columns) {
        const ColumnChoice& boxes = *decision.columns;
        m_btnNumber.SetCheck(boxes.number ? BST_CHECKED : BST_UNCHECKED);
        m_btnStartLba.SetCheck(boxes.startLba ? BST_CHECKED : BST_UNCHECKED);
        m_btnFileSize.SetCheck(boxes.fileSize ? BST_CHECKED : BST_UNCHECKED);
        m_btnFileName.SetCheck(boxes.fileName ? BST_CHECKED : BST_UNCHECKED);
        m_btnLbaPos.SetCheck(boxes.lbaPos ? BST_CHECKED : BST_UNCHECKED);
        m_btnColumn6.SetCheck(boxes.column6 ? BST_CHECKED : BST_UNCHECKED);
    }
    if (decision.invalidFormat)
        AfxMessageBox(QStringLiteral("Invalid file text format"), MB_OK | MB_ICONINFORMATION);
}

void CMainDlg::OnLoad3Col() {
    LoadListing({ListingLayout::ThreeColumns, "Code 101 - Error Opening ", "Code 102 - Error Opening ",
                 "Code 103 - Error Reading ", true, false});
}

void CMainDlg::OnLoad4Col() {
    LoadListing({ListingLayout::FourColumns, "Code 2201 - Error Opening ", "Code 2202 - Error Opening ",
                 "Code 2203 - Error Reading ", true, false});
}

void CMainDlg::OnLoad5Col() {
    LoadListing({ListingLayout::FiveColumns, "Code 2201 - Error Opening ", "Code 2202 - Error Opening ",
                 "Code 2203 - Error Reading ", true, true});
}

void CMainDlg::OnFilelistLoad() {
    LoadListing({ListingLayout::FileList, "Code 101 - Error Opening ", "Code 102 - Error Opening ",
                 "Code 103 - Error Reading ", false, false});
}

void CMainDlg::LoadListing(const LoaderParams& params) {
    const QString path = FormFullPath();
    m_list.DeleteAllRows();
    // A command run inside the pump that empties the table (another load, Browse) takes the table over:
    // this load then stops quietly.
    const auto clearCount = m_list.GetClearCount();
    const auto interrupted = [&] { return m_list.GetClearCount() != clearCount; };

    FilePtr counting = OpenForReading(path);
    if (!counting)
        FailWithMessage(QString::fromLatin1(params.countingOpenFailure) + path);
    FilePtr text = OpenForReading(path);
    if (!text)
        FailWithMessage(QString::fromLatin1(params.linesOpenFailure) + path);
    // The line pass reads the file as far as it reached now: one that grows meanwhile still ends.
    struct stat info {};
    const unsigned long long length = fstat(fileno(text.get()), &info) == 0
                                          ? static_cast<unsigned long long>(std::max<off_t>(info.st_size, 0))
                                          : 0;

    std::function<void()> pump;
    if (params.pumpsAndShowsProgress)
        pump = [] { PumpWaitingMessages(); };
    const long long count = CountByte(counting.get(), CountedByte(params.layout), pump);
    counting.reset();
    // A load that returns early leaves an empty bar, whatever it showed before.
    const auto stop = [&] {
        if (params.pumpsAndShowsProgress)
            m_progress.SetPos(0);
    };
    if (interrupted())
        return stop();
    if (count < 0)
        FailWithMessage(QString::fromLatin1(params.readFailure) + path);
    const long long expected = ExpectedLines(params.layout, count);

    if (params.pumpsAndShowsProgress)
        m_progress.SetRange32(0, ClampToInt(expected));
    // The count gives the most rows the file can hold; room for them up to a bound, past which the table
    // grows as needed (a name full of separators promises more lines than there are).
    constexpr long long kMostRowsReserved = 1 << 24;
    m_list.ReserveItems(static_cast<std::size_t>(std::min(expected, kMostRowsReserved)));

    CLineReader reader(text.get());
    if (length > 0) // a file of the system's own (under /proc) shows a length of 0 whatever it holds
        reader.LimitTo(length);
    // The lines are read, split and formed into cell texts on another thread while this one adds the
    // rows, moves the bar and lets the window's events through, row by row as before.
    const auto addRow = [&](std::span<const std::string_view> cells, long long i) {
        m_list.AddRow(cells);
        if (params.pumpsAndShowsProgress) {
            if (params.pumpBeforePosition) {
                PumpWaitingMessages();
                if (interrupted())
                    return false;
                m_progress.SetPos(ClampToInt(i + 1));
            } else {
                m_progress.SetPos(ClampToInt(i));
                PumpWaitingMessages();
                if (interrupted())
                    return false;
            }
        }
        return true;
    };
    ListingPass pass;
    {
        CThreadedLinePass linePass(reader, params.layout);
        CRowBatch batch;
        bool bStopped = false;
        while (!bStopped && linePass.NextBatch(batch)) {
            for (std::size_t k = 0; k < batch.GetCount() && !bStopped; ++k)
                bStopped = !addRow(batch.Cells(k), batch.FirstIndex() + static_cast<long long>(k));
        }
        if (bStopped)
            return stop();
        pass = linePass.Result();
    }
    if (interrupted())
        return stop();
    if (reader.ReadFailed())
        FailWithMessage(QString::fromLatin1(params.readFailure) + path);
    text.reset();
    if (pass.Failed()) {
        // Nothing of a file with a line that is not of its layout stays in the table.
        m_list.DeleteAllRows();
        stop();
        AfxMessageBox(QStringLiteral("Invalid file text format\nLine %1: ").arg(pass.badLine) +
                          DecodeForDisplay(pass.badText).left(kShownLineLength),
                      MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The view learns of new rows a few times a second; it shows the last ones before the box appears.
    m_list.UpdateWindow();

    if (params.pumpsAndShowsProgress)
        m_progress.FlushPos();
    AfxMessageBox(QStringLiteral(" done ! =>  ") + path, MB_OK | MB_ICONINFORMATION);
    if (params.pumpsAndShowsProgress)
        m_progress.SetPos(0);
}
