// Test hooks of the GUI runtime: inspect windows and controls, click like a user, answer the modal
// boxes and close a window by its close box. Toolkit-free, so window tests read the same on every
// backend; link the backend's test-hooks library to use them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gui.h"

namespace gui::test {

struct FontInfo {
    std::string requestedFamily;  // as the design asked, after the runtime's substitutions
    std::string resolvedFamily;   // the installed face actually used
    bool chineseFace = false;     // the resolved face covers Simplified Chinese
    int pixelSize = 0;
    int weight = 0;
};

struct ControlInfo {
    bool exists = false;
    ControlKind kind = ControlKind::Label;
    bool faceless = false;  // no widget: the remaining fields are empty
    std::string parent;     // the group box's name, or empty for the client area
    Rect place;             // relative to the parent
    std::string text;       // as given to the runtime
    std::string shownText;  // as the widget shows it (line breaks as LF)
    bool visible = false;   // would be visible while its window shows
    bool enabled = false;
    bool fillsBackground = false;  // paints its own background (not transparent)
    bool sunkenFrame = false;
    bool editable = false;        // edit boxes: not read-only
    bool allGlyphsFound = false;  // every character of the text has a glyph in some font
    FontInfo font;
};

struct WindowInfo {
    bool exists = false;
    bool visible = false;
    std::string caption;
    Rect outer;   // position and size of the frame
    Rect client;  // position on the screen and size of the client area
};

struct MessageBoxSeen {
    std::string text;       // as given to the runtime
    std::string shownText;  // as the box shows it
    std::string title;
    int icon = 0;  // the kIcon flag the box's icon stands for
    std::vector<std::string> buttons;
};

struct PrintSetupSeen {
    std::string title;
    unsigned flags = 0;               // the PRINTDLGA Flags the dialog was opened with
    bool owned = false;               // it has an owner window
    std::vector<std::string> labels;  // group captions and field labels, in layout order
    std::vector<std::string> printers;
    std::string chosenPrinter;
    std::vector<std::string> paperSizes;
    std::vector<std::string> orientations;  // the choices, the checked one first
    std::vector<std::string> buttons;
};

struct FileDialogSeen {
    std::string title;
    std::vector<std::string> filters;  // as the dialog lists them
};

ControlInfo InspectControl(std::string_view control);
WindowInfo InspectWindow(std::string_view window);
// How many top-level widgets (windows, boxes, popups) exist, hidden ones and those waiting for
// deletion included.
int TopLevelWidgetCount();
// The name of the topmost control at a point of the window's client area, or empty.
std::string ControlAt(std::string_view window, int x, int y);

// A left click in the middle of an enabled button. False when there is no such button.
bool ClickButton(std::string_view button);
// A left click on an item of a check-list box: on its check box, or on its text.
bool ClickCheckListItem(std::string_view checkList, int index, bool onCheckBox);
// An item's text as the check-list box shows it, or empty.
std::string CheckListItemText(std::string_view checkList, int index);
// Checks or unchecks an item as code would: the current item stays as it is.
bool SetCheckListItemChecked(std::string_view checkList, int index, bool checked);
// Closes the window as its close box does.
bool CloseWindowByCloseBox(std::string_view window);

// The next modal message box (within a few seconds) is reported to `seen` and answered with OK.
void AnswerNextMessageBox(std::function<void(const MessageBoxSeen&)> seen = {});
// The next open-file dialog is reported to `seen` and answered: the file at `path` is chosen and
// confirmed (it must exist), or with no path the dialog is cancelled.
void AnswerNextFileDialog(std::optional<std::string> path,
                          std::function<void(const FileDialogSeen&)> seen = {});
// The next print-setup dialog (PrintDlgA) is reported to `seen` and answered with OK or Cancel.
void AnswerNextPrintSetup(bool ok, std::function<void(const PrintSetupSeen&)> seen = {});

// Drops files with these local paths on a control (or a window, by its name) as a drag from a
// file manager does: the drag enters at the control's middle and goes to the nearest widget there
// that takes drops. The drop and the events it raises are handled before it returns. False when
// no widget took it.
bool DropFiles(std::string_view control, const std::vector<std::string>& paths);

// Runs `action` from the message loop once the window has been shown.
void WhenWindowShown(std::string_view window, std::function<void()> action);

}  // namespace gui::test
