// The disc image entries of the main window's system menu: import an image's listing, and rebuild an
// image with its files in the table's order. The image work runs on a thread of its own while the window
// stays live and the progress bar moves.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "app/folder_file_dialog.h"
#include "app/main_dlg.h"
#include "app/output_picker.h"
#include "app/run_while_live.h"
#include "disc/disc_image.h"
#include "disc/extent_listing.h"
#include "listing/atomic_file_writer.h"
#include "listing/listing_format.h"
#include "listing/sorted_path.h"
#include "platform/message_box.h"
#include "res/resource.h"

namespace {

constexpr int kProgressSteps = 1000;

// Asks for an existing disc image under the given title; empty when the user cancels.
QString PickImage(CWnd* owner, const QString& initialDir, const QString& title) {
    char szFilter[] = "Disc images (*.iso;*.img)\x01*.iso;*.img\x01"
                      "All files (*.*)\x01*.*\x01";
    const int nFilterLength = static_cast<int>(std::strlen(szFilter));
    std::replace(std::begin(szFilter), std::end(szFilter), '\x01', '\0');
    CFolderFileDialog dlg(TRUE, owner, initialDir, QString(), szFilter, nFilterLength + 1, nullptr,
                          OFN_FILEMUSTEXIST);
    dlg.GetFileDialog()->setWindowTitle(title);
    return dlg.DoModal() ? dlg.m_szFile : QString();
}

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

BOOL CMainDlg::OnDiscCommand(UINT nID) {
    if (nID == IDM_IMPORT_DISC_IMAGE)
        OnImportDiscImage();
    else if (nID == IDM_REBUILD_DISC_IMAGE)
        OnRebuildDiscImage();
    else if (nID == IDM_REPLACE_FILE_IN_DISC_IMAGE)
        OnReplaceFileInDiscImage();
    else
        return FALSE;
    return TRUE;
}

void CMainDlg::OnImportDiscImage() {
    const QString strImage = PickImage(this, QDir::currentPath(), QStringLiteral("Import Disc Image"));
    if (strImage.isEmpty())
        return;

    // The image is read first: a file that is no disc image is refused before anything is asked.
    CResult<std::vector<DiscExtent>> read = Failure();
    std::atomic<bool> stop = false;
    m_progress.SetRange32(0, kProgressSteps);
    // Reading a tree has no known length: the bar runs round while the image is read.
    const auto started = std::chrono::steady_clock::now();
    RunWhileLive([&] { read = ReadDiscImage(NativePath(strImage), [&] { return !stop.load(); }); }, stop,
                 [&] {
                     const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - started)
                                         .count();
                     m_progress.SetPos(static_cast<int>(ms % 2000) * kProgressSteps / 2000);
                 });
    m_progress.SetPos(0);
    if (stop)
        return;
    if (!read) {
        MessageBox(QStringLiteral("Cannot import the disc image %1:\n%2")
                       .arg(QDir::toNativeSeparators(strImage), QString::fromStdString(read.Error().message)),
                   QStringLiteral("Import Disc Image"), MB_OK | MB_ICONERROR);
        return;
    }

    // The listing goes beside the image, or into the home folder when the image's folder is read-only.
    const QFileInfo image(strImage);
    const QString strFolder =
        QFileInfo(image.absolutePath()).isWritable() ? image.absolutePath() : QDir::homePath();
    const QString strListing = PickOutputFile(
        this, strFolder + QLatin1Char('/') + image.completeBaseName() + QStringLiteral(".LBA.TXT"),
        "Listings (*.TXT)", "*.TXT", QStringLiteral("Save Listing As"));
    if (strListing.isEmpty())
        return;

    const std::string listing = FormatThreeColumnListing(*read);
    CAtomicFileWriter file(NativePath(strListing));
    if (!file.Open() || !file.Write(listing) || !file.Commit()) {
        MessageBox(QStringLiteral("Cannot write the listing %1:\n%2")
                       .arg(QDir::toNativeSeparators(strListing), QString::fromLocal8Bit(file.Error())),
                   QStringLiteral("Import Disc Image"), MB_OK | MB_ICONERROR);
        return;
    }

    // As after Browse: the new listing is named in the fields, waiting for Scan.
    const QFileInfo written(strListing);
    ChooseFile(written.absolutePath() + QLatin1Char('/'), written.fileName());
    MessageBox(QStringLiteral(" done ! =>  ") + strListing, QStringLiteral("Import Disc Image"),
               MB_OK | MB_ICONINFORMATION);
}

void CMainDlg::OnRebuildDiscImage() {
    const int nRows = m_list.GetItemCount();
    if (nRows == 0) {
        MessageBox(
            QStringLiteral("The table is empty: load the listing of the disc image and sort it first."),
            QStringLiteral("Rebuild Disc Image"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::vector<std::string> order;
    order.reserve(static_cast<std::size_t>(nRows));
    for (int i = 0; i < nRows; ++i)
        order.push_back(m_list.GetItemText(i, CellFileName));

    const QString strImage =
        PickImage(this, GetDlgItem(IDC_FOLDER_PATH)->GetWindowText(), QStringLiteral("Rebuild Disc Image"));
    if (strImage.isEmpty())
        return;
    const QFileInfo image(strImage);
    const QString strOutput =
        PickOutputFile(this, SortedPathBeside(image.absoluteFilePath()), "Disc images (*.iso)", "*.iso",
                       QStringLiteral("Choose the New Image"));
    if (strOutput.isEmpty())
        return;

    CResult<DiscRebuild> result = Failure();
    std::atomic<bool> stop = false;
    std::atomic<std::uint64_t> done = 0, total = 0;
    const auto rebuild = [&](unsigned drops) {
        m_progress.SetRange32(0, kProgressSteps);
        RunWhileLive(
            [&] {
                result = RebuildDiscImage(
                    NativePath(strImage), order, false, NativePath(strOutput),
                    [&](std::uint64_t bytesDone, std::uint64_t bytesTotal) {
                        done = bytesDone;
                        total = bytesTotal;
                        return !stop.load();
                    },
                    drops);
            },
            stop,
            [&] {
                if (total > 0)
                    m_progress.SetPos(static_cast<int>(done * kProgressSteps / total));
            });
        m_progress.SetPos(0);
    };
    rebuild(kDropNone);
    // Structures the new image cannot carry: the user may have it written without them, or keep nothing.
    if (!stop && !result && result.Error().code != kDropNone) {
        const int answer = MessageBox(
            QStringLiteral("The disc image %1 holds structures the new image cannot carry:\n%2\n\n"
                           "Write the new image without them?")
                .arg(QDir::toNativeSeparators(strImage), QString::fromStdString(result.Error().message)),
            QStringLiteral("Rebuild Disc Image"), MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES)
            return;
        rebuild(result.Error().code);
    }
    if (stop)
        return;
    if (!result) {
        // The order is the table's rows, so the failure's line is a row.
        QString reason = QString::fromStdString(result.Error().message);
        if (result.Error().line > 0)
            reason = QStringLiteral("row %1 of the table: %2").arg(result.Error().line).arg(reason);
        MessageBox(QStringLiteral("Cannot rebuild the disc image %1:\n%2")
                       .arg(QDir::toNativeSeparators(strImage), reason),
                   QStringLiteral("Rebuild Disc Image"), MB_OK | MB_ICONERROR);
        return;
    }
    QString left;
    for (const std::string& what : result->dropped)
        left += QStringLiteral("\nIt leaves out %1.").arg(QString::fromStdString(what));
    MessageBox(QStringLiteral("Wrote %1\nwith the files of %2 in the table's order.%3")
                   .arg(QDir::toNativeSeparators(strOutput), QDir::toNativeSeparators(strImage), left),
               QStringLiteral("Rebuild Disc Image"), MB_OK | MB_ICONINFORMATION);
}
