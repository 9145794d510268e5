// The small user-interface API that stands in for the window system.
//
// The program calls only these functions; a backend defines them. Two
// backends exist: platform/headless (scripted, for tests and the batch
// program) and platform/qt (the desktop window). Each program links exactly
// one. Nothing here knows about tides.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// ---- Drawing -------------------------------------------------------------

// Window systems draw with 16-bit coordinates: a pixel computed from absurd
// values (a height of 1e308 m, an infinity) is held within this.
inline constexpr int PIXEL_LIMIT = 32767;

// A coordinate computed in double, truncated toward zero and held within
// ±PIXEL_LIMIT; NaN (an infinity less an infinity) gives 0.
inline int PixelOf(double v)
{
    if (!(v == v))
        return 0;
    return static_cast<int>(v < -PIXEL_LIMIT ? -PIXEL_LIMIT : v > PIXEL_LIMIT ? PIXEL_LIMIT : v);
}

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Color&) const = default;
};

// A drawing context on the main window's client area (pixels, x to the
// right, y downward). It starts with the default pen (solid black, one pixel
// wide) and its current point at (0, 0).
struct Canvas;

void SelectPen(Canvas* canvas, Color color);  // solid, one pixel wide
void MoveTo(Canvas* canvas, int x, int y);
// A line from the current point to (x, y), which becomes the current point.
// The end pixel is not drawn: a line from (x, 400) to (x, 399) lights (x, 400) only.
void LineTo(Canvas* canvas, int x, int y);
// Text with its top-left corner at (x, y), black on an opaque white box, in
// the default font.
void TextOut(Canvas* canvas, int x, int y, const std::string& text);
// The whole client area white.
void FillWhite(Canvas* canvas);

// A context for drawing straight into the window outside a paint, while a
// long computation runs (what it draws stays until the next paint).
Canvas* BeginDirectDrawing();
void EndDirectDrawing(Canvas* canvas);

// ---- Pictures of the client area -------------------------------------------

enum class PictureFormat { Png, Svg };

// The main window's client area painted afresh by its paint handler, at the
// size it has on screen, as the bytes of a PNG or SVG file. Nothing before
// the main window exists, or when the backend cannot make the format (the
// headless one draws no pixels, so it makes no PNG).
std::optional<std::string> ClientAreaPicture(PictureFormat format);

// ---- Main window ---------------------------------------------------------

struct MenuItem {
    enum class Kind { Command, Separator, Submenu };
    Kind kind = Kind::Command;
    int command = 0;             // Command only
    std::string text;            // with its & mnemonic
    bool checked = false;        // at start
    bool greyed = false;
    std::vector<MenuItem> items;  // Submenu only
};

inline MenuItem MenuCommand(int command, std::string text, bool checked = false, bool greyed = false)
{
    return MenuItem{MenuItem::Kind::Command, command, std::move(text), checked, greyed, {}};
}
inline MenuItem MenuSeparator() { return MenuItem{MenuItem::Kind::Separator, 0, {}, false, false, {}}; }
inline MenuItem Submenu(std::string text, std::vector<MenuItem> items)
{
    return MenuItem{MenuItem::Kind::Submenu, 0, std::move(text), false, false, std::move(items)};
}

// The menu bar: its top-level entries are submenus.
using MenuBar = std::vector<MenuItem>;

enum class ScrollBar { Horizontal, Vertical };

// What the user did to a scroll bar.
enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom, EndScroll };

struct WindowHandlers {
    void (*onCreate)() = nullptr;
    void (*onPaint)(Canvas* canvas) = nullptr;
    // thumbPosition is meaningful for ThumbPosition and ThumbTrack only.
    void (*onScroll)(ScrollBar bar, ScrollRequest request, int thumbPosition) = nullptr;
    void (*onCommand)(int command) = nullptr;
};

struct MainWindowSetup {
    std::string title;
    int clientWidth = 640;   // px; the window is not resizable
    int clientHeight = 480;  // px
    MenuBar menu;
    WindowHandlers handlers;
};

// Creates the main window (not yet shown), sets MainWindow and calls
// onCreate. False when it cannot be created.
bool CreateMainWindow(const MainWindowSetup& setup);
// Shows the main window and paints it at once.
void ShowMainWindow();
// Runs until the main window is destroyed.
void RunMessageLoop();
// Destroys the main window, which ends the message loop.
void DestroyMainWindow();
// Runs a command as if chosen from the menu, and returns when it is done.
void SendCommand(int command);

// Invalidates the whole client area of the main window with erasing and
// paints it at once. Does nothing before the main window exists.
void Repaint();

// A bar whose range is 0..0 is hidden and reads position 0. A position is
// always kept inside its bar's range. Each call redraws the bar.
void SetScrollRange(ScrollBar bar, int min, int max);
void SetScrollPos(ScrollBar bar, int position);
int GetScrollPos(ScrollBar bar);

void CheckMenuCommand(int command, bool checked);

// The wait cursor over the main window while a long computation runs.
void ShowWaitCursor();
void ShowArrowCursor();

// ---- Modal dialogs -------------------------------------------------------

enum class ControlKind {
    Label,          // static text, left-aligned
    CentredLabel,   // static text, centred
    GroupBox,
    Edit,           // one line, border
    ReportEdit,     // multi-line, read-only, border, vertical scroll bar
    ListBox,        // border, not sorted, notifies its parent; vertical scroll bar
    DropDownList,   // combo box: a drop-down list, not sorted, vertical scroll bar
    CheckBox,       // automatic, starts unticked
    PushButton,
    DefaultPushButton,  // pressed by Enter
};

// Identifier of controls with no identifier (labels, group boxes).
inline constexpr int NO_ID = -1;
// Command identifiers of the standard buttons: OK (also Enter on the
// default button) and Cancel (also Escape and the close box).
inline constexpr int ID_OK = 1;
inline constexpr int ID_CANCEL = 2;

struct DialogControl {
    ControlKind kind = ControlKind::Label;
    int id = NO_ID;
    std::string text;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units
};

struct DialogTemplate {
    std::string title;
    int width = 0, height = 0;  // dialog units
    std::vector<DialogControl> controls;
};

// Notification codes that come with a command.
inline constexpr int NOTIFY_CLICKED = 0;     // button or check box clicked
inline constexpr int NOTIFY_SELCHANGE = 1;   // the user changed a list or combo selection
inline constexpr int NOTIFY_DBLCLK = 2;      // double click in a list

enum class DialogEvent { Init, Command };

// Receives the dialog's events: Init once before it is shown, then Command
// with the control's identifier and notification code. A selection set by
// the program does not notify.
using DialogProcedure = void (*)(Window dialog, DialogEvent event, int id, int notification);

// Runs the dialog modally until the procedure calls EndDialog; returns the
// result given there.
int RunModalDialog(Window owner, const DialogTemplate& dialog, DialogProcedure procedure);
void EndDialog(Window dialog, int result);

std::string GetControlText(Window dialog, int id);
void SetControlText(Window dialog, int id, const std::string& text);
// Inserts text at the very beginning of an edit control.
void InsertTextAtStart(Window dialog, int id, const std::string& text);

// List boxes and drop-down lists. A selection of -1 means none.
void ClearItems(Window dialog, int id);
void AddItem(Window dialog, int id, const std::string& text);
void SelectItem(Window dialog, int id, int index);
int SelectedItem(Window dialog, int id);

bool IsChecked(Window dialog, int id);
