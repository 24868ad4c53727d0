// Replace File in Disc Image, from the main window's system menu: the file of the selected row (its
// FileName is the path inside the image, as an imported listing gives it) gets new content in a copy of
// the image, every other block kept where it was. The copy is written on a thread of its own while the
// window stays live. The result line or the refusal is told in a message box and the window stays either
// way.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/folder_file_dialog.h"
#include "app/main_dlg.h"
#include "app/output_picker.h"
#include "app/run_while_live.h"
#include "disc/block_edit.h"
#include "disc/block_edit_output.h"
#include "disc/image_file.h"
#include "disc/iso9660_volume.h"
#include "listing/listing_format.h"
#include "platform/message_box.h"
#include "res/resource.h"

namespace {

const QString kTitle = QStringLiteral("Replace File in Disc Image");

// Asks for an existing file with the given filter ("Description\x01pattern\x01" pairs); empty on cancel.
QString PickExisting(CWnd* owner, const QString& initialDir, const char* filter) {
    std::string pairs = filter;
    const int length = static_cast<int>(pairs.size());
    std::replace(pairs.begin(), pairs.end(), '\x01', '\0');
    CFolderFileDialog dlg(TRUE, owner, initialDir, QString(), pairs.data(), length + 1, nullptr,
                          OFN_FILEMUSTEXIST);
    return dlg.DoModal() ? dlg.m_szFile : QString();
}

std::string NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The path inside the image a row names: "/FOLDER/NAME", also from a listing written with backslashes.
std::string ImagePath(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name.empty() || name.front() != '/' ? "/" + name : name;
}

// Replaces the file and returns the result line, or the reason it was refused or failed.
bool ReplaceInCopy(const QString& image, const std::string& path, const QString& source,
                   const QString& output, std::string& message) {
    CImageFile file;
    if (const CResult<void> opened = file.Open(NativePath(image), false); !opened) {
        message = opened.Error().message;
        return false;
    }
    const CResult<IsoVolume> read = ReadIsoVolume(file);
    if (!read) {
        message = read.Error().message;
        return false;
    }
    const CResult<BlockEditPlan> planned =
        PlanReplace(*read, {{path, NativePath(source), static_cast<std::uint64_t>(QFileInfo(source).size())}},
                    ReplacePlacement::Auto);
    if (!planned) {
        message = planned.Error().message;
        return false;
    }
    if (const CResult<void> written = WriteEditedCopy(NativePath(image), NativePath(output), *planned);
        !written) {
        message = written.Error().message;
        return false;
    }
    message = planned->lines.front();
    return true;
}

} // namespace

void CMainDlg::OnReplaceFileInDiscImage() {
    const int row = m_list.GetSelectionMark();
    if (row < 0) {
        MessageBox(
            QStringLiteral("Select the row of the file to replace first: its FileName is the path inside "
                           "the disc image."),
            kTitle, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::string path = ImagePath(m_list.GetItemText(row, CellFileName));

    const QString strImage = PickExisting(this, GetDlgItem(IDC_FOLDER_PATH)->GetWindowText(),
                                          "Disc images (*.iso;*.img)\x01*.iso;*.img\x01"
                                          "All files (*.*)\x01*.*\x01");
    if (strImage.isEmpty())
        return;
    const QFileInfo image(strImage);
    const QString strSource = PickExisting(this, image.absolutePath(), "All files (*.*)\x01*.*\x01");
    if (strSource.isEmpty())
        return;
    const QString strOutput =
        PickOutputFile(this, image.absolutePath() + QStringLiteral("/Patched-") + image.fileName(),
                       "Disc images (*.iso)", "*.iso");
    if (strOutput.isEmpty())
        return;

    // The copy of the image is written on a thread of its own; the window stays live and the bar runs round.
    std::string message;
    bool replaced = false;
    std::atomic<bool> stop = false;
    constexpr int kSteps = 1000;
    m_progress.SetRange32(0, kSteps);
    const auto started = std::chrono::steady_clock::now();
    RunWhileLive([&] { replaced = ReplaceInCopy(strImage, path, strSource, strOutput, message); }, stop,
                 [&] {
                     const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - started)
                                         .count();
                     m_progress.SetPos(static_cast<int>(ms % 2000) * kSteps / 2000);
                 });
    m_progress.SetPos(0);
    // The application is quitting: nothing more is told.
    if (stop)
        return;
    if (!replaced) {
        MessageBox(QStringLiteral("Cannot replace %1 in the disc image %2:\n%3")
                       .arg(QString::fromStdString(path), QDir::toNativeSeparators(strImage),
                            QString::fromStdString(message)),
                   kTitle, MB_OK | MB_ICONERROR);
        return;
    }
    MessageBox(QStringLiteral("%1\n\nWritten to %2")
                   .arg(QString::fromStdString(message), QDir::toNativeSeparators(strOutput)),
               kTitle, MB_OK | MB_ICONINFORMATION);
}
