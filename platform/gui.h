// The GUI runtime's operations, free of any toolkit type: windows built from design tables, the
// operations handlers use on controls by name, the modal message box, the message loop and the
// list of routines run once at program end. Texts are UTF-8 std::string; CR LF is a line break.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gui {

// An event handler: a plain function or any callable.
using Handler = std::function<void()>;

// A window's handle, opaque to the program; 0 means "no such window".
using WindowHandle = std::uintptr_t;

// What a design row builds. The last four are faceless: they draw nothing at run time.
enum class ControlKind {
    Label,             // opaque static text
    TransparentLabel,  // static text that shows what lies beneath it
    GroupBox,          // captioned frame; its children are placed relative to it
    CheckListBox,      // items with text, an int32 value and a check box
    Button,
    EditBox,           // one line of editable text
    ComboBox,          // drop-down list of items, no editable text
    OpenFileDialog,    // faceless: the open-file dialog with its filter
    DropTarget,        // faceless: the program registers a DropTarget (drop_target.h)
    ExcelWorkbook,     // faceless: the program holds an ExcelWorkbooks (excel.h)
    ExcelApplication,  // faceless: the program holds an ExcelApp (excel.h)
};

enum class Border {
    None,
    Sunken,  // a one-pixel sunken edge all round; a 3-pixel-high label becomes an etched line
};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

struct Font {
    std::string family;  // empty: the runtime's default font
    int height = 0;      // character height in pixels (the em height)
    int weight = 400;    // 100..900, 400 regular, 700 bold
    int charset = 0;     // Windows character set (134 GB2312); a hint the Qt runtime ignores
};

// One control of a window. Faceless kinds use only name, kind, parent and filter.
struct ControlDesign {
    std::string name;  // unique among all controls of the program
    ControlKind kind = ControlKind::Label;
    std::string parent;  // a group box's name; empty: the window's client area
    Rect place;          // relative to the parent's top left corner
    std::string text;
    Font font;
    bool visible = true;
    bool enabled = true;
    Border border = Border::None;
    std::string filter;  // open-file dialog: "description|patterns|description|patterns..."
    Handler clicked;     // buttons

    // Chainable setters, so that a design table reads one control per row.
    ControlDesign& In(std::string groupBox) {
        parent = std::move(groupBox);
        return *this;
    }
    ControlDesign& At(int left, int top, int width, int height) {
        place = {left, top, width, height};
        return *this;
    }
    ControlDesign& Text(std::string value) {
        text = std::move(value);
        return *this;
    }
    ControlDesign& WithFont(Font value) {
        font = std::move(value);
        return *this;
    }
    ControlDesign& Hidden() {
        visible = false;
        return *this;
    }
    ControlDesign& Disabled() {
        enabled = false;
        return *this;
    }
    ControlDesign& WithBorder(Border value) {
        border = value;
        return *this;
    }
    ControlDesign& Filter(std::string value) {
        filter = std::move(value);
        return *this;
    }
    ControlDesign& OnClicked(Handler handler) {
        clicked = std::move(handler);
        return *this;
    }
};

inline ControlDesign Control(std::string name, ControlKind kind) {
    ControlDesign control;
    control.name = std::move(name);
    control.kind = kind;
    return control;
}

struct WindowDesign {
    std::string name;
    std::string caption;
    Rect place;               // the outer frame's position and size
    Handler created;          // after every control exists, before the window shows
    Handler willBeDestroyed;  // once, while the window and its controls still exist
    // Bottom to top: a control lies above every sibling listed before it.
    std::vector<ControlDesign> controls;
};

// Message box icons, as the Windows MB_ICON flags.
inline constexpr int kIconStop = 16;
inline constexpr int kIconQuestion = 32;
inline constexpr int kIconExclamation = 48;
inline constexpr int kIconInformation = 64;

// ---- The runtime ----

// Starts the runtime: display connection, fonts, translations, and the dispatcher through which
// the spooler's message pump delivers window events. A later call only installs that dispatcher
// again (replacing the simulated machine drops it). False when the runtime cannot start.
bool Initialize();

// Adds `routine` to the routines run at program end, unless it is in the list already.
void AddExitRoutine(void (*routine)());
// Runs the listed routines once each, in the order they were added, and empties the list.
void RunExitRoutines();

// Builds the window and its controls from `design`, raises its created event and shows it.
// The first window loaded is the main window. False when the design is unusable (a duplicate
// window or control name, or an unknown parent).
bool LoadWindow(const WindowDesign& design);
// Dispatches messages until the main window has been destroyed; returns at once if there is none.
void RunMessageLoop();
// Dispatches the messages waiting now, then returns.
void ProcessEvents();

// The window's handle, or 0 when there is no such window.
WindowHandle GetWindowHandle(std::string_view window);
// Raises the window's will-be-destroyed event, then takes the window and its controls away.
// Does nothing for a window that is gone or already being destroyed.
void DestroyWindow(std::string_view window);

// A modal message box with one OK button, owned by the main window while it shows. `icon` is one
// of the kIcon flags (other style bits are ignored; 0: no icon).
void ShowMessageBox(const std::string& text, int icon, const std::string& title);

// ---- Controls, by name. An unknown name or index reads as empty, -1 or false, and is ignored
// by the operations that change something. ----

std::string EditBoxText(std::string_view editBox);
void SetEditBoxText(std::string_view editBox, const std::string& text);

void SetLabelVisible(std::string_view label, bool visible);

void CheckListRemoveAll(std::string_view checkList);
// Appends an unchecked item; returns its index.
int CheckListAddItem(std::string_view checkList, const std::string& text, std::int32_t value);
int CheckListItemCount(std::string_view checkList);
// The selected item, or -1 when none is.
int CheckListCurrentItem(std::string_view checkList);
// The item's value; -1 when there is no such item (index -1 included).
std::int32_t CheckListItemValue(std::string_view checkList, int index);
bool CheckListItemChecked(std::string_view checkList, int index);

// Appends an item; the current item stays as it was (-1 stays -1). Returns the new item's index.
int ComboAddItem(std::string_view comboBox, const std::string& text);
int ComboCurrentItem(std::string_view comboBox);                 // -1 when none
void SetComboCurrentItem(std::string_view comboBox, int index);  // -1 clears the choice
std::string ComboItemText(std::string_view comboBox, int index);

// Shows the open-file dialog modally; true when the user confirmed a file.
bool ShowOpenFileDialog(std::string_view dialog);
// The file confirmed last, or the empty text.
std::string OpenFileDialogPath(std::string_view dialog);

}  // namespace gui
