// The application object, message boxes and file dialogs of the Qt backend.
#include "platform/qt/internal.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGridLayout>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QTranslator>

#include <algorithm>
#include <clocale>

namespace qtplatform {

QString QtText(const std::string& utf8)
{
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.remove(QLatin1Char('\r'));
    return text;
}

std::string Utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

QWidget* WidgetOf(Window window)
{
    return window ? window->widget : nullptr;
}

void ReactivateOwner(QWidget* owner)
{
    if (owner && owner->isVisible())
        owner->activateWindow();
}

}  // namespace qtplatform

using qtplatform::QtText;
using qtplatform::WidgetOf;

void StartQtPlatform(int& argc, char** argv)
{
    if (QCoreApplication::instance())
        return;
    // Never deleted: it lives as long as the process.
    auto* application = new QApplication(argc, argv);
    // The QApplication constructor took every category from the desktop's
    // locale; a French desktop would then print "1,500000".
    std::setlocale(LC_NUMERIC, "C");
    // Only the destruction of the main window ends the message loop.
    QApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setOrganizationName(QStringLiteral("Haliome"));
    QCoreApplication::setApplicationName(QStringLiteral("Haliome"));
    auto* translator = new QTranslator(application);
    if (translator->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

// ---- Message boxes ---------------------------------------------------------

namespace {

QMessageBox::Icon QtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// Room on the title bar for the window system's buttons beside the title,
// and around the text of a box for its icon, margins, buttons and title bar.
constexpr int TITLE_BAR_BUTTONS_WIDTH = 120;
constexpr int BOX_AROUND_TEXT_WIDTH = 120, BOX_AROUND_TEXT_HEIGHT = 150;

// A box is as wide as its text, up to a limit where it wraps it: the window
// system then cuts a longer title short, and a long text may run off a
// small screen. The box takes the width that shows its whole title and
// keeps its text on the screen.
int WholeBoxWidth(const QMessageBox& box, const QString& text)
{
    QFont titleFont = box.font();
    titleFont.setBold(true);  // title bars commonly are
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + TITLE_BAR_BUTTONS_WIDTH;
    const QScreen* screen = box.screen();
    if (!screen)
        return titleWidth;
    const QRect room = screen->availableGeometry();
    const QFontMetrics metrics(box.font());
    auto fits = [&](int width) {
        const QRect lines(0, 0, width - BOX_AROUND_TEXT_WIDTH, room.height());
        return metrics.boundingRect(lines, Qt::TextWordWrap, text).height() + BOX_AROUND_TEXT_HEIGHT <= room.height();
    };
    int width = std::min(500, room.width() / 2);  // where a message box starts wrapping
    if (fits(width))
        return titleWidth;
    while (width < room.width() && !fits(width))
        width += 40;
    return std::max(titleWidth, std::min(width, room.width()));
}

// A message box sizes its own layout: a spacer across the last row is what widens it.
void SetMinimumWidth(QMessageBox& box, int width)
{
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0,
                      1, grid->columnCount());
}

}  // namespace

MessageAnswer ShowMessage(Window owner, const std::string& text, const std::string& caption,
                          MessageButtons buttons, MessageIcon icon)
{
    const QMessageBox::StandardButtons choice = buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                : buttons == MessageButtons::YesNoCancel
                                                    ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                                                    : QMessageBox::Ok;
    QMessageBox box(QtIcon(icon), QtText(caption), QtText(text), choice, WidgetOf(owner));
    box.setTextFormat(Qt::PlainText);  // a '<' in the text is not the start of a tag
    SetMinimumWidth(box, WholeBoxWidth(box, box.text()));
    // Escape and the close box give No on a Yes/No box, Cancel on a
    // Yes/No/Cancel box, OK on an OK box.
    const int answer = box.exec();
    qtplatform::ReactivateOwner(WidgetOf(owner));
    switch (answer) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default: return MessageAnswer::Ok;
    }
}

// ---- File dialogs ----------------------------------------------------------

namespace {

// Refuses a chosen name whose folder does not exist, as the file dialog
// itself refuses a missing file.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* owner, const QString& title, bool pathMustExist)
        : QFileDialog(owner, title), pathMustExist_(pathMustExist)
    {
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (pathMustExist_ && !files.isEmpty()) {
            const QFileInfo chosen(files.first());
            if (!chosen.isDir() && !chosen.dir().exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     QCoreApplication::translate("QFileDialog",
                                                                 "%1\nDirectory not found.\nPlease verify the "
                                                                 "correct directory name was given.")
                                         .arg(chosen.path()));
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    bool pathMustExist_;
};

// The list's dates and sizes in French whatever the desktop's language: the
// toolkit's own model writes them as the system's locale does.
class FrenchFileList : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        const int column = index.column();
        if (role != Qt::DisplayRole || !files || (column != 1 && column != 3))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex file = mapToSource(index);
        const QLocale french(QLocale::French, QLocale::France);
        if (column == 3)
            return french.toString(files->lastModified(file), QLocale::ShortFormat);
        return files->isDir(file) ? QString() : french.formattedDataSize(files->size(file));
    }
};

std::optional<std::string> ChooseFile(bool save, Window owner, const FileDialogOptions& options)
{
    FileDialog dialog(WidgetOf(owner), QtText(options.title), options.pathMustExist);
    // The dialog of the toolkit, the same on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setProxyModel(new FrenchFileList(&dialog));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(options.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The program asks itself before it replaces a file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(QtText(options.filterName + " (" + options.filterPattern + ")"));
    // The pattern matches names in any case ("*.TID" lists "port.tid").
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (!options.defaultExtension.empty())
        dialog.setDefaultSuffix(QtText(options.defaultExtension));
    if (!options.proposedName.empty())
        dialog.selectFile(QFile::decodeName(options.proposedName.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

}  // namespace

std::optional<std::string> ChooseFileToOpen(Window owner, const FileDialogOptions& dialog)
{
    return ChooseFile(false, owner, dialog);
}

std::optional<std::string> ChooseFileToSave(Window owner, const FileDialogOptions& dialog)
{
    return ChooseFile(true, owner, dialog);
}

// ---- Settings ----------------------------------------------------------------

void KeepSetting(const std::string& name, const std::string& value)
{
    QSettings().setValue(QtText(name), QtText(value));
}

std::optional<std::string> KeptSetting(const std::string& name)
{
    const QVariant value = QSettings().value(QtText(name));
    if (!value.isValid())
        return std::nullopt;
    return qtplatform::Utf8(value.toString());
}
