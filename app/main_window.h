// MainWindow: the design table of the program's one window and the handlers of its events.
// Handlers reach the controls only through the GUI runtime, by the names below.
#pragma once

#include <cstdint>
#include <string>

#include "platform/drop_target.h"
#include "platform/excel.h"
#include "platform/gui.h"

namespace main_window {
// The window and its controls. Using these constants turns a misspelt name into a compile error.
inline constexpr char kWindow[] = "MainWindow";
inline constexpr char 标签1[] = "标签1";
inline constexpr char 标签2[] = "标签2";
inline constexpr char 透明标签1[] = "透明标签1";
inline constexpr char 分组框1[] = "分组框1";
inline constexpr char 选择列表框1[] = "选择列表框1";
inline constexpr char 拖放对象1[] = "拖放对象1";
inline constexpr char 标签3[] = "标签3";
inline constexpr char 按钮2[] = "按钮2";
inline constexpr char 按钮3[] = "按钮3";
inline constexpr char 按钮6[] = "按钮6";
inline constexpr char 按钮5[] = "按钮5";
inline constexpr char 按钮4[] = "按钮4";
inline constexpr char 编辑框1[] = "编辑框1";
inline constexpr char 按钮1[] = "按钮1";
inline constexpr char 组合框1[] = "组合框1";
inline constexpr char 按钮7[] = "按钮7";
inline constexpr char 按钮8[] = "按钮8";
inline constexpr char 通用对话框1[] = "通用对话框1";
inline constexpr char Excel工作簿1[] = "Excel工作簿1";
inline constexpr char Excel程序1[] = "Excel程序1";
}  // namespace main_window

// The window's components that are objects of the program rather than widgets. Each load of the
// window gets new ones; they go at program end (an exit routine) or at the next load.
struct MainWindowComponents {
    ExcelApp Excel程序1;
    ExcelWorkbooks Excel工作簿1;
    DropTarget 拖放对象1;
};
// The components of the window loaded last (created on first use).
MainWindowComponents& Components();

// The window as designed: caption, place, events and every control, bottom to top.
gui::WindowDesign MainWindowDesign();
// Builds MainWindow from its design and shows it; its created event runs on the way.
bool LoadMainWindow();

// ---- Event handlers ----
void OnWindowCreated();
void OnWindowWillBeDestroyed();
void ShowSheetNames();
void OnPrintCheckedClicked();
void OnPrintAllClicked();
void OnAboutClicked();
void OnExitClicked();
void OnBrowseClicked();
void OnSetDefaultPrinterClicked();
void OnPrinterSetupClicked();
// `names`: the dropped files' paths, separated by CR LF.
void OnFilesDropped(const std::string& names);

// ---- Routines of the window ----

// The extension of `path` from the dot that starts it, as PathFindExtensionA finds it; empty when
// there is none.
std::string FileExtension(const std::string& path);
// The spooler's print-setup dialog, owned by no window; PrintDlgA's result.
std::int32_t ShowPrintSetupDialog();
