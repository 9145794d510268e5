#include "exports/pdf.h"

#include <dlfcn.h>

#include <filesystem>

#include "base/calendar.h"
#include "base/log.h"
#include "base/text.h"
#include "platform/platform.h"

namespace {

void ReportPdfFailure(const std::string& reason)
{
    ShowMessage(MainWindow, "L'annuaire des marées n'a pas pu être mis en page :\n" + reason + ".", "Exportation",
                MessageButtons::Ok, MessageIcon::Warning);
    LogPrintf("Exportation : l'annuaire des marées n'a pas pu être mis en page (%s).\n\n", reason.c_str());
}

// The module installed beside the running program, or else the build's.
std::string PdfModulePath()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const std::filesystem::path installed = program.parent_path() / HALIOME_INSTALLED_PDF_MODULE;
        if (std::filesystem::exists(installed, error))
            return installed.string();
    }
    return HALIOME_PDF_MODULE;
}

// Loaded once and kept: Qt, once started, stays for the whole run.
PdfWriterFunction PdfWriterOrReport()
{
    static PdfWriterFunction writer = nullptr;
    if (writer)
        return writer;
    const std::string path = PdfModulePath();
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* symbol = module ? dlsym(module, PDF_WRITER_SYMBOL) : nullptr;
    if (!symbol) {
        const char* reason = dlerror();
        ReportPdfFailure(Format("le module « %s » n'a pas pu être chargé (%s)", path.c_str(),
                                reason ? reason : "symbole absent"));
        return nullptr;
    }
    writer = reinterpret_cast<PdfWriterFunction>(symbol);
    return writer;
}

// The writer dates the document by the system clock; it takes TimeNow()'s
// date instead, so that SOURCE_DATE_EPOCH makes the same command give the
// same bytes. The date is written in UTC in the writer's own length, the
// cross-reference table's offsets staying right.
void StampCreationDate(std::string& pdf)
{
    const std::string key = "/CreationDate (D:";
    const std::size_t at = pdf.find(key);
    const std::size_t end = at == std::string::npos ? at : pdf.find(')', at);
    if (end == std::string::npos)
        return;
    const std::size_t from = at + key.size();
    const std::tm utc = UtcTimeOf(TimeNow());
    std::string date = Format("%04i%02i%02i%02i%02i%02i", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                              utc.tm_hour, utc.tm_min, utc.tm_sec);
    date += end - from == date.size() + 1 ? "Z" : "+00'00'";
    if (date.size() == end - from)
        pdf.replace(from, date.size(), date);
}

}  // namespace

std::optional<std::string> PdfOfPages(const std::vector<TablePage>& pages, const std::string& title)
{
    PdfWriterFunction writer = PdfWriterOrReport();
    if (!writer)
        return std::nullopt;
    std::string pdf;
    if (!writer(pages, title, pdf)) {
        ReportPdfFailure("le dessin des pages a échoué");
        return std::nullopt;
    }
    StampCreationDate(pdf);
    return pdf;
}
