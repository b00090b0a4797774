// DropTarget on Qt: one event filter, owned by the registered window, watches the window and every
// widget in it. A drag that carries local files is accepted wherever it enters, so the edit box
// never takes a file's URL as text; the drop raises FilesDropped from the message loop.
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <utility>

#include "platform/drop_target.h"
#include "platform/qt/gui_qt_internal.h"

namespace gui::qt {
namespace {

QStringList DroppedLocalFiles(const QMimeData* mime) {
    QStringList files;
    if (mime == nullptr || !mime->hasUrls()) {
        return files;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            files << QDir::toNativeSeparators(url.toLocalFile());
        }
    }
    return files;
}

}  // namespace

class DropFilter : public QObject {
  public:
    DropFilter(QWidget* window, DropTarget::FilesDroppedHandler* handler)
        : QObject(window), handler_(handler) {}

    // The DropTarget is going away before the window: drops are ignored from now on.
    void Detach() { handler_ = nullptr; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (DroppedLocalFiles(drag->mimeData()).isEmpty()) {
                    break;  // text and other drags keep the widget's own handling
                }
                drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const QStringList files = DroppedLocalFiles(drop->mimeData());
                if (files.isEmpty()) {
                    break;
                }
                drop->acceptProposedAction();
                Raise(files);
                return true;
            }
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    void Raise(const QStringList& files) {
        std::string names;
        if (files.size() == 1) {
            names = FromQt(files.first());
        } else {
            for (const QString& file : files) {
                names += FromQt(file) + "\r\n";
            }
        }
        // Raised after the drop has finished, so a handler may open modal boxes freely.
        QMetaObject::invokeMethod(
            this,
            [this, names = std::move(names)] {
                if (handler_ != nullptr && *handler_) {
                    const DropTarget::FilesDroppedHandler handler = *handler_;
                    handler(names);
                }
            },
            Qt::QueuedConnection);
    }

    DropTarget::FilesDroppedHandler* handler_;
};

}  // namespace gui::qt

struct DropTarget::Impl {
    FilesDroppedHandler handler;
    QPointer<gui::qt::DropFilter> filter;
    bool registered = false;
};

DropTarget::DropTarget() : impl_(std::make_unique<Impl>()) {}

DropTarget::~DropTarget() {
    if (impl_->filter) {
        impl_->filter->Detach();
        delete impl_->filter.data();
    }
}

bool DropTarget::RegisterWindow(gui::WindowHandle window) {
    if (impl_->registered || window == 0) {
        return false;
    }
    QWidget* widget = QWidget::find(static_cast<WId>(window));
    if (widget == nullptr) {
        return false;
    }
    impl_->registered = true;
    auto* filter = new gui::qt::DropFilter(widget->window(), &impl_->handler);
    impl_->filter = filter;
    // Widgets that refuse drops hand them up to the window; those that take drops themselves (the
    // edit box) see the filter first.
    widget->window()->setAcceptDrops(true);
    widget->window()->installEventFilter(filter);
    for (QWidget* child : widget->window()->findChildren<QWidget*>()) {
        child->installEventFilter(filter);
    }
    return true;
}

void DropTarget::SetFilesDropped(FilesDroppedHandler handler) {
    impl_->handler = std::move(handler);
}
