#include "exports/exportfile.h"

#include "base/log.h"
#include "base/savefile.h"
#include "base/text.h"
#include "platform/platform.h"

bool WriteExportFile(const std::string& path, std::string_view bytes)
{
    std::string reason;
    if (SaveFileBytes(path, bytes, reason))
        return true;
    ShowMessage(MainWindow, Format("Le fichier « %s » n'a pas pu être écrit :\n%s.", path.c_str(), reason.c_str()),
                "Exportation", MessageButtons::Ok, MessageIcon::Warning);
    LogPrintf("Exportation : le fichier « %s » n'a pas pu être écrit (%s).\n\n", path.c_str(), reason.c_str());
    return false;
}
