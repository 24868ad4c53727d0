// The read trace entries of the main window's system menu: Order by Read Trace puts the table's rows in
// the order a trace first reads their files and tells what that order saves; Layout Map shows the rows'
// blocks, and the trace's reads, in a window of its own.
#include <algorithm>
#include <cstring>

#include <QDir>
#include <QFile>

#include "app/folder_file_dialog.h"
#include "app/layout_map_wnd.h"
#include "app/main_dlg.h"
#include "disc/read_order.h"
#include "disc/seek_figures.h"
#include "listing/listing_format.h"
#include "platform/message_box.h"
#include "res/resource.h"

namespace {

const QString kOrderCaption = QStringLiteral("Order by Read Trace");

QString Figures(const SeekFigures& f) {
    return QStringLiteral("%1 reads, %2 seeks, head travel %3 blocks, about %4 s")
        .arg(f.reads)
        .arg(f.seeks)
        .arg(f.travelBlocks)
        .arg(f.estimatedSeconds, 0, 'f', 2);
}

} // namespace

BOOL CMainDlg::OnTraceCommand(UINT nID) {
    if (nID == IDM_ORDER_BY_TRACE)
        OnOrderByReadTrace();
    else if (nID == IDM_LAYOUT_MAP)
        OnLayoutMap();
    else
        return FALSE;
    return TRUE;
}

void CMainDlg::OnOrderByReadTrace() {
    if (m_list.GetItemCount() == 0) {
        MessageBox(
            QStringLiteral("The table is empty: load the listing of the disc image the trace was made on."),
            kOrderCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    char szFilter[] = "Read traces (*.txt;*.log;*.lba;*.trace)\x01*.txt;*.log;*.lba;*.trace\x01"
                      "All files (*.*)\x01*.*\x01";
    const int nFilterLength = static_cast<int>(std::strlen(szFilter));
    std::replace(std::begin(szFilter), std::end(szFilter), '\x01', '\0');
    CFolderFileDialog dlg(TRUE, this, GetDlgItem(IDC_FOLDER_PATH)->GetWindowText(), QString(), szFilter,
                          nFilterLength + 1, nullptr, OFN_FILEMUSTEXIST);
    if (!dlg.DoModal())
        return;
    OrderByReadTrace(dlg.m_szFile);
}

bool CMainDlg::OrderByReadTrace(const QString& strTrace) {
    QFile file(strTrace);
    if (!file.open(QIODevice::ReadOnly)) {
        MessageBox(QStringLiteral("Cannot read the trace %1:\n%2")
                       .arg(QDir::toNativeSeparators(strTrace), file.errorString()),
                   kOrderCaption, MB_OK | MB_ICONERROR);
        return false;
    }
    const QByteArray bytes = file.readAll();
    CResult<Trace> trace =
        ReadTrace(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), {});
    if (!trace) {
        const Failure& failure = trace.Error();
        const QString where = failure.line > 0 ? QStringLiteral("line %1: ").arg(failure.line) : QString();
        MessageBox(
            QStringLiteral("Cannot read the trace %1:\n%2%3")
                .arg(QDir::toNativeSeparators(strTrace), where, QString::fromStdString(failure.message)),
            kOrderCaption, MB_OK | MB_ICONERROR);
        return false;
    }

    const std::vector<TracedFile> files = TableFiles(m_list);
    const ReadOrder order = FirstReadOrder(files, trace->reads, false);
    // The new order's figures: the files laid out back to back in that order from the first block in use.
    std::uint64_t next = UINT64_MAX;
    for (const TracedFile& f : files) {
        if (f.fileSize > 0)
            next = std::min(next, f.startLba);
    }
    std::vector<std::uint64_t> newStarts(files.size(), kNoNewStart);
    for (const std::uint32_t row : order.order) {
        if (next == UINT64_MAX || files[row].fileSize == 0)
            continue;
        newStarts[row] = next;
        next += (files[row].fileSize + kTraceBlockSize - 1) / kTraceBlockSize;
    }
    const SeekFigures before = MeasureSeeks(trace->reads, DriveModel{});
    const SeekFigures after = MeasureSeeks(ReplayReads(files, newStarts, trace->reads), DriveModel{});

    m_list.ReorderRows(order.order);
    m_traceReads = std::move(trace->reads);
    if (auto* map = static_cast<CLayoutMapWnd*>(m_pLayoutMap.data()))
        map->Refresh(&m_traceReads);
    MessageBox(QStringLiteral(
                   "The rows are in the order the trace first reads their files: %1 files read, %2 never "
                   "read (after them).\n\nSeeks of the trace (%3 ms a seek, %4 KiB/s):\nOld order: %5\nNew "
                   "order, laid out back to back: %6\nSaved: %7% of the time.")
                   .arg(order.filesRead)
                   .arg(order.order.size() - order.filesRead)
                   .arg(DriveModel{}.seekMs)
                   .arg(DriveModel{}.kibPerS)
                   .arg(Figures(before), Figures(after))
                   .arg(SavedShare(before, after) * 100, 0, 'f', 1),
               kOrderCaption, MB_OK | MB_ICONINFORMATION);
    return true;
}

void CMainDlg::OnLayoutMap() {
    auto* map = static_cast<CLayoutMapWnd*>(m_pLayoutMap.data());
    if (!map) {
        map = new CLayoutMapWnd(m_list, GetSafeWidget());
        map->setAttribute(Qt::WA_DeleteOnClose);
        m_pLayoutMap = map;
    }
    map->Refresh(m_traceReads.empty() ? nullptr : &m_traceReads);
    map->show();
    map->raise();
}
