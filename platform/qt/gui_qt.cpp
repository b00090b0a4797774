// The GUI runtime on Qt 6 Widgets: builds windows from design tables, finds controls by name for
// the handlers, runs the message loop and the exit routines. Signals go to lambdas, so no moc.
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTranslator>
#include <algorithm>
#include <map>
#include <utility>

#include "platform/gui.h"
#include "platform/qt/gui_qt_internal.h"
#include "platform/sim/sim.h"

namespace gui {
namespace qt {
namespace {

struct Registry {
    std::map<std::string, ControlRecord, std::less<>> controls;
    std::map<std::string, WindowRecord, std::less<>> windows;
    std::string mainWindow;      // empty when no main window is alive
    QEventLoop* loop = nullptr;  // the running message loop, if any
    std::vector<void (*)()> exitRoutines;
};

// Never destroyed: a handler may still look a control up while the process ends.
Registry& State() {
    static Registry* registry = new Registry;
    return *registry;
}

template <typename W>
W* Widget(std::string_view name) {
    const ControlRecord* record = FindControlRecord(name);
    return record ? dynamic_cast<W*>(record->widget.data()) : nullptr;
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Modal boxes belong to the main window while it is alive, as on Windows.
QWidget* ModalParent() {
    const WindowRecord* record = FindWindowRecord(State().mainWindow);
    if (record == nullptr || record->destroying || !record->widget ||
        !record->widget->isVisible()) {
        return nullptr;
    }
    return record->widget.data();
}

QWidget* BuildWidget(const ControlDesign& design, QWidget* parent) {
    switch (design.kind) {
        case ControlKind::Label:
        case ControlKind::TransparentLabel: {
            auto* label = new QLabel(ToQt(design.text), parent);
            label->setWordWrap(true);
            // A plain label paints its own background like a Windows static control; the
            // transparent one lets the banner beneath show through.
            label->setAutoFillBackground(design.kind == ControlKind::Label);
            return label;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(ToQt(design.text), parent);
        case ControlKind::CheckListBox: {
            auto* list = new CheckListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            return list;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(ToQt(design.text), parent);
            if (design.clicked) {
                QObject::connect(button, &QPushButton::clicked, button,
                                 [handler = design.clicked] { handler(); });
            }
            return button;
        }
        case ControlKind::EditBox:
            return new QLineEdit(FromUtf8(design.text), parent);
        case ControlKind::ComboBox:
            return new QComboBox(parent);
        case ControlKind::OpenFileDialog:
        case ControlKind::DropTarget:
        case ControlKind::ExcelWorkbook:
        case ControlKind::ExcelApplication:
            return nullptr;
    }
    return nullptr;
}

void ApplyDesign(const ControlDesign& design, QWidget* widget) {
    widget->setObjectName(FromUtf8(design.name));
    widget->setGeometry(design.place.left, design.place.top, design.place.width,
                        design.place.height);
    if (!design.font.family.empty()) {
        QFont font(FromUtf8(design.font.family));
        if (design.font.height > 0) {
            font.setPixelSize(design.font.height);
        }
        font.setWeight(static_cast<QFont::Weight>(std::clamp(design.font.weight, 1, 1000)));
        widget->setFont(font);
    }
    if (design.border == Border::Sunken) {
        if (auto* frame = dynamic_cast<QFrame*>(widget)) {
            frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            frame->setLineWidth(1);
        }
    }
    widget->setEnabled(design.enabled);
    if (!design.visible) {
        widget->hide();  // explicitly hidden: stays hidden when the window shows
    }
}

// Checks the table before anything is built: names unique, parents are earlier group boxes.
bool DesignUsable(const WindowDesign& design) {
    const Registry& state = State();
    if (design.name.empty() || state.windows.count(design.name) != 0) {
        return false;
    }
    std::map<std::string_view, ControlKind> seen;
    for (const ControlDesign& control : design.controls) {
        if (control.name.empty() || state.controls.count(control.name) != 0 ||
            seen.count(control.name) != 0) {
            return false;
        }
        if (!control.parent.empty()) {
            auto parent = seen.find(control.parent);
            if (parent == seen.end() || parent->second != ControlKind::GroupBox) {
                return false;
            }
        }
        seen.emplace(control.name, control.kind);
    }
    return true;
}

}  // namespace

const ControlRecord* FindControlRecord(std::string_view name) {
    const Registry& state = State();
    auto it = state.controls.find(name);
    return it == state.controls.end() ? nullptr : &it->second;
}

const WindowRecord* FindWindowRecord(std::string_view name) {
    const Registry& state = State();
    auto it = state.windows.find(name);
    return it == state.windows.end() ? nullptr : &it->second;
}

std::string MainWindowName() {
    return State().mainWindow;
}

std::string ControlNameOf(const QWidget* widget) {
    for (const auto& [name, record] : State().controls) {
        if (widget != nullptr && record.widget.data() == widget) {
            return name;
        }
    }
    return {};
}

QString ToQt(const std::string& text) {
    return FromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string FromQt(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QStringList QtFileFilters(const std::string& filter) {
    const QStringList parts = FromUtf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

QMessageBox::Icon MessageBoxIcon(int flag) {
    switch (flag & 0xF0) {  // the icon bits of a MessageBox style
        case kIconStop:
            return QMessageBox::Critical;
        case kIconQuestion:
            return QMessageBox::Question;
        case kIconExclamation:
            return QMessageBox::Warning;
        case kIconInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

int MessageBoxFlag(QMessageBox::Icon icon) {
    switch (icon) {
        case QMessageBox::Critical:
            return kIconStop;
        case QMessageBox::Question:
            return kIconQuestion;
        case QMessageBox::Warning:
            return kIconExclamation;
        case QMessageBox::Information:
            return kIconInformation;
        case QMessageBox::NoIcon:
            break;
    }
    return 0;
}

QRect CheckListWidget::CheckBoxRect(int row) {
    const QModelIndex index = model()->index(row, 0);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.index = index;
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = index.data().toString();
    return style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
}

void CheckListWidget::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    // The delegate consumes a press on the check box before the view selects the item.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() &&
        !selectionModel()->isSelected(index)) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }
}

void DesignedWindow::closeEvent(QCloseEvent* event) {
    // The runtime hides and deletes the window itself, after the will-be-destroyed event.
    event->ignore();
    gui::DestroyWindow(name_);
}

}  // namespace qt

using qt::ControlRecord;
using qt::State;
using qt::ToQt;
using qt::Widget;

bool Initialize() {
    if (QCoreApplication::instance() == nullptr) {
        // Qt keeps references to argc and argv for the application's lifetime. The program
        // passes only its name: it reads no command line.
        static int argc = 1;
        static char program[] = "tallowind";
        static char* argv[] = {program, nullptr};
        // Lives until the process ends: tearing Qt down at exit buys nothing and risks order
        // problems with static destructors.
        auto* app = new QApplication(argc, argv);
        app->setQuitOnLastWindowClosed(false);
        // fontconfig maps "黑体" to no Chinese face; WenQuanYi Zen Hei is the Hei face we install.
        QFont::insertSubstitution(QStringLiteral("黑体"), QStringLiteral("WenQuanYi Zen Hei"));
        auto* translator = new QTranslator(app);
        if (translator->load(QStringLiteral("qtbase_zh_CN"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(translator);
        }
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    qt::InstallEndOfProgramHandlers();
    // Installed on every call: replacing the simulated machine drops the dispatcher.
    sim::SetMessageDispatcher([] { QCoreApplication::processEvents(); });
    return true;
}

void AddExitRoutine(void (*routine)()) {
    auto& routines = State().exitRoutines;
    if (routine != nullptr &&
        std::find(routines.begin(), routines.end(), routine) == routines.end()) {
        routines.push_back(routine);
    }
}

void RunExitRoutines() {
    const std::vector<void (*)()> routines = std::exchange(State().exitRoutines, {});
    for (void (*routine)() : routines) {
        routine();
    }
}

bool LoadWindow(const WindowDesign& design) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr ||
        !qt::DesignUsable(design)) {
        return false;
    }
    auto& state = State();
    auto* window = new qt::DesignedWindow(design.name);
    window->setObjectName(qt::FromUtf8(design.name));
    window->setWindowTitle(ToQt(design.caption));
    window->setFixedSize(std::max(0, design.place.width - 2 * qt::kFrameSide),
                         std::max(0, design.place.height - qt::kFrameCaption - qt::kFrameBottom));
    window->move(design.place.left, design.place.top);  // the frame's top left corner

    std::map<std::string_view, QWidget*> built;
    for (const ControlDesign& control : design.controls) {
        QWidget* parent = control.parent.empty() ? window : built[control.parent];
        QWidget* widget = qt::BuildWidget(control, parent);
        if (widget != nullptr) {
            qt::ApplyDesign(control, widget);
            built[control.name] = widget;
        }
        state.controls[control.name] = ControlRecord{.name = control.name,
                                                     .kind = control.kind,
                                                     .window = design.name,
                                                     .parent = control.parent,
                                                     .filter = control.filter,
                                                     .chosenPath = {},
                                                     .widget = widget};
    }
    state.windows[design.name] = qt::WindowRecord{.name = design.name,
                                                  .widget = window,
                                                  .willBeDestroyed = design.willBeDestroyed,
                                                  .destroying = false};
    if (state.mainWindow.empty()) {
        state.mainWindow = design.name;
    }

    if (design.created) {
        design.created();
    }
    // The created handler may have destroyed the window already.
    const qt::WindowRecord* record = qt::FindWindowRecord(design.name);
    if (record != nullptr && !record->destroying && record->widget) {
        record->widget->show();
    }
    return true;
}

void RunMessageLoop() {
    auto& state = State();
    if (state.mainWindow.empty() || state.loop != nullptr) {
        return;
    }
    QEventLoop loop;
    state.loop = &loop;
    loop.exec();
    state.loop = nullptr;
    // The destroyed window was only scheduled for deletion; delete it now that no handler of it
    // is running.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ProcessEvents() {
    QCoreApplication::processEvents();
}

WindowHandle GetWindowHandle(std::string_view window) {
    const qt::WindowRecord* record = qt::FindWindowRecord(window);
    if (record == nullptr || !record->widget) {
        return 0;
    }
    return static_cast<WindowHandle>(record->widget->winId());
}

void DestroyWindow(std::string_view window) {
    auto& state = State();
    auto it = state.windows.find(window);
    if (it == state.windows.end() || it->second.destroying) {
        return;
    }
    it->second.destroying = true;
    const Handler willBeDestroyed = it->second.willBeDestroyed;
    if (willBeDestroyed) {
        willBeDestroyed();  // the window and its controls are still there
    }
    it = state.windows.find(window);  // the handler may have loaded other windows
    const std::string name = it->second.name;
    const QPointer<qt::DesignedWindow> widget = it->second.widget;
    state.windows.erase(it);
    std::erase_if(state.controls, [&](const auto& entry) { return entry.second.window == name; });
    if (widget) {
        widget->hide();
        // Deleted later: this may run inside a click handler of one of its own buttons.
        widget->deleteLater();
    }
    if (state.mainWindow == name) {
        state.mainWindow.clear();
        if (state.loop != nullptr) {
            state.loop->quit();
        }
    }
}

void ShowMessageBox(const std::string& text, int icon, const std::string& title) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    const QPointer<QMessageBox> box = new QMessageBox(qt::ModalParent());
    box->setIcon(qt::MessageBoxIcon(icon));
    box->setWindowTitle(ToQt(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(ToQt(text));
    box->setStandardButtons(QMessageBox::Ok);
    box->setProperty(qt::kOriginalTextProperty, qt::FromUtf8(text));
    box->exec();
    delete box.data();  // null if its parent went away while it was open
}

std::string EditBoxText(std::string_view editBox) {
    auto* edit = Widget<QLineEdit>(editBox);
    return edit ? qt::FromQt(edit->text()) : std::string();
}

void SetEditBoxText(std::string_view editBox, const std::string& text) {
    if (auto* edit = Widget<QLineEdit>(editBox)) {
        edit->setText(qt::FromUtf8(text));
    }
}

void SetLabelVisible(std::string_view label, bool visible) {
    if (auto* widget = Widget<QLabel>(label)) {
        widget->setVisible(visible);
    }
}

void CheckListRemoveAll(std::string_view checkList) {
    if (auto* list = Widget<qt::CheckListWidget>(checkList)) {
        list->clear();
    }
}

int CheckListAddItem(std::string_view checkList, const std::string& text, std::int32_t value) {
    auto* list = Widget<qt::CheckListWidget>(checkList);
    if (list == nullptr) {
        return -1;
    }
    auto* item = new QListWidgetItem(ToQt(text), list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    item->setData(Qt::UserRole, QVariant::fromValue<qint32>(value));
    return list->count() - 1;
}

int CheckListItemCount(std::string_view checkList) {
    auto* list = Widget<qt::CheckListWidget>(checkList);
    return list ? list->count() : 0;
}

int CheckListCurrentItem(std::string_view checkList) {
    auto* list = Widget<qt::CheckListWidget>(checkList);
    if (list == nullptr) {
        return -1;
    }
    // The selection, not Qt's current index: the view moves its current index to the first item
    // when it gains focus, which is not a choice the user made.
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

std::int32_t CheckListItemValue(std::string_view checkList, int index) {
    auto* list = Widget<qt::CheckListWidget>(checkList);
    const QListWidgetItem* item = list ? list->item(index) : nullptr;
    // No such item reads -1, as a Windows list box's item data does.
    return item ? item->data(Qt::UserRole).value<qint32>() : -1;
}

bool CheckListItemChecked(std::string_view checkList, int index) {
    auto* list = Widget<qt::CheckListWidget>(checkList);
    const QListWidgetItem* item = list ? list->item(index) : nullptr;
    return item != nullptr && item->checkState() == Qt::Checked;
}

int ComboAddItem(std::string_view comboBox, const std::string& text) {
    auto* combo = Widget<QComboBox>(comboBox);
    if (combo == nullptr) {
        return -1;
    }
    const int before = combo->currentIndex();
    combo->addItem(ToQt(text));
    // QComboBox makes the first item current by itself; a Windows combo box keeps no choice.
    if (before < 0) {
        combo->setCurrentIndex(-1);
    }
    return combo->count() - 1;
}

int ComboCurrentItem(std::string_view comboBox) {
    auto* combo = Widget<QComboBox>(comboBox);
    return combo ? combo->currentIndex() : -1;
}

void SetComboCurrentItem(std::string_view comboBox, int index) {
    auto* combo = Widget<QComboBox>(comboBox);
    if (combo != nullptr && index >= -1 && index < combo->count()) {
        combo->setCurrentIndex(index);
    }
}

std::string ComboItemText(std::string_view comboBox, int index) {
    auto* combo = Widget<QComboBox>(comboBox);
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        return {};
    }
    return qt::FromQt(combo->itemText(index));
}

bool ShowOpenFileDialog(std::string_view dialog) {
    const ControlRecord* record = qt::FindControlRecord(dialog);
    if (record == nullptr || record->kind != ControlKind::OpenFileDialog) {
        return false;
    }
    const std::string name = record->name;
    const QPointer<QFileDialog> box = new QFileDialog(qt::ModalParent());
    box->setFileMode(QFileDialog::ExistingFile);
    box->setAcceptMode(QFileDialog::AcceptOpen);
    box->setNameFilters(qt::QtFileFilters(record->filter));
    const bool confirmed = box->exec() == QDialog::Accepted && !box->selectedFiles().isEmpty();
    const std::string path = confirmed ? qt::FromQt(box->selectedFiles().first()) : std::string();
    delete box.data();
    // The registry may have changed while the dialog was open.
    auto it = State().controls.find(name);
    if (!confirmed || it == State().controls.end()) {
        return false;
    }
    it->second.chosenPath = path;
    return true;
}

std::string OpenFileDialogPath(std::string_view dialog) {
    const ControlRecord* record = qt::FindControlRecord(dialog);
    return record ? record->chosenPath : std::string();
}

}  // namespace gui
