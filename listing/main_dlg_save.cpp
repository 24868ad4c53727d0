// Save, Filelist Save and the column check boxes of the main window.
#include <array>
#include <memory>
#include <string>

#include <QSaveFile>

#include "app/main_dlg.h"
#include "listing/file_error_exit.h"
#include "listing/listing_format.h"
#include "listing/message_pump.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"

namespace {

constexpr std::size_t kWriteChunk = 1 << 20;

// Writes an output file through a temporary file that replaces the target only when everything was
// written: an interrupted save (the process ended inside it, a write error) leaves the earlier file whole.
class COutputFile {
public:
    explicit COutputFile(const QString& path)
        : m_file(std::make_unique<QSaveFile>(path)), m_cleanup([this] { m_file.reset(); }) {}

    // Unbuffered: this class gathers its own chunks, and a write cut short (a full disc, a file-size limit)
    // must show in the count that write returns. The device's own buffer would take a small output whole
    // and lose the shortfall when it is flushed at commit.
    bool Open() { return m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

    // Ends the line just appended to the buffer with CR LF, as a text-mode stream writes it.
    void EndLine() {
        m_buffer.back() = '\r';
        m_buffer.push_back('\n');
        if (m_buffer.size() >= kWriteChunk)
            Flush();
    }

    std::string& Buffer() { return m_buffer; }

    // Writes what is left and replaces the target; false when any write failed.
    bool Commit() {
        Flush();
        return !m_bFailed && m_file->commit();
    }

private:
    void Flush() {
        if (!m_buffer.empty() && !m_bFailed) {
            const auto size = static_cast<qint64>(m_buffer.size());
            m_bFailed = m_file->write(m_buffer.data(), size) != size;
        }
        m_buffer.clear();
    }

    std::unique_ptr<QSaveFile> m_file;
    CExitCleanup m_cleanup;
    std::string m_buffer;
    bool m_bFailed = false;
};

}  // namespace

void CMainDlg::OnSave() {
    const QString path = FormOutputPath();
    COutputFile output(path);
    if (!output.Open())
        FailWithMessage(QStringLiteral("Code 202 - Error Opening ") + path);

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
    ColumnChoice choice;
    choice.number = m_nCheckNumber == 1;
    choice.startLba = m_nCheckStartLba == 1;
    choice.fileSize = m_nCheckFileSize == 1;
    choice.fileName = m_nCheckFileName == 1;
    choice.lbaPos = m_nCheckLbaPos == 1;
    choice.column6 = m_nCheckColumn6 == 1;

    for (int i = 0; i < n; ++i) {
        std::array<std::string_view, CellCount> cells;
        for (int c = 0; c < CellCount; ++c)
            cells[static_cast<std::size_t>(c)] = rows.GetText(i, c);
        m_progress.SetPos(i);
        PumpWaitingMessages();
        AppendSortedLine(output.Buffer(), cells, choice);
        output.EndLine();
    }
    if (!output.Commit())
        FailWithMessage(QStringLiteral("Code 203 - Error Writing ") + path);

    m_progress.FlushPos();
    AfxMessageBox(QStringLiteral(" done ! =>  ") + path, MB_OK | MB_ICONINFORMATION);
    m_progress.SetPos(0);
}

void CMainDlg::OnFilelistSave() {
    const QString path = FormOutputPath();
    COutputFile output(path);
    if (!output.Open())
        FailWithMessage(QStringLiteral("Code 202 - Error Opening ") + path);

    for (int i = 0; i < m_list.GetItemCount(); ++i) {
        AppendFileListLine(output.Buffer(), m_list.GetItemText(i, CellStartLba),
                           m_list.GetItemText(i, CellFileName));
        output.EndLine();
    }
    if (!output.Commit())
        FailWithMessage(QStringLiteral("Code 203 - Error Writing ") + path);

    AfxMessageBox(QStringLiteral(" done ! =>  ") + path, MB_OK | MB_ICONINFORMATION);
}

void CMainDlg::OnCheckNumber() { m_nCheckNumber = m_btnNumber.GetCheck(); }
void CMainDlg::OnCheckStartLba() { m_nCheckStartLba = m_btnStartLba.GetCheck(); }
void CMainDlg::OnCheckFileSize() { m_nCheckFileSize = m_btnFileSize.GetCheck(); }
void CMainDlg::OnCheckFileName() { m_nCheckFileName = m_btnFileName.GetCheck(); }
void CMainDlg::OnCheckLbaPos() { m_nCheckLbaPos = m_btnLbaPos.GetCheck(); }
void CMainDlg::OnCheckColumn6() { m_nCheckColumn6 = m_btnColumn6.GetCheck(); }
