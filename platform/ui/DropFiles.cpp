#include "platform/ui/DropFiles.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "platform/ui/QtText.h"
#include "platform/ui/QtWindow.h"
#include "platform/ui/WindowFunctions.h"

struct HDROP__ {
    std::vector<std::string> paths;
};

namespace {

std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths.push_back(FromQString(url.toLocalFile()));
    }
    return paths;
}

// Turns Qt's drag and drop on one window into WM_DROPFILES; a child of the window's widget.
class DropTarget : public QObject {
public:
    DropTarget(QWidget* widget, HWND handle) : QObject(widget), m_handle(handle) {
        setObjectName(kName);
        widget->installEventFilter(this);
    }
    // Found by name: the class has no meta-object of its own to be cast to.
    static constexpr const char* kName = "tkv-drop-target";

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (LocalFiles(drag->mimeData()).empty()) {
                    drag->ignore();
                } else {
                    drag->acceptProposedAction();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                HDROP__ files{LocalFiles(drop->mimeData())};
                if (files.paths.empty()) {
                    drop->ignore();
                    return true;
                }
                drop->acceptProposedAction();
                SendMessageA(m_handle, WM_DROPFILES, reinterpret_cast<WPARAM>(&files), 0);
                return true;
            }
            default:
                return false;
        }
    }

private:
    HWND m_handle;
};

}  // namespace

void DragAcceptFiles(HWND window, BOOL accept) {
    QtWindow* qt_window = QtWindow::FromHandle(window);
    QWidget* widget = qt_window ? qt_window->Widget() : nullptr;
    if (!widget) return;
    QObject* target = widget->findChild<QObject*>(DropTarget::kName, Qt::FindDirectChildrenOnly);
    widget->setAcceptDrops(accept != FALSE);
    if (accept && !target) new DropTarget(widget, window);
    if (!accept) delete target;
}

UINT DragQueryFileA(HDROP drop, UINT index, char* file, UINT size) {
    if (!drop) return 0;
    if (index == 0xFFFFFFFFu) return static_cast<UINT>(drop->paths.size());
    if (index >= drop->paths.size()) return 0;
    const std::string& path = drop->paths[index];
    if (!file) return static_cast<UINT>(path.size());
    if (size == 0) return 0;
    const size_t copied = std::min<size_t>(path.size(), size - 1);
    std::memcpy(file, path.data(), copied);
    file[copied] = '\0';
    return static_cast<UINT>(copied);
}

void DragFinish(HDROP) {}
