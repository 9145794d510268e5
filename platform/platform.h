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

enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Question, Warning, Error };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// Shows a modal message box and returns the button chosen. The text keeps
// its line breaks. Escape and the close box answer No on a Yes/No box,
// Cancel on a Yes/No/Cancel box.
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
    std::string proposedName;      // the name the dialog offers at first; empty: none
};

// The path the user chose, or nothing when the dialog was cancelled.
std::optional<std::string> ChooseFileToOpen(Window owner, const FileDialogOptions& dialog);
std::optional<std::string> ChooseFileToSave(Window owner, const FileDialogOptions& dialog);

// ---- Settings ------------------------------------------------------------

// Small named values kept for the next runs of the program where the
// backend can keep them (the desktop's settings), for this run otherwise.
void KeepSetting(const std::string& name, const std::string& value);
std::optional<std::string> KeptSetting(const std::string& name);

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

// A drawing context on the main window's client area, in its drawing
// coordinates (MainWindowSetup's clientWidth × clientHeight, x to the right,
// y downward), whatever size the window has on the screen: the backend
// scales the picture to fill the client area. It starts with the default pen
// (solid black) and its current point at (0, 0).
struct Canvas;

// Solid. Lines are antialiased and as wide on the screen whatever size the
// window has: one and a half pixels at the desktop's scale (three on a
// screen of twice the density).
void SelectPen(Canvas* canvas, Color color);
void MoveTo(Canvas* canvas, int x, int y);
// A line from the current point to (x, y), which becomes the current point.
// The end pixel is not drawn: a line from (x, 400) to (x, 399) lights (x, 400) only.
void LineTo(Canvas* canvas, int x, int y);
// Text with its top-left corner at (x, y), black on an opaque white box, in
// the default font, which grows with the picture when the window is larger
// than the drawing and never gets smaller than the menus' text. A text that
// would pass an edge of the client area is moved back inside it, whole.
void TextOut(Canvas* canvas, int x, int y, const std::string& text);
// The whole client area white.
void FillWhite(Canvas* canvas);

// A context for drawing straight into the window outside a paint, while a
// long computation runs (what it draws stays until the next paint). It shows
// at the computation's next KeepWindowAliveAndAskStop.
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
    std::string keys;            // Command only: its shortcut, "Ctrl+O", "F1"; empty: none
};

inline MenuItem MenuCommand(int command, std::string text, bool checked = false, bool greyed = false)
{
    return MenuItem{MenuItem::Kind::Command, command, std::move(text), checked, greyed, {}, {}};
}
inline MenuItem MenuShortcut(int command, std::string text, std::string keys)
{
    return MenuItem{MenuItem::Kind::Command, command, std::move(text), false, false, {}, std::move(keys)};
}
inline MenuItem MenuSeparator() { return MenuItem{MenuItem::Kind::Separator, 0, {}, false, false, {}, {}}; }
inline MenuItem Submenu(std::string text, std::vector<MenuItem> items)
{
    return MenuItem{MenuItem::Kind::Submenu, 0, std::move(text), false, false, std::move(items), {}};
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
    // The user asks to close the main window (its close box, the desktop's
    // own ways); it closes when this answers true or is not given. The
    // program's end (DestroyMainWindow) does not ask.
    bool (*onClose)() = nullptr;
};

struct MainWindowSetup {
    std::string title;
    // The drawing coordinates of the client area. The window opens at a size
    // that suits the screen and the user may resize or maximise it: the
    // picture is scaled to fill it.
    int clientWidth = 640;
    int clientHeight = 480;
    MenuBar menu;
    WindowHandlers handlers;
    std::string iconPng;  // the window's icon, as the bytes of a PNG picture; empty: none
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
// A close of the main window asked while it ran is carried out then.
void SendCommand(int command);

// Invalidates the whole client area of the main window with erasing and
// paints it at once. Does nothing before the main window exists.
void Repaint();

// A short text in the main window's status bar, which goes after a while or
// at the next one: what a command did, or why it did nothing.
void ShowStatus(const std::string& text);

// A bar whose range is 0..0 is greyed, in its place, and reads position 0.
// A position is always kept inside its bar's range. Each call redraws the
// bar. The page of a bar is the part of its range one view shows, which the
// length of its thumb tells (1 unless set). While the client area has the keyboard, the arrow keys, Page Up, Page
// Down, Home and End make the requests of the horizontal bar and the mouse
// wheel its line requests; Ctrl with the wheel makes the page requests of
// the vertical bar. A greyed bar receives none.
void SetScrollRange(ScrollBar bar, int min, int max);
void SetScrollPos(ScrollBar bar, int position);
int GetScrollPos(ScrollBar bar);
void SetScrollPage(ScrollBar bar, int page);

void CheckMenuCommand(int command, bool checked);
bool IsMenuCommandChecked(int command);

// The wait cursor over the main window while a long computation runs.
void ShowWaitCursor();
void ShowArrowCursor();

// ---- Long work -------------------------------------------------------------

// A computation that may last seconds runs between BeginLongWork and
// EndLongWork, and calls KeepWindowAliveAndAskStop now and then. The window
// stays alive meanwhile: it repaints, shows what is done and how far it has
// gone, and the user may ask the work to stop (Escape, "Annuler", or closing
// the main window), but nothing the user does can change the model under the
// work: the menu and the chart's controls wait, greyed. Closing the main
// window is carried out once the command that runs the work has returned.
// Pairs nest; what the innermost pairs ask and answer belongs to the
// outermost one.
void BeginLongWork(const std::string& what);
// True once the user has asked the work to stop, and from then on until the
// work ends. fractionDone runs from 0 to 1; a negative value: not known.
// Cheap enough to be called at every step: the backend decides when to look
// at the window. Outside long work it does nothing and answers false.
bool KeepWindowAliveAndAskStop(double fractionDone);
// True when the user asked the work to stop.
bool EndLongWork();

// ---- Modal dialogs -------------------------------------------------------

enum class ControlKind {
    Label,          // static text, left-aligned
    CentredLabel,   // static text, centred
    GroupBox,
    Edit,           // one line, border
    ReportEdit,     // multi-line, read-only, border, scroll bars; fixed-width font, lines not wrapped
    ListBox,        // border, not sorted, notifies its parent; vertical scroll bar
    DropDownList,   // combo box: a drop-down list, not sorted, vertical scroll bar
    ComboEdit,      // a line to type into over a drop-down list of choices, completed from them as it is
                    // typed; its text is what was typed or chosen, and its selection the entry of that text
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

// A dialog whose template has a list or a report can be made larger than
// its template: that control grows with it, what lies below it moves down,
// and what spans the dialog's width widens. Others keep their size.
struct DialogTemplate {
    std::string title;
    int width = 0, height = 0;  // dialog units
    std::vector<DialogControl> controls;
};

// Notification codes that come with a command.
inline constexpr int NOTIFY_CLICKED = 0;     // button or check box clicked
inline constexpr int NOTIFY_SELCHANGE = 1;   // the user changed a list or combo selection
inline constexpr int NOTIFY_DBLCLK = 2;      // double click in a list
inline constexpr int NOTIFY_EDITCHANGE = 3;  // the user changed the text of an edit

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
// The tab stops of a report edit, every so many characters of its font.
void SetTabStops(Window dialog, int id, int characters);

// A greyed control takes no action from the user. Controls start enabled.
void EnableControl(Window dialog, int id, bool enabled);
bool IsControlEnabled(Window dialog, int id);

// List boxes and drop-down lists. A selection of -1 means none.
void ClearItems(Window dialog, int id);
void AddItem(Window dialog, int id, const std::string& text);
void SelectItem(Window dialog, int id, int index);
int SelectedItem(Window dialog, int id);
// The entries of a list or drop-down list, in order; none for other controls.
std::vector<std::string> GetItems(Window dialog, int id);

bool IsChecked(Window dialog, int id);
// Ticks or unticks a check box; a tick set by the program does not notify.
void SetChecked(Window dialog, int id, bool checked);
