// The small user-interface API that stands in for the window system.
//
// The program calls only these functions; a backend defines them. Two
// backends exist: platform/headless (scripted, for tests and the batch
// program) and platform/qt (the desktop window). Each program links exactly
// one. Nothing here knows about tides.
#pragma once

#include <optional>
#include <string>

// A top-level window of the program: the main window or a modal dialog.
// A null Window as owner means "no owner".
struct PlatformWindow;
using Window = PlatformWindow*;

// The main window once it exists; null before. Owner of most message boxes
// and target of every repaint.
extern Window MainWindow;

// ---- Message boxes -------------------------------------------------------

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Question, Warning, Error };
enum class MessageAnswer { Ok, Yes, No };

// Shows a modal message box and returns the button chosen. The text keeps
// its line breaks.
MessageAnswer ShowMessage(Window owner, const std::string& text,
                          const std::string& caption, MessageButtons buttons,
                          MessageIcon icon);

// ---- File dialogs --------------------------------------------------------

struct FileDialogOptions {
    std::string title;
    std::string filterName;      // e.g. "Fichier d'ondes"
    std::string filterPattern;   // e.g. "*.TID", matched in any case
    bool fileMustExist = false;
    bool pathMustExist = false;
    std::string defaultExtension;  // added when the chosen name has none; empty: none
};

// The path the user chose, or nothing when the dialog was cancelled.
std::optional<std::string> ChooseFileToOpen(Window owner, const FileDialogOptions& dialog);
std::optional<std::string> ChooseFileToSave(Window owner, const FileDialogOptions& dialog);

// ---- Main window ---------------------------------------------------------

// Invalidates the whole client area of the main window with erasing and
// paints it at once. Does nothing before the main window exists.
void Repaint();

// The wait cursor over the main window while a long computation runs.
void ShowWaitCursor();
void ShowArrowCursor();
