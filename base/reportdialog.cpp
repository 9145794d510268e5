#include "base/reportdialog.h"

#include "base/text.h"

namespace {

struct ShownReport {
    int id = 0;
    std::string text;  // with CR LF line ends, as a report control shows them
};

ShownReport Shown;

void ReportDialog(Window dialog, DialogEvent event, int id, int notification)
{
    if (event == DialogEvent::Init)
        SetControlText(dialog, Shown.id, Shown.text);
    else if (notification == NOTIFY_CLICKED && (id == ID_OK || id == ID_CANCEL))
        EndDialog(dialog, 0);
}

}  // namespace

void ShowReportDialog(const DialogTemplate& dialog, int reportId, const std::string& text)
{
    Shown = {reportId, WithCrLf(text)};
    RunModalDialog(MainWindow, dialog, ReportDialog);
    Shown = {};
}
