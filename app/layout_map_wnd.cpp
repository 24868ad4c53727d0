#include "app/layout_map_wnd.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/folder_file_dialog.h"
#include "app/layout_map_view.h"
#include "listing/atomic_file_writer.h"
#include "listing/listing_format.h"
#include "platform/message_box.h"
#include "plot/picture_file.h"
#include "table/column_list_ctrl.h"

CLayoutMapWnd::CLayoutMapWnd(CColumnListCtrl& list, QWidget* owner)
    : QWidget(owner, Qt::Window), m_list(list), m_pView(new CLayoutMapView(this)) {
    setWindowTitle(QStringLiteral("Layout Map"));
    resize(1000, 520);
    auto* save = new QPushButton(QStringLiteral("Save Picture..."), this);
    save->setObjectName(QStringLiteral("savePicture"));
    connect(save, &QPushButton::clicked, this, [this] { OnSavePicture(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pView, 1);
    layout->addLayout(buttons);
    m_pView->SetOnFileClicked([this](std::uint32_t row) { SelectRow(row); });
}

CLayoutMapWnd::~CLayoutMapWnd() {
    disconnect(m_selectionConnection);
}

QAbstractItemView* CLayoutMapWnd::TableView() const {
    return qobject_cast<QAbstractItemView*>(m_list.GetSafeWidget());
}

std::vector<TracedFile> TableFiles(CColumnListCtrl& list) {
    const int rows = list.GetItemCount();
    std::vector<TracedFile> files;
    files.reserve(static_cast<std::size_t>(rows));
    // The cells hold the numbers as unsigned decimals of 32-bit values.
    const auto number = [](const std::string& text) {
        return static_cast<std::uint32_t>(QByteArray::fromStdString(text).toLongLong());
    };
    for (int i = 0; i < rows; ++i)
        files.push_back(
            {number(list.GetItemText(i, CellStartLba)), number(list.GetItemText(i, CellFileSize))});
    return files;
}

void CLayoutMapWnd::Refresh(const std::vector<TraceRead>* reads) {
    m_pView->Picture().SetFiles(TableFiles(m_list));
    if (reads)
        m_pView->Picture().SetReads(*reads);
    m_pView->Picture().ResetBlockRange();
    disconnect(m_selectionConnection);
    if (QAbstractItemView* view = TableView(); view && view->selectionModel())
        m_selectionConnection = connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                                        [this] { RefreshSelection(); });
    RefreshSelection();
}

void CLayoutMapWnd::RefreshSelection() {
    std::vector<bool> selected;
    if (QAbstractItemView* view = TableView(); view && view->selectionModel()) {
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        if (!rows.isEmpty()) {
            selected.assign(static_cast<std::size_t>(m_list.GetItemCount()), false);
            for (const QModelIndex& index : rows) {
                if (index.row() >= 0 && static_cast<std::size_t>(index.row()) < selected.size())
                    selected[static_cast<std::size_t>(index.row())] = true;
            }
        }
    }
    m_pView->Picture().SetSelected(std::move(selected));
    m_pView->update();
}

void CLayoutMapWnd::SelectRow(std::uint32_t row) {
    QAbstractItemView* view = TableView();
    if (!view || !view->model() || !view->selectionModel())
        return;
    const QModelIndex index = view->model()->index(static_cast<int>(row), 0);
    view->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    view->scrollTo(index);
}

bool CLayoutMapWnd::SavePicture(const QString& path) {
    const std::optional<PictureKind> kind = PictureKindOf(path);
    QString error;
    if (!kind) {
        error = QStringLiteral("Name the picture .svg or .png.");
    } else {
        const std::string bytes = RenderPicture(m_pView->Picture(), m_pView->size(), *kind);
        CAtomicFileWriter file(path.toStdString());
        if (!file.Open() || !file.Write(bytes) || !file.Commit())
            error = QString::fromStdString(file.Error());
    }
    if (error.isEmpty())
        return true;
    ShowMessageBox(
        {this, QStringLiteral("Cannot write the picture %1:\n%2").arg(QDir::toNativeSeparators(path), error),
         QStringLiteral("Layout Map"), MB_OK | MB_ICONERROR});
    return false;
}

void CLayoutMapWnd::OnSavePicture() {
    const QByteArray filter = QByteArray("SVG pictures (*.svg)") + '\0' + "*.svg" + '\0' +
                              "PNG pictures (*.png)" + '\0' + "*.png" + '\0';
    CFolderFileDialog dlg(FALSE, nullptr, QDir::currentPath(), QStringLiteral("layout.svg"),
                          filter.constData(), static_cast<int>(filter.size()) + 1, nullptr, 0);
    if (dlg.DoModal())
        SavePicture(dlg.m_szFile);
}
