#include "platform/file_drop.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "platform/wnd.h"

namespace {

class CFileDropFilter : public QObject {
public:
    CFileDropFilter(QObject* parent, std::function<void(const QString&)> onDrop)
        : QObject(parent), m_onDrop(std::move(onDrop)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return QObject::eventFilter(watched, event);
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = DroppedFile(drop->mimeData());
        if (path.isEmpty()) {
            // Links are refused everywhere; plain text goes on to a field that takes it.
            if (!drop->mimeData()->hasUrls())
                return false;
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop)
            m_onDrop(path);
        return true;
    }

private:
    std::function<void(const QString&)> m_onDrop;
};

} // namespace

QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return QString();
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return QString();
    const QFileInfo file(urls.first().toLocalFile());
    return file.isFile() ? file.absoluteFilePath() : QString();
}

void DragAcceptFiles(CWnd& wnd, std::function<void(const QString& path)> onDrop) {
    QWidget* window = wnd.GetSafeWidget();
    if (!window)
        return;
    auto* filter = new CFileDropFilter(window, std::move(onDrop));
    // Drag events go to the innermost widget that accepts drops: the window itself, or a field.
    window->setAcceptDrops(true);
    window->installEventFilter(filter);
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->acceptDrops())
            child->installEventFilter(filter);
    }
}
