// Save, Filelist Save and the column check boxes of the main window.
#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include <fcntl.h>

#include <QFile>

#include "app/file_error_exit.h"
#include "app/main_dlg.h"
#include "app/message_pump.h"
#include "base/parallel_parts.h"
#include "listing/atomic_file_writer.h"
#include "listing/listing_format.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"

namespace {

constexpr std::size_t kWriteChunk = 1 << 20;

// Writes an output file through a temporary file that replaces the target only when everything was
// written: an interrupted save (the process ended inside it, a write error) leaves the earlier file whole.
class COutputFile {
public:
    explicit COutputFile(const QString& path)
        : m_file(std::make_unique<CAtomicFileWriter>(QFile::encodeName(path).toStdString())),
          m_cleanup([this] { m_file.reset(); }) {}

    bool Open() { return m_file->Open(); }

    // Ends the line just appended to the buffer with CR LF, as a text-mode stream writes it.
    void EndLine() {
        EndLineWithCrLf(m_buffer);
        if (m_buffer.size() >= kWriteChunk)
            Flush();
    }

    std::string& Buffer() { return m_buffer; }

    // Writes a block of whole lines after what was written before.
    void WriteBlock(const std::string& block) {
        Flush();
        Write(block);
    }

    // Writes what is left and replaces the target; false when any write failed.
    bool Commit() {
        Flush();
        return !m_bFailed && m_file->Commit();
    }

private:
    void Flush() {
        Write(m_buffer);
        m_buffer.clear();
    }

    void Write(const std::string& bytes) {
        if (bytes.empty() || m_bFailed)
            return;
        const auto size = static_cast<off_t>(bytes.size());
        m_bFailed = !m_file->Write(bytes);
#if defined(__linux__)
        // The system starts writing these bytes to the disc now, while the next ones are formed, so that
        // the flush to the disc at commit has little left to wait for.
        if (!m_bFailed)
            sync_file_range(m_file->Handle(), m_nWritten, size, SYNC_FILE_RANGE_WRITE);
#endif
        m_nWritten += size;
    }

    std::unique_ptr<CAtomicFileWriter> m_file;
    CExitCleanup m_cleanup;
    std::string m_buffer;
    off_t m_nWritten = 0;
    bool m_bFailed = false;
};

// The output of Save and Filelist Save, opened; a file that cannot be opened ends the program with its
// numbered message.
std::unique_ptr<COutputFile> OpenOutput(const QString& path) {
    auto output = std::make_unique<COutputFile>(path);
    if (!output->Open())
        FailWithMessage(QStringLiteral("Code 202 - Error Opening ") + path);
    return output;
}

// Rows formed for Save in blocks of this many; two blocks are formed at once, one on another thread.
constexpr int kSaveBlockRows = 1 << 14;

// The saved lines of rows [first, last) of the snapshot, each ended by CR LF.
void FormSavedLines(const CListRows::Snapshot& rows, int first, int last, const ColumnChoice& choice,
                    std::string& out) {
    out.clear();
    std::array<std::string_view, CellCount> cells;
    for (int i = first; i < last; ++i) {
        rows.GetCells(i).Split(cells);
        AppendListingLine(out, ValuesOfCells(cells, choice), choice);
        EndLineWithCrLf(out);
    }
}

} // namespace

ColumnChoice CMainDlg::CheckedColumns() const {
    const CButton* const boxes[CellCount] = {&m_btnNumber,   &m_btnStartLba, &m_btnFileSize,
                                             &m_btnFileName, &m_btnLbaPos,   &m_btnColumn6};
    ColumnChoice choice;
    for (int column = 0; column < CellCount; ++column)
        choice.Set(static_cast<CellColumn>(column), boxes[column]->GetCheck() == BST_CHECKED);
    return choice;
}

// An empty table has nothing to write: a save would replace a good file with an empty one.
bool CMainDlg::RefuseEmptySave() {
    if (m_list.GetItemCount() > 0)
        return false;
    AfxMessageBox(QStringLiteral("Nothing to save: load the listing first"), MB_OK | MB_ICONINFORMATION);
    return true;
}

void CMainDlg::OnSave() {
    if (RefuseEmptySave())
        return;
    const QString path = FormOutputPath();
    const std::unique_ptr<COutputFile> output = OpenOutput(path);

    // The rows as they stand now: a sort, load or Browse run while this save waits does not change what
    // it writes.
    const CListRows::Snapshot rows = m_list.TakeSnapshot();
    const int n = rows.GetCount();
    m_progress.SetRange32(0, n);

    OnCheckNumber();
    OnCheckStartLba();
    OnCheckFileSize();
    OnCheckFileName();
    OnCheckLbaPos();
    OnCheckColumn6();
    const ColumnChoice choice = CheckedColumns();

    // The lines are formed on two threads, a block each, from the snapshot, which nothing changes. Events
    // are dispatched between blocks only, when no second thread runs: a command run then (even one that
    // ends the program) meets no work half done.
    std::string first;
    std::string second;
    for (int begin = 0; begin < n; begin += 2 * kSaveBlockRows) {
        const int middle = std::min(n, begin + kSaveBlockRows);
        const int end = std::min(n, middle + kSaveBlockRows);
        RunParts(middle < end ? 2 : 1, [&](unsigned part) {
            if (part == 0)
                FormSavedLines(rows, begin, middle, choice, first);
            else
                FormSavedLines(rows, middle, end, choice, second);
        });
        output->WriteBlock(first);
        if (middle < end)
            output->WriteBlock(second);
        m_progress.SetPos(end);
        PumpWaitingMessagesIfDue();
    }
    if (!output->Commit())
        FailWithMessage(QStringLiteral("Code 203 - Error Writing ") + path);

    m_progress.FlushPos();
    AfxMessageBox(QStringLiteral(" done ! =>  ") + path, MB_OK | MB_ICONINFORMATION);
    m_progress.SetPos(0);
}

void CMainDlg::OnFilelistSave() {
    if (RefuseEmptySave())
        return;
    const QString path = FormOutputPath();
    const std::unique_ptr<COutputFile> output = OpenOutput(path);

    for (int i = 0; i < m_list.GetItemCount(); ++i) {
        const std::string startLba = m_list.GetItemText(i, CellStartLba);
        const std::string fileName = m_list.GetItemText(i, CellFileName);
        std::array<std::string_view, CellCount> cells{};
        cells[CellStartLba] = startLba;
        cells[CellFileName] = fileName;
        AppendFileListLine(output->Buffer(), ValuesOfCells(cells, FieldColumns(ListingLayout::FileList)));
        output->EndLine();
    }
    if (!output->Commit())
        FailWithMessage(QStringLiteral("Code 203 - Error Writing ") + path);

    AfxMessageBox(QStringLiteral(" done ! =>  ") + path, MB_OK | MB_ICONINFORMATION);
}

void CMainDlg::OnCheckNumber() {
    m_nCheckNumber = m_btnNumber.GetCheck();
}
void CMainDlg::OnCheckStartLba() {
    m_nCheckStartLba = m_btnStartLba.GetCheck();
}
void CMainDlg::OnCheckFileSize() {
    m_nCheckFileSize = m_btnFileSize.GetCheck();
}
void CMainDlg::OnCheckFileName() {
    m_nCheckFileName = m_btnFileName.GetCheck();
}
void CMainDlg::OnCheckLbaPos() {
    m_nCheckLbaPos = m_btnLbaPos.GetCheck();
}
void CMainDlg::OnCheckColumn6() {
    m_nCheckColumn6 = m_btnColumn6.GetCheck();
}
