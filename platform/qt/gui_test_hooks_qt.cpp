// The Qt runtime's test hooks: read the real widgets, click them with QtTest's mouse events, and
// answer modal boxes from a timer that polls for the active modal widget.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>
#include <utility>

#include "platform/gui_test_hooks.h"
#include "platform/qt/gui_qt_internal.h"

namespace gui::test {
namespace {

using qt::FromQt;

// How long a hook waits for the box it should answer before it gives up.
constexpr int kAnswerTimeoutMs = 5000;
constexpr int kPollMs = 10;

QString ShownText(const QWidget* widget) {
    if (auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return group->title();
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return combo->currentText();
    }
    return {};
}

// True when every character of `text` maps to a real glyph in the font or in the fallback
// fonts Qt picks for it; a missing glyph shows as a box.
bool AllGlyphsFound(const QString& text, const QFont& font) {
    QString flat = text;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (flat.trimmed().isEmpty()) {
        return true;
    }
    QTextLayout layout(flat, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns()) {
        for (quint32 glyph : run.glyphIndexes()) {
            if (glyph == 0) {
                return false;
            }
        }
    }
    return true;
}

// Polls the message loop for a modal widget of type W (that `matches`, if given), hands it to
// `answer` once, and gives up after the timeout.
template <typename W>
void AnswerNextModal(std::function<void(W*)> answer, std::function<bool(W*)> matches = {}) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(kPollMs);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, answer = std::move(answer), matches = std::move(matches),
                      deadline = QDeadlineTimer(kAnswerTimeoutMs)] {
                         auto* modal = qobject_cast<W*>(QApplication::activeModalWidget());
                         if (modal != nullptr && matches && !matches(modal)) {
                             modal = nullptr;
                         }
                         if (modal == nullptr && !deadline.hasExpired()) {
                             return;
                         }
                         timer->stop();
                         timer->deleteLater();
                         if (modal != nullptr) {
                             answer(modal);
                         }
                     });
    timer->start();
}

}  // namespace

ControlInfo InspectControl(std::string_view control) {
    ControlInfo info;
    const qt::ControlRecord* record = qt::FindControlRecord(control);
    if (record == nullptr) {
        return info;
    }
    info.exists = true;
    info.kind = record->kind;
    info.parent = record->parent;
    const QWidget* widget = record->widget.data();
    info.faceless = widget == nullptr;
    if (widget == nullptr) {
        return info;
    }
    const QRect geometry = widget->geometry();
    info.place = {geometry.x(), geometry.y(), geometry.width(), geometry.height()};
    const QString text = ShownText(widget);
    info.text = FromQt(text);
    info.visible = widget->isVisibleTo(widget->window());
    info.enabled = widget->isEnabled();
    info.fillsBackground = widget->autoFillBackground();
    if (auto* frame = qobject_cast<const QFrame*>(widget)) {
        info.sunkenFrame =
            frame->frameShape() != QFrame::NoFrame && frame->frameShadow() == QFrame::Sunken;
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        info.editable = !edit->isReadOnly();
    }
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) {
        info.editable = combo->isEditable();
    }
    info.allGlyphsFound = AllGlyphsFound(text, widget->font());
    const QFont font = widget->font();
    const QFontInfo resolved(font);
    info.font.requestedFamily = FromQt(font.family());
    info.font.resolvedFamily = FromQt(resolved.family());
    info.font.chineseFace =
        QFontDatabase::writingSystems(resolved.family()).contains(QFontDatabase::SimplifiedChinese);
    info.font.pixelSize = resolved.pixelSize();
    info.font.weight = resolved.weight();
    return info;
}

WindowInfo InspectWindow(std::string_view window) {
    WindowInfo info;
    const qt::WindowRecord* record = qt::FindWindowRecord(window);
    if (record == nullptr || !record->widget) {
        return info;
    }
    const QWidget* widget = record->widget.data();
    info.exists = true;
    info.visible = widget->isVisible();
    info.caption = FromQt(widget->windowTitle());
    const QRect frame = widget->frameGeometry();
    const QRect client = widget->geometry();
    info.outer = {frame.x(), frame.y(), frame.width(), frame.height()};
    info.client = {client.x(), client.y(), client.width(), client.height()};
    return info;
}

int TopLevelWidgetCount() {
    return static_cast<int>(QApplication::topLevelWidgets().size());
}

std::string ControlAt(std::string_view window, int x, int y) {
    const qt::WindowRecord* record = qt::FindWindowRecord(window);
    if (record == nullptr || !record->widget) {
        return {};
    }
    // The innermost widget there may be a part of a control (a list's viewport).
    for (const QWidget* widget = record->widget->childAt(x, y);
         widget != nullptr && widget != record->widget.data(); widget = widget->parentWidget()) {
        std::string name = qt::ControlNameOf(widget);
        if (!name.empty()) {
            return name;
        }
    }
    return {};
}

bool ClickButton(std::string_view button) {
    const qt::ControlRecord* record = qt::FindControlRecord(button);
    auto* widget = record ? qobject_cast<QAbstractButton*>(record->widget.data()) : nullptr;
    if (widget == nullptr || !widget->isVisible() || !widget->isEnabled()) {
        return false;
    }
    QTest::mouseClick(widget, Qt::LeftButton);
    return true;
}

bool ClickCheckListItem(std::string_view checkList, int index, bool onCheckBox) {
    const qt::ControlRecord* record = qt::FindControlRecord(checkList);
    auto* list = record ? dynamic_cast<qt::CheckListWidget*>(record->widget.data()) : nullptr;
    if (list == nullptr || list->item(index) == nullptr || !list->isVisible()) {
        return false;
    }
    list->scrollToItem(list->item(index));
    const QRect item = list->visualItemRect(list->item(index));
    const QRect box = list->CheckBoxRect(index);
    // Off the check box: the middle of the part of the item right of it.
    const QPoint point =
        onCheckBox ? box.center() : QPoint((box.right() + item.right()) / 2, item.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    return true;
}

std::string CheckListItemText(std::string_view checkList, int index) {
    const qt::ControlRecord* record = qt::FindControlRecord(checkList);
    auto* list = record ? dynamic_cast<qt::CheckListWidget*>(record->widget.data()) : nullptr;
    const QListWidgetItem* item = list ? list->item(index) : nullptr;
    return item ? FromQt(item->text()) : std::string();
}

bool SetCheckListItemChecked(std::string_view checkList, int index, bool checked) {
    const qt::ControlRecord* record = qt::FindControlRecord(checkList);
    auto* list = record ? dynamic_cast<qt::CheckListWidget*>(record->widget.data()) : nullptr;
    QListWidgetItem* item = list ? list->item(index) : nullptr;
    if (item == nullptr) {
        return false;
    }
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return true;
}

bool CloseWindowByCloseBox(std::string_view window) {
    const qt::WindowRecord* record = qt::FindWindowRecord(window);
    if (record == nullptr || !record->widget) {
        return false;
    }
    // The close box asks the window to close; the window's close event decides what follows.
    record->widget->close();
    return true;
}

void AnswerNextMessageBox(std::function<void(const MessageBoxSeen&)> seen) {
    AnswerNextModal<QMessageBox>([seen = std::move(seen)](QMessageBox* box) {
        MessageBoxSeen report;
        report.text = FromQt(box->property(qt::kOriginalTextProperty).toString());
        report.shownText = FromQt(box->text());
        report.title = FromQt(box->windowTitle());
        report.icon = qt::MessageBoxFlag(box->icon());
        for (const QAbstractButton* button : box->buttons()) {
            report.buttons.push_back(FromQt(button->text()));
        }
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
            ok->click();
        } else {
            box->accept();
        }
        if (seen) {
            seen(report);
        }
    });
}

void AnswerNextFileDialog(std::optional<std::string> path,
                          std::function<void(const FileDialogSeen&)> seen) {
    const std::optional<QString> file =
        path ? std::optional<QString>(QString::fromStdString(*path)) : std::nullopt;
    AnswerNextModal<QFileDialog>(
        [file, seen = std::move(seen)](QFileDialog* dialog) {
            FileDialogSeen report;
            report.title = FromQt(dialog->windowTitle());
            for (const QString& filter : dialog->nameFilters()) {
                report.filters.push_back(FromQt(filter));
            }
            if (file) {
                // accept() is a protected slot; it checks that the file exists, as OK does.
                QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
            } else {
                dialog->reject();
            }
            if (seen) {
                seen(report);
            }
        },
        // Ready once shown with the file chosen in its own folder, as a user would go there: the
        // dialog may have opened in a folder that no longer exists.
        [file](QFileDialog* dialog) {
            if (!dialog->isVisible()) {
                return false;
            }
            if (!file) {
                return true;
            }
            constexpr char kPrepared[] = "tallowindAnswerPrepared";
            if (!dialog->property(kPrepared).toBool()) {
                dialog->setProperty(kPrepared, true);
                dialog->setDirectory(QFileInfo(*file).absolutePath());
                dialog->selectFile(*file);
                // selectFile leaves the name box alone while it has the focus; type the name.
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (name != nullptr && dialog->selectedFiles().value(0).isEmpty()) {
                    name->setText(QFileInfo(*file).fileName());
                }
            }
            return dialog->selectedFiles().value(0) == QFileInfo(*file).absoluteFilePath();
        });
}

void AnswerNextPrintSetup(bool ok, std::function<void(const PrintSetupSeen&)> seen) {
    AnswerNextModal<QDialog>(
        [ok, seen = std::move(seen)](QDialog* dialog) {
            PrintSetupSeen report;
            report.title = FromQt(dialog->windowTitle());
            report.flags = dialog->property(qt::kPrintSetupFlagsProperty).value<quint32>();
            report.owned = dialog->parentWidget() != nullptr;
            for (const QWidget* widget : dialog->findChildren<QWidget*>()) {
                if (auto* group = qobject_cast<const QGroupBox*>(widget)) {
                    report.labels.push_back(FromQt(group->title()));
                } else if (auto* label = qobject_cast<const QLabel*>(widget)) {
                    report.labels.push_back(FromQt(label->text()));
                }
            }
            if (auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printer"))) {
                for (int i = 0; i < printers->count(); ++i) {
                    report.printers.push_back(FromQt(printers->itemText(i)));
                }
                report.chosenPrinter = FromQt(printers->currentText());
            }
            if (auto* paper = dialog->findChild<QComboBox*>(QStringLiteral("paperSize"))) {
                for (int i = 0; i < paper->count(); ++i) {
                    report.paperSizes.push_back(FromQt(paper->itemText(i)));
                }
            }
            for (const QRadioButton* choice : dialog->findChildren<QRadioButton*>()) {
                auto text = FromQt(choice->text());
                if (choice->isChecked()) {
                    report.orientations.insert(report.orientations.begin(), text);
                } else {
                    report.orientations.push_back(text);
                }
            }
            for (const QAbstractButton* button : dialog->findChildren<QPushButton*>()) {
                report.buttons.push_back(FromQt(button->text()));
            }
            auto* button = dialog->findChild<QPushButton*>(ok ? QStringLiteral("ok")
                                                              : QStringLiteral("cancel"));
            if (button != nullptr) {
                button->click();
            } else if (ok) {
                dialog->accept();
            } else {
                dialog->reject();
            }
            if (seen) {
                seen(report);
            }
        },
        [](QDialog* dialog) {
            return dialog->objectName() == QLatin1String(qt::kPrintSetupDialogName);
        });
}

bool DropFiles(std::string_view control, const std::vector<std::string>& paths) {
    QWidget* widget = nullptr;
    if (const qt::ControlRecord* record = qt::FindControlRecord(control)) {
        widget = record->widget.data();
    } else if (const qt::WindowRecord* window = qt::FindWindowRecord(control)) {
        widget = window->widget.data();
    }
    if (widget == nullptr) {
        return false;
    }
    // As Qt delivers a drag: to the innermost widget at the point, or the nearest ancestor of it
    // that takes drops.
    const QPoint middle = widget->rect().center();
    QWidget* target = widget->childAt(middle);
    if (target == nullptr) {
        target = widget;
    }
    while (target != nullptr && !(target->acceptDrops() && target->isEnabled())) {
        target = target->isWindow() ? nullptr : target->parentWidget();
    }
    if (target == nullptr) {
        return false;
    }
    const QPoint at = target->mapFromGlobal(widget->mapToGlobal(middle));
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& path : paths) {
        urls << QUrl::fromLocalFile(
            QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
    }
    mime.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &mime,
                          Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(at), enter.dropAction(), &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    // The drop target raises its event from the message loop.
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

void WhenWindowShown(std::string_view window, std::function<void()> action) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(kPollMs);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, name = std::string(window), action = std::move(action)] {
                         const qt::WindowRecord* record = qt::FindWindowRecord(name);
                         if (record == nullptr || !record->widget || !record->widget->isVisible()) {
                             return;
                         }
                         timer->stop();
                         timer->deleteLater();
                         action();
                     });
    timer->start();
}

}  // namespace gui::test
