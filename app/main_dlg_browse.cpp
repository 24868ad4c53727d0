// Browse: pick the listing file in the open dialog.
#include <algorithm>
#include <cstring>

#include "app/current_directory.h"
#include "app/folder_file_dialog.h"
#include "app/main_dlg.h"
#include "res/resource.h"

void CMainDlg::OnBrowse() {
    // Descriptions and patterns, each ended by 0x01, which becomes the NUL the filter list needs.
    char szFilter[] = ".TXT (*.TXT)\x01*.TXT\x01"
                      "All files (*.*)\x01*.*\x01";
    const int nFilterLength = static_cast<int>(std::strlen(szFilter));
    std::replace(std::begin(szFilter), std::end(szFilter), '\x01', '\0');

    // An unreadable working directory leaves the dialog at its own starting folder.
    const QString strCurrentDir = CurrentDirectory();

    CFolderFileDialog dlg(TRUE, this, strCurrentDir, QString(), szFilter, nFilterLength + 1, nullptr, 0);
    if (dlg.DoModal()) {
        ChooseFile(dlg.GetFolder() + QLatin1Char('/'), dlg.GetFileName());
    } else {
        MessageBox(QStringLiteral("You cancelled."), QStringLiteral("No File Chosen"),
                   MB_OK | MB_ICONINFORMATION);
    }
}

void CMainDlg::ChooseFile(const QString& folderText, const QString& fileName) {
    GetDlgItem(IDC_FOLDER_PATH)->SetWindowText(folderText);
    GetDlgItem(IDC_TEXT_FILE)->SetWindowText(fileName);
    DisableListingButtons();
    m_list.DeleteAllRows();
    UpdateWindow();
}
