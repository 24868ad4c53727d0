// Lets a window take a file dropped on it from a file manager.
#pragma once

#include <functional>

#include <QString>

class CWnd;
class QMimeData;

// From now on a drop of exactly one local file anywhere on the window, its child controls included,
// calls onDrop with the file's absolute path. Any other drop of files, folders or links is refused, also
// on fields that would otherwise insert it as text; a drop of plain text on a field still works.
void DragAcceptFiles(CWnd& wnd, std::function<void(const QString& path)> onDrop);

// The path of the one local file that the dropped data holds, or an empty text.
QString DroppedFile(const QMimeData* data);
