// MainWindow's design table, its components, and the handlers of its life: created and destroyed
// events, About and Exit. Loading sheets, printing and the printer choice have files of their own.
#include "app/main_window.h"

#include <memory>
#include <string>

#include "app/shell_state.h"
#include "platform/gui.h"

using namespace main_window;
using gui::ControlKind;

namespace {

constexpr int kCharsetGb2312 = 134;

std::unique_ptr<MainWindowComponents> components;

void ReleaseComponents() {
    components.reset();
}

}  // namespace

MainWindowComponents& Components() {
    if (!components) {
        components = std::make_unique<MainWindowComponents>();
    }
    return *components;
}

gui::WindowDesign MainWindowDesign() {
    using gui::Control;
    gui::WindowDesign design;
    design.name = kWindow;
    design.caption = "Tallowind  1.001";
    design.place = {50, 50, 420, 345};
    design.created = OnWindowCreated;
    design.willBeDestroyed = OnWindowWillBeDestroyed;
    design.controls = {
        Control(标签1, ControlKind::Label)
            .At(0, 0, 420, 72)
            .Text("Tallowind")
            .WithFont({"黑体", 31, 400, kCharsetGb2312}),
        // A three-pixel sunken line under the banner.
        Control(标签2, ControlKind::Label).At(0, 70, 420, 3).WithBorder(gui::Border::Sunken),
        // Over the banner's lower right corner, so after it.
        Control(透明标签1, ControlKind::TransparentLabel)
            .At(288, 48, 120, 24)
            .Text("注意：支持文件拖放。"),
        Control(分组框1, ControlKind::GroupBox).At(6, 78, 306, 160).Text("表格名称"),
        Control(选择列表框1, ControlKind::CheckListBox).In(分组框1).At(8, 16, 289, 136),
        Control(拖放对象1, ControlKind::DropTarget).In(分组框1),
        // Shown over the check-list box while sheet names load, so after the group box.
        Control(标签3, ControlKind::Label)
            .At(96, 152, 152, 32)
            .Text("正在获取表名，请稍等……")
            .Hidden(),
        Control(按钮2, ControlKind::Button)
            .At(320, 83, 86, 27)
            .Text("显示表名")
            .OnClicked(ShowSheetNames),
        Control(按钮3, ControlKind::Button)
            .At(320, 115, 86, 27)
            .Text("打印选中")
            .OnClicked(OnPrintCheckedClicked),
        Control(按钮6, ControlKind::Button)
            .At(320, 147, 86, 27)
            .Text("打印全部")
            .OnClicked(OnPrintAllClicked),
        Control(按钮5, ControlKind::Button)
            .At(320, 179, 86, 27)
            .Text("关   于")
            .OnClicked(OnAboutClicked),
        Control(按钮4, ControlKind::Button)
            .At(320, 211, 86, 27)
            .Text("退出程序")
            .OnClicked(OnExitClicked),
        Control(编辑框1, ControlKind::EditBox).At(8, 251, 344, 20),
        Control(按钮1, ControlKind::Button)
            .At(357, 248, 48, 27)
            .Text("浏览")
            .OnClicked(OnBrowseClicked),
        Control(组合框1, ControlKind::ComboBox).At(8, 283, 232, 20),
        Control(按钮7, ControlKind::Button)
            .At(243, 280, 83, 27)
            .Text("指定打印机")
            .OnClicked(OnSetDefaultPrinterClicked),
        Control(按钮8, ControlKind::Button)
            .At(328, 280, 76, 27)
            .Text("打印机设置")
            .OnClicked(OnPrinterSetupClicked),
        // Faceless components.
        Control(通用对话框1, ControlKind::OpenFileDialog).Filter("xls,xlsx|*.xls;*.xlsx"),
        Control(Excel工作簿1, ControlKind::ExcelWorkbook),
        Control(Excel程序1, ControlKind::ExcelApplication),
    };
    return design;
}

bool LoadMainWindow() {
    // New components for the new window: a drop target registers with one window only.
    components = std::make_unique<MainWindowComponents>();
    components->拖放对象1.SetFilesDropped(OnFilesDropped);
    gui::AddExitRoutine(ReleaseComponents);
    return gui::LoadWindow(MainWindowDesign());
}

void OnWindowWillBeDestroyed() {
    MainWindowComponents& parts = Components();
    parts.Excel程序1.Quit();
    parts.Excel程序1.Release();
    // Whatever the user made the default while the window was open, the old default comes back.
    printerManager->SetDefaultPrinter(savedDefaultPrinter);
}

void OnAboutClicked() {
    const std::string text =
        "本程序针对一个excel文件多个表格需要批量打印编写，旨在减轻工作量；\r\n"
        "程序可实现选择部分表格一起打印，防止在excel文件中操作误点情况；\r\n"
        "此程序需要系统安装excel程序才能正常运行；\r\n"
        "本程序支持拖放操作，即可以把excel文件拖进来，程序自动获取路径；\r\n"
        "程序以实现功能为主，未作大量测试，如有问题请联系"
        "support@tallowind.example"
        "。";
    gui::ShowMessageBox(text, gui::kIconInformation, "关于");
}

void OnExitClicked() {
    // Destroying the window runs the will-be-destroyed handler once more: Excel has been released
    // by then, and the default printer is restored a second time.
    OnWindowWillBeDestroyed();
    gui::DestroyWindow(kWindow);
}
