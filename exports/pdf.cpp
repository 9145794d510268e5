#include "exports/pdf.h"

#include <dlfcn.h>

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

// Loaded once and kept: Qt, once started, stays for the whole run.
PdfWriterFunction PdfWriterOrReport()
{
    static PdfWriterFunction writer = nullptr;
    if (writer)
        return writer;
    void* module = dlopen(HALIOME_PDF_MODULE, RTLD_NOW | RTLD_LOCAL);
    void* symbol = module ? dlsym(module, PDF_WRITER_SYMBOL) : nullptr;
    if (!symbol) {
        const char* reason = dlerror();
        ReportPdfFailure(Format("le module « %s » n'a pas pu être chargé (%s)", HALIOME_PDF_MODULE,
                                reason ? reason : "symbole absent"));
        return nullptr;
    }
    writer = reinterpret_cast<PdfWriterFunction>(symbol);
    return writer;
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
    return pdf;
}
