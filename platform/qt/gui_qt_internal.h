// The Qt runtime's own widgets and its registry of windows and controls, shared by the runtime
// (gui_qt.cpp) and its test hooks (gui_test_hooks_qt.cpp). Nothing outside platform/qt sees it.
#pragma once

#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui.h"

namespace gui::qt {

// The frame the runtime assumes around a window's client area, as a typical Windows frame: 3-pixel
// borders at the sides and the bottom and a 24-pixel caption bar that includes the top edge.
// A design's outer 420 x 345 becomes a client area of 414 x 318.
inline constexpr int kFrameSide = 3;
inline constexpr int kFrameBottom = 3;
inline constexpr int kFrameCaption = 24;

// A list whose items carry a check box, and whose item becomes the selected (current) one on any
// click, the check box included: a plain QListWidget lets the check box eat the press.
class CheckListWidget : public QListWidget {
  public:
    using QListWidget::QListWidget;
    // Where the item's check box is drawn, in viewport coordinates.
    QRect CheckBoxRect(int row);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// A top-level window built from a design; its close box goes through the runtime's destroy path.
class DesignedWindow : public QWidget {
  public:
    explicit DesignedWindow(std::string name) : name_(std::move(name)) {}

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::string name_;
};

struct ControlRecord {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string window;
    std::string parent;
    std::string filter;        // open-file dialog, as designed
    std::string chosenPath;    // open-file dialog, the file confirmed last
    QPointer<QWidget> widget;  // null for faceless kinds
};

struct WindowRecord {
    std::string name;
    QPointer<DesignedWindow> widget;
    Handler willBeDestroyed;
    bool destroying = false;
};

// Null when there is no such control or window.
const ControlRecord* FindControlRecord(std::string_view name);
const WindowRecord* FindWindowRecord(std::string_view name);
// The name of the control whose widget is `widget`, or empty.
std::string ControlNameOf(const QWidget* widget);

QString ToQt(const std::string& text);  // UTF-8 to UTF-16, CR LF to a line break
std::string FromQt(const QString& text);

// "description|patterns|..." with patterns split by ';' becomes Qt's "description (p1 p2)" list.
QStringList QtFileFilters(const std::string& filter);

QMessageBox::Icon MessageBoxIcon(int flag);
int MessageBoxFlag(QMessageBox::Icon icon);

// The dynamic property of a message box that holds its text as the program gave it.
inline constexpr char kOriginalTextProperty[] = "tallowindOriginalText";

// The print-setup dialog's object name, and its property holding the PRINTDLGA Flags it was given.
inline constexpr char kPrintSetupDialogName[] = "tallowindPrintSetup";
inline constexpr char kPrintSetupFlagsProperty[] = "tallowindPrintDlgFlags";

// The main window's name, or empty when none is alive.
std::string MainWindowName();

// Ends the program the normal way (the main window is destroyed) on SIGINT, SIGTERM and the end
// of the desktop session. Installed once; later calls do nothing.
void InstallEndOfProgramHandlers();

}  // namespace gui::qt
