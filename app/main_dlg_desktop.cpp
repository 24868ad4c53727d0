// The main window among the desktop's tools: the file named on the command line, a file dropped on the
// window, and the names that screen readers and other assistive technology read out.
#include <QLabel>
#include <QWidget>

#include "app/main_dlg.h"
#include "app/window_arguments.h"
#include "platform/file_drop.h"
#include "res/resource.h"

void CMainDlg::SetFileToOpen(const QString& folderText, const QString& fileName) {
    m_strFolderToOpen = folderText;
    m_strFileToOpen = fileName;
}

void CMainDlg::OnDropFile(const QString& path) {
    ChooseFile(FolderFieldText(path), path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
}

void CMainDlg::SetUpDesktop() {
    // The fields are named after the group boxes that label them. The two Save buttons keep their
    // captions but are told apart by name, and so are the two Load groups.
    const struct {
        int id;
        const char* name;
    } kNames[] = {
        {IDC_FOLDER_PATH, "Folder Path"},
        {IDC_TEXT_FILE, "Text File"},
        {IDC_LIST, "Listing"},
        {IDC_PROGRESS, "Progress"},
        {IDC_SAVE, "Save listing"},
        {IDC_FILELIST_LOAD, "Load file list"},
        {IDC_FILELIST_SAVE, "Save file list"},
    };
    for (const auto& entry : kNames) {
        if (CWnd* item = GetDlgItem(entry.id))
            item->GetSafeWidget()->setAccessibleName(QString::fromLatin1(entry.name));
    }
    // The picture beside the buttons has no control identifier; it is the one label that shows a picture.
    for (QLabel* label : GetSafeWidget()->findChildren<QLabel*>()) {
        if (!label->pixmap().isNull() && label->accessibleName().isEmpty())
            label->setAccessibleName(QStringLiteral("Picture of a disc and a sorted listing"));
    }

    DragAcceptFiles(*this, [this](const QString& path) { OnDropFile(path); });

    if (!m_strFileToOpen.isEmpty())
        ChooseFile(m_strFolderToOpen, m_strFileToOpen);
}
