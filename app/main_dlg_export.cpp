// Export Sort Weights: the table's shown order as a sort-weight file for the tools that build disc images.
#include <algorithm>
#include <cstring>
#include <string>

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

#include "app/folder_file_dialog.h"
#include "app/main_dlg.h"
#include "listing/atomic_file_writer.h"
#include "listing/listing_format.h"
#include "listing/sort_weights.h"
#include "platform/message_box.h"
#include "res/resource.h"

namespace {

// The save dialog's filters, one per format, in the order of SortWeightFormat. Both take any file name;
// the chosen filter picks the format.
constexpr const char* kFilterDescriptions[] = {
    "mkisofs-sort: path weight, for mkisofs -sort",
    "xorriso-weights: weight path, for xorrisofs --sort-weight-list"};

} // namespace

void CMainDlg::OnExportSortWeights() {
    if (m_list.GetItemCount() == 0) {
        AfxMessageBox(QStringLiteral("Nothing to save: load the listing first"), MB_OK | MB_ICONINFORMATION);
        return;
    }
    // Descriptions and patterns, each ended by 0x01, which becomes the NUL the filter list needs.
    std::string filter;
    for (const char* description : kFilterDescriptions)
        filter += std::string(description) + "\x01*.*\x01";
    std::replace(filter.begin(), filter.end(), '\x01', '\0');
    filter.push_back('\0');

    // The weights go beside the listing, whose folder the folder field holds.
    CFolderFileDialog dlg(FALSE, this, GetDlgItem(IDC_FOLDER_PATH)->GetWindowText(),
                          QStringLiteral("sort-weights.txt"), filter.data(), static_cast<int>(filter.size()),
                          nullptr, 0);
    QFileDialog* fileDialog = dlg.GetFileDialog();
    fileDialog->setWindowTitle(QStringLiteral("Export Sort Weights"));
    // The format is asked in a field of its own below the file name, kept in step with "Files of type".
    auto* formatBox = new QComboBox(fileDialog);
    formatBox->setObjectName(QStringLiteral("formatBox"));
    for (const char* description : kFilterDescriptions)
        formatBox->addItem(QString::fromLatin1(description));
    if (auto* grid = qobject_cast<QGridLayout*>(fileDialog->layout())) {
        const int row = grid->rowCount();
        auto* label = new QLabel(QStringLiteral("F&ormat:"), fileDialog);
        label->setBuddy(formatBox);
        grid->addWidget(label, row, 0);
        grid->addWidget(formatBox, row, 1, 1, grid->columnCount() - 1);
    }
    QObject::connect(formatBox, &QComboBox::currentIndexChanged, fileDialog, [fileDialog](int index) {
        fileDialog->selectNameFilter(fileDialog->nameFilters().value(index));
    });
    QObject::connect(fileDialog, &QFileDialog::filterSelected, formatBox, [formatBox](const QString& chosen) {
        // The filter may come without its pattern: its description names the format.
        for (int i = 0; i < static_cast<int>(std::size(kFilterDescriptions)); ++i) {
            if (chosen.startsWith(QString::fromLatin1(kFilterDescriptions[i])))
                formatBox->setCurrentIndex(i);
        }
    });
    if (!dlg.DoModal())
        return;
    // The format field chooses the filter, so the chosen filter tells the format either way.
    const bool xorriso =
        fileDialog->selectedNameFilter().startsWith(QString::fromLatin1(kFilterDescriptions[1]));
    const SortWeightFormat format =
        xorriso ? SortWeightFormat::XorrisoWeights : SortWeightFormat::MkisofsSort;

    const CListRows::Snapshot rows = m_list.TakeSnapshot();
    std::string out;
    const CResult<void> written =
        AppendSortWeights(out, format, {}, static_cast<std::size_t>(rows.GetCount()),
                          [&rows](std::size_t i) { return rows.GetText(static_cast<int>(i), CellFileName); });
    if (!written) {
        // The names are the table's rows, so the failure's line is a row.
        AfxMessageBox(QStringLiteral("Row %1 cannot be exported as %2: %3")
                          .arg(written.Error().line)
                          .arg(QLatin1String(SortWeightFormatName(format)),
                               QString::fromStdString(written.Error().message)),
                      MB_OK | MB_ICONINFORMATION);
        return;
    }
    const QString path = dlg.m_szFile;
    CAtomicFileWriter file(QFile::encodeName(path).toStdString());
    if (!file.Open() || !file.Write(out) || !file.Commit()) {
        AfxMessageBox(QStringLiteral("Error Writing ") + path + QStringLiteral(": ") +
                          QString::fromLocal8Bit(file.Error()),
                      MB_OK | MB_ICONINFORMATION);
        return;
    }
    AfxMessageBox(QStringLiteral(" done ! =>  ") + path, MB_OK | MB_ICONINFORMATION);
}
