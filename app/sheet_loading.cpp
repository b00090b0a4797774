// Loading a workbook's sheet names into the check-list box: from the open-file dialog, from a file
// dropped on the window, or from the path typed in the edit box.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "platform/gui.h"
#include "platform/spooler.h"

using namespace main_window;

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";  // U+3000

// The parts between CR LFs; a CR LF at the very end ends the last part instead of starting one.
std::vector<std::string> SplitAtCrLf(std::string_view text) {
    std::vector<std::string> parts;
    while (!text.empty()) {
        const std::size_t end = text.find(kCrLf);
        parts.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + kCrLf.size());
    }
    return parts;
}

// Without the ASCII and full-width spaces at either end.
std::string_view TrimSpaces(std::string_view text) {
    for (bool trimmed = true; trimmed;) {
        trimmed = false;
        for (std::string_view space : {std::string_view(" "), kFullWidthSpace}) {
            if (text.starts_with(space)) {
                text.remove_prefix(space.size());
                trimmed = true;
            }
            if (text.ends_with(space)) {
                text.remove_suffix(space.size());
                trimmed = true;
            }
        }
    }
    return text;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string FileExtension(const std::string& path) {
    const char* extension = PathFindExtensionA(path.c_str());
    return extension != nullptr ? std::string(extension) : std::string();
}

void OnBrowseClicked() {
    if (!gui::ShowOpenFileDialog(通用对话框1)) {
        return;
    }
    // The dialog's filter suggests workbooks; whatever file was chosen is loaded.
    gui::SetEditBoxText(编辑框1, gui::OpenFileDialogPath(通用对话框1));
    gui::SetLabelVisible(标签3, true);
    gui::ProcessEvents();
    ShowSheetNames();
}

void OnFilesDropped(const std::string& names) {
    const std::vector<std::string> paths = SplitAtCrLf(names);
    if (paths.size() > 1) {
        gui::ShowMessageBox("不支持多文件，请拖放一个excel文件！！", gui::kIconExclamation, "警告");
        return;
    }
    const std::string path = paths.empty() ? std::string() : paths.front();
    const std::string extension = FileExtension(path);
    // Case-insensitive, so that BOOK1.XLS is a workbook too.
    if (!EqualsAsciiNoCase(extension, ".xls") && !EqualsAsciiNoCase(extension, ".xlsx")) {
        gui::ShowMessageBox("选择的文件不是excel文件！", gui::kIconExclamation, "警告");
        return;
    }
    gui::SetLabelVisible(标签3, true);
    gui::SetEditBoxText(编辑框1, path);
    gui::ProcessEvents();
    ShowSheetNames();
}

void ShowSheetNames() {
    gui::CheckListRemoveAll(选择列表框1);
    if (TrimSpaces(gui::EditBoxText(编辑框1)).empty()) {
        return;
    }
    MainWindowComponents& parts = Components();
    parts.Excel程序1.Start();
    parts.Excel程序1.Visible(false);
    parts.Excel工作簿1.AttachToApplication(parts.Excel程序1);
    // The path as typed, surrounding spaces included.
    parts.Excel工作簿1.Open(gui::EditBoxText(编辑框1));
    const std::int32_t count = parts.Excel工作簿1.SheetCount();
    for (std::int32_t i = 1; i <= count; ++i) {
        parts.Excel工作簿1.CurrentSheetIndex(i);
        gui::CheckListAddItem(选择列表框1, parts.Excel工作簿1.CurrentSheetName(), i);
    }
    gui::SetLabelVisible(标签3, false);
}
