// The desktop program in its real window on the offscreen platform: its
// menu, its dialogs and what it paints, after a start on the example port.
#include <cmath>
#include <filesystem>
#include <memory>
#include <set>

#include "base/text.h"
#include "model/waves.h"
#include "shell/app.h"
#include "tables/tidetimes.h"
#include "tests/support/program_state.h"
#include "tests/support/qt_support.h"

namespace {

class QtProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetProgramState();
        folder = std::make_unique<ScopedWorkDir>();
        std::filesystem::copy_file(ExamplePortRecord(), "PORT.TXT");
        ASSERT_TRUE(StartProgram());
    }
    // The example port's year over and over as the record of many years: a
    // sweep of a wide band on it takes seconds on any machine.
    void StartOnALongRecord(int years)
    {
        DestroyMainWindow();
        FinishProgram();
        ResetProgramState();
        const std::string year = ReadFile(ExamplePortRecord());
        const std::size_t heights = year.find("\r\n\r\n") + 4;
        std::string record = "Vlissingen\r\n2009\r\n" + std::to_string(365 * years) + "\r\n\r\n";
        for (int y = 0; y < years; ++y)
            record += year.substr(heights);
        WriteFile("PORT.TXT", record);
        ASSERT_TRUE(StartProgram());
    }
    void TearDown() override
    {
        DestroyMainWindow();
        FinishProgram();
        folder.reset();
    }
    static std::vector<QMenuBar*> Bars()
    {
        QMenuBar* bar = Frame()->menuBar();
        return {bar, qobject_cast<QMenuBar*>(bar->cornerWidget(Qt::TopRightCorner))};
    }
    // The menu command of that text, as the user picks it.
    static void Choose(const char* text)
    {
        for (QMenuBar* menus : Bars())
            for (QAction* top : menus->actions())
                if (QAction* action = ActionNamed(top->menu(), QString::fromUtf8(text)))
                    return action->trigger();
        ADD_FAILURE() << "no menu item " << text;
    }
    // "De ... à ..." from 2 h to 300 h: a hundred thousand trial periods.
    static void ChooseAWideBand()
    {
        WhenShown<QDialog>([](QDialog* band) {
            QTest::keyClicks(Control<QLineEdit>(band, 101), QStringLiteral("2"));
            QTest::keyClicks(Control<QLineEdit>(band, 102), QStringLiteral("300"));
            QTest::mouseClick(Control<QPushButton>(band, ID_OK), Qt::LeftButton);
        });
        Choose("De &... à ...");
    }
    // The next file dialog takes this name, typed as the user does, in the
    // working directory: the dialog opens where the last one was accepted,
    // which may be the folder of an earlier test.
    void TypeInTheFileDialog(const std::string& name)
    {
        WhenShown<QFileDialog>([name, here = QString::fromStdString(folder->path())](QFileDialog* dialog) {
            dialog->setDirectory(here);
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(edit, QString::fromStdString(name));
            QTest::keyClick(edit, Qt::Key_Return);
        });
    }
    // A year typed over the one shown.
    static void TypeYear(QWidget* dialog, int id)
    {
        auto* year = Control<QLineEdit>(dialog, id);
        year->selectAll();
        QTest::keyClicks(year, QStringLiteral("2009"));
    }
    std::unique_ptr<ScopedWorkDir> folder;
};

// The option marks follow the toggles on either backend (the scenario and
// backend tests); here, that the menus stand where the user looks.
TEST_F(QtProgramTest, TheMenuBarHoldsTheProgramsMenus)
{
    std::string titles;
    for (QMenuBar* menus : Bars())
        for (QAction* top : menus->actions())
            titles += qtplatform::Utf8(top->text()) + "|";
    EXPECT_EQ(titles, "&Fichier|&Prédiction|Détermination des &ondes|&Options|&Outils|&Aide|");
    EXPECT_EQ(Describe(Bars()[0]->actions()[3]->menu()),
              "Axe du temps[x] Axe hauteur[x] Horaire marée[x] - Calcul Fourier[x] Corrections nodales - "
              "&Source{&Enregistrement "
              "Marée &normale Marée &rectifiée Marée &arrondie Marée r&ectifiée arrondie} - "
              "&Vebose mode{Calcul &FFT}");
    EXPECT_EQ(Describe(Bars()[0]->actions()[0]->menu()),
              "Ouvrir un fichier d'ondes Enregistrer un fichier d'ondes Enregistrer un fichier d'ondes sous... - "
              "Importer un enregistrement &Importer des mesures... Enregistrer le &relevé sous... Interpolation "
              "horaires.(grey) - E&xporter{Horaires de marées (CSV)… "
              "Calendrier (iCalendar)… Annuaire des marées (PDF)… Ondes (CSV)… Graphique (PNG ou SVG)…} - &Quitter");
}

// The PDF writer is a Qt module loaded at run time: here it is loaded
// inside a running Qt program.
TEST_F(QtProgramTest, TheTablesOfTheChosenYearArePrintedFromTheWindow)
{
    WhenShown<QDialog>([this](QDialog* period) {
        EXPECT_EQ(period->windowTitle().toStdString(), "Période à exporter");
        TypeYear(period, 102);
        TypeInTheFileDialog("annuaire");
        QTest::mouseClick(Control<QPushButton>(period, ID_OK), Qt::LeftButton);
    });
    Choose("Annuaire des marées (PDF)…");
    const std::string pdf = ReadFile("annuaire.pdf");
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("/Count 12"), std::string::npos);  // the page tree of a whole year
}

// x of each character that follows a tab in the report, one per line.
std::set<int> ColumnsAfterTabs(QPlainTextEdit* report)
{
    std::set<int> columns;
    for (QTextBlock line = report->document()->begin(); line.isValid(); line = line.next()) {
        const int tab = static_cast<int>(line.text().indexOf(QLatin1Char('\t')));
        if (tab < 0)
            continue;
        QTextCursor after(line);
        after.setPosition(line.position() + tab + 1);
        columns.insert(report->cursorRect(after).x());
    }
    return columns;
}

// Enter runs "Calcul" and leaves the dialog open; Escape closes it.
TEST_F(QtProgramTest, TheTideTimesDialogComputesOnEnterAndLinesUpItsColumns)
{
    std::string report;
    std::vector<std::size_t> columns;
    bool openAfterEnter = false;
    WhenShown<QDialog>([&](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Calculer les horaires de Marées"));
        TypeYear(dialog, TIDE_YEAR_ID);
        auto* year = Control<QLineEdit>(dialog, TIDE_YEAR_ID);
        auto* month = Control<QComboBox>(dialog, TIDE_MONTH_ID);
        QTest::keyClick(month, Qt::Key_Home);
        QTest::keyClick(month, Qt::Key_Down);
        QTest::keyClick(month, Qt::Key_Down);
        auto* box = Control<QPlainTextEdit>(dialog, TIDE_REPORT_ID);
        QTest::keyClick(year, Qt::Key_Return);
        columns.push_back(ColumnsAfterTabs(box).size());  // the plain report: one column after the date
        QTest::mouseClick(Control<QCheckBox>(dialog, TIDE_EXPORTABLE_ID), Qt::LeftButton);
        QTest::keyClick(year, Qt::Key_Return);
        columns.push_back(ColumnsAfterTabs(box).size());
        report = box->toPlainText().toStdString();
        openAfterEnter = dialog->isVisible();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    Choose("&Horaires de marées.");
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(columns, (std::vector<std::size_t>{1, 1}));
    // The title and the header computed last show first, CR LF as line
    // breaks; then a line for each of the 31 days, from Sunday 1 March 2009.
    EXPECT_EQ(report.rfind("Détermination des horaires de marée du mois de  mars 2009\n"
                           "Jour;HMmatin;HM AM;Coefmatin;CoefAM;BMmatin;BM AM\nDimanche ", 0),
              0u)
        << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2 + 31);
    EXPECT_EQ(report.find('\r'), std::string::npos);
}

// The one-day chart of a single wave about a mean level of 3 m.
QImage OneDayChartOf(const Wave& wave)
{
    WaveSet.count = 0;
    WaveSet.MeanLevel = 3.0;
    AppendWave(wave);
    Repaint();
    return Grab();
}

// The placeholder, the label boxes and the ticks are the chart tests' and
// the backend tests'; here, the program's chart in the window's pixels.
TEST_F(QtProgramTest, PaintedPixelsFollowTheChartAtAnySizeOfTheWindow)
{
    ShowWithClientSize((QSizeF(640, 480) / Frame()->devicePixelRatioF()).toSize());  // 1:1 in device pixels
    Choose("&Tracé de marée.");
    // 12 h, 1.5 m, high at 03:00. Column x shows x × 135 s: 0 at 00:00 (mean
    // level, y = 210), 80 at 03:00 (high, 210 − 45), 160 at 06:00, 240 at
    // 09:00 (low, 210 + 45); 30 px a metre.
    const Wave semiDiurnal = WaveOf(12, 1.5, M_PI / 2);
    const QImage day = OneDayChartOf(semiDiurnal);
    for (auto [x, y] : {std::pair{0, 210}, {80, 165}, {160, 210}, {240, 255}})
        EXPECT_EQ(day.pixel(x, y), BLUE) << x << ", " << y;

    // The user makes the window larger: the chart fills it, and the keyboard
    // on the chart moves the day as the bar does.
    ShowWithClientSize(ClientArea()->size() * 3 / 2);
    const QImage larger = OneDayChartOf(semiDiurnal);
    ASSERT_EQ(larger.size(), QSize(960, 720));
    for (auto [x, y] : {std::pair{80, 165}, {240, 255}})
        EXPECT_EQ(larger.pixel(DevicePixel(x, y)), BLUE) << x << ", " << y;
    QTest::keyClick(ClientArea(), Qt::Key_Right);
    EXPECT_EQ(GetScrollPos(ScrollBar::Horizontal), 1);
}

TEST_F(QtProgramTest, TheLogCanBeReadWhileTheProgramRuns)
{
    const std::string log = WithoutCr(ReadFile("Haliome.log"));
    EXPECT_EQ(log.rfind("Bienvenue à Haliome", 0), 0u);
    EXPECT_TRUE(log.ends_with("K1 : Onde Sidérale diurne. 23h56m\n")) << log;
}

// Calls act once the long work of a command shows its "Annuler" button.
void WhenWorking(std::function<void()> act)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        auto* stop = Frame() ? Frame()->findChild<QPushButton*>(QStringLiteral("stop long work")) : nullptr;
        if (!stop || !stop->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start();
}

TEST_F(QtProgramTest, EscapeStopsALongSweepWhileTheMenuWaits)
{
    StartOnALongRecord(20);
    bool menuGreyed = false;
    WhenWorking([&] {
        menuGreyed = !Frame()->menuBar()->isEnabled();
        QTest::keyClick(Frame(), Qt::Key_Escape);
    });
    ChooseAWideBand();
    EXPECT_TRUE(menuGreyed);
    EXPECT_TRUE(Frame()->menuBar()->isEnabled());
    EXPECT_EQ(WaveSet.count, 5);
    EXPECT_TRUE(WithoutCr(ReadFile("Haliome.log"))
                    .ends_with("\nBalayage de 2.000000 h à 300.000000 h interrompu : aucune onde ajoutée.\n\n"));
}

TEST_F(QtProgramTest, EachChartIsExportedAsThePngOfWhatTheWindowShowsAndAsAnSvgOfItsCurves)
{
    struct Mode { const char* item; const char* curve; bool reports = false; };
    const Mode modes[] = {
        {"&Tracé de marée.", "stroke=\"rgb(0,0,255)\""},
        {"Marée &prédite.", "stroke=\"rgb(0,0,255)\""},
        {"Marée sour&ce.", "stroke=\"rgb(0,255,0)\""},
        {"T&outes marées.", "stroke=\"rgb(255,0,0)\""},
        {"De &11h45 à 13h.", "stroke=\"rgb(0,0,0)\"", true},  // the scan graph, and the wave it found
    };
    int n = 0;
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.item);
        if (mode.reports)
            WhenShown<QMessageBox>([](QMessageBox* box) { box->accept(); });
        Choose(mode.item);
        const std::string name = "graphique" + std::to_string(++n);
        TypeInTheFileDialog(name);  // no extension: PNG
        Choose("Graphique (PNG ou SVG)…");
        const QImage png(QString::fromStdString(name + ".png"));
        ASSERT_FALSE(png.isNull());
        EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), Grab());
        TypeInTheFileDialog(name + ".svg");
        Choose("Graphique (PNG ou SVG)…");
        const std::string svg = ReadFile(name + ".svg");
        EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"640\" height=\"480\"", 0), 0u);
        EXPECT_GT(std::count_if(svg.begin(), svg.end(), [](char c) { return c == '\n'; }), 600);
        EXPECT_NE(svg.find(mode.curve), std::string::npos);
    }
}

}  // namespace
