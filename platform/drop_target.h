// DropTarget: files dropped on a window or any of its controls, reported as one text of names.
// Toolkit-free; each GUI backend implements it (Qt: an event filter on the window's widgets).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/gui.h"

class DropTarget {
  public:
    // Receives the dropped files' full paths: one path alone, or for several files every path
    // followed by CR LF.
    using FilesDroppedHandler = std::function<void(const std::string& names)>;

    DropTarget();
    ~DropTarget();
    DropTarget(const DropTarget&) = delete;
    DropTarget& operator=(const DropTarget&) = delete;

    // Accepts file drops on the window and every control in it, the edit boxes included (they
    // take no dropped file as text). Once only: a second call, or an unknown window, is refused
    // with false and changes nothing.
    bool RegisterWindow(gui::WindowHandle window);
    // The FilesDropped event; an empty handler ignores drops.
    void SetFilesDropped(FilesDroppedHandler handler);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
