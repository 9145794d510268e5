// The batch program's scripts: the user's actions, one a line, run on the
// headless backend around the whole program.
//
//   command 513              a menu command by identifier, one the menu carries
//   menu TEXT                a menu command by its text, without its & and the
//                            ellipsis that ends it (menu Réinitialisation)
//   quit                     the main window's close box
//   print checked            print the menu items that carry a check mark
//   answer Oui | Non | Annuler | OK   the answer to the next message box
//   file PATH | file cancel  what the next file dialog returns; file alone
//                            takes the name it proposes
//   type ID TEXT             in the open dialog: type TEXT into control ID
//   select ID INDEX          choose entry INDEX (from 0) of a list or drop-down list
//   double-click ID INDEX    double-click entry INDEX of a list
//   tick ID [on|off]         tick (or untick) check box ID
//   click ID                 press button ID
//   close                    Escape, or the dialog's close box
//   stop N [close]           at the Nth look of long work at the window, Escape
//                            (or the main window's close box)
//   print ID                 print the text of control ID of the open dialog, and
//                            the entries of a list (the chosen one marked)
//   scroll h|v REQUEST [POS] line-up, line-down, page-up, page-down, top, bottom,
//                            thumb-track POS, thumb-position POS, end-scroll
//   svg PATH                 write the client area to an SVG file
//
// Answers, file choices and dialog actions belong to the command (or scroll)
// written above them; those before the first command answer the start-up.
// Blank lines and lines starting with '#' are ignored.
#pragma once

#include <functional>
#include <ostream>
#include <string>

// Runs the program on the script and returns the exit status: 0; 1 when an
// action failed (a file not written, a conversion refused), the script going
// on; or 2 when a line is not understood (a command no menu item carries
// included), a question of the program finds no answer, or an answer is left
// unused. Each failure is written to errors with its line. Message boxes,
// the status bar's texts and printed controls go to out. The end of the
// script closes the window without a question. afterStartUp, when given, is called once
// the start-up is done, before the script's first action.
int RunScript(const std::string& script, std::ostream& out, std::ostream& errors,
              const std::function<void()>& afterStartUp = {});
