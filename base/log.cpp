#include "base/log.h"

#include <cerrno>
#include <cstdarg>
#include <filesystem>

#include "base/savefile.h"
#include "base/text.h"
#include "platform/platform.h"

std::FILE* LogFile = nullptr;
int FailedActions = 0;

void OpenLog()
{
    LogFile = std::fopen(LOG_FILE_NAME, "wb");
    if (!LogFile) {
        const std::string why = SystemReasonText(errno);
        std::error_code error;
        const std::string folder = std::filesystem::current_path(error).string();
        ShowMessage(nullptr,
                    Format("Le journal « %s » ne peut pas être créé dans le dossier « %s » : %s.\n\n"
                           "Haliome fonctionne sans journal ; les fichiers qu'il enregistre, choisissez-les "
                           "dans un dossier où vous pouvez écrire.",
                           LOG_FILE_NAME, folder.c_str(), why.c_str()),
                    "Journal", MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    LogText("Bienvenue à Haliome (la marée d'un port, par l'équipe Haliome).\n\n");
}

void CloseLog()
{
    if (LogFile)
        std::fclose(LogFile);
    LogFile = nullptr;
}

// Each entry reaches the file as it is written: the log can be followed
// while the program runs, and a killed program loses nothing written.
void LogText(std::string_view text)
{
    if (!LogFile)
        return;
    WriteText(LogFile, text);
    std::fflush(LogFile);
}

void ShowMessageAndLog(Window owner, const std::string& text, const std::string& caption, MessageIcon icon,
                       std::string_view logSuffix)
{
    ShowMessage(owner, text, caption, MessageButtons::Ok, icon);
    LogText(text + std::string(logSuffix));
}

void LogPrintf(const char* format, ...)
{
    if (!LogFile)
        return;
    va_list args;
    va_start(args, format);
    const std::string text = FormatV(format, args);
    va_end(args);
    LogText(text);
}
