#include "exports/exportfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "base/text.h"
#include "platform/platform.h"

bool WriteExportFile(const std::string& path, std::string_view bytes)
{
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && std::fclose(f) != 0)
        written = false;
    if (written)
        return true;
    const std::string reason = errno ? std::strerror(errno) : "erreur d'écriture";
    ShowMessage(MainWindow, Format("Le fichier « %s » n'a pas pu être écrit :\n%s.", path.c_str(), reason.c_str()),
                "Exportation", MessageButtons::Ok, MessageIcon::Warning);
    LogPrintf("Exportation : le fichier « %s » n'a pas pu être écrit (%s).\n\n", path.c_str(), reason.c_str());
    return false;
}
