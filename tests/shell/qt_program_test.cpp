// The desktop program in its real window on the offscreen platform: its
// menu, its dialogs and what it paints, after a start on the example port.
#include <cmath>
#include <filesystem>
#include <memory>

#include "base/options.h"
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
    // Fichier > Exporter > "Graphique (PNG ou SVG)…" under a typed name.
    static void ExportChartAs(const std::string& name)
    {
        WhenShown<QFileDialog>([name](QFileDialog* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(edit, QString::fromStdString(name));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        Choose("Graphique (PNG ou SVG)…");
    }
    std::unique_ptr<ScopedWorkDir> folder;
};

TEST_F(QtProgramTest, TheMenuBarHoldsTheProgramsMenusAndTheOptionMarksFollowTheToggles)
{
    std::string titles;
    for (QMenuBar* menus : Bars())
        for (QAction* top : menus->actions())
            titles += qtplatform::Utf8(top->text()) + "|";
    EXPECT_EQ(titles, "&Fichier|&Prédiction|Détermination des &ondes|&Options|&Outils|&Aide|");
    Choose("Axe du temps");
    Choose("Calcul Fourier");
    Choose("Calcul Fourier");
    Choose("Calcul &FFT");
    EXPECT_EQ(Describe(Bars()[0]->actions()[3]->menu()),
              "Axe du temps Axe hauteur[x] Horaire marée[x] - Calcul Fourier[x] - &Source{&Enregistrement "
              "Marée &normale Marée &rectifiée Marée &arrondie Marée r&ectifiée arrondie} - "
              "&Vebose mode{Calcul &FFT}");
    EXPECT_EQ(Options.VerboseFft, 1);  // chosen, though its item never shows a mark
    EXPECT_EQ(Describe(Bars()[0]->actions()[0]->menu()),
              "Ouvrir un fichier d'ondes Enregistrer un fichier d'ondes Enregistrer un fichier d'ondes sous... - "
              "Importer un enregistrement Interpolation horaires.(grey) - E&xporter{Horaires de marées (CSV)… "
              "Calendrier (iCalendar)… Annuaire des marées (PDF)… Ondes (CSV)… Graphique (PNG ou SVG)…} - &Quitter");
}

TEST_F(QtProgramTest, TheTablesOfTheChosenYearArePrintedFromTheWindow)
{
    WhenShown<QDialog>([](QDialog* period) {
        EXPECT_EQ(period->windowTitle().toStdString(), "Période à exporter");
        auto* year = Control<QLineEdit>(period, 102);
        year->selectAll();
        QTest::keyClicks(year, QStringLiteral("2009"));
        WhenShown<QFileDialog>([](QFileDialog* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(edit, QStringLiteral("annuaire"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QTest::mouseClick(Control<QPushButton>(period, ID_OK), Qt::LeftButton);
    });
    Choose("Annuaire des marées (PDF)…");
    const std::string pdf = ReadFile("annuaire.pdf");
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("/Count 12"), std::string::npos);  // the page tree of a whole year
}

TEST_F(QtProgramTest, MeanLevelFromTheMenuShowsItsBoxOwnedByTheMainWindow)
{
    QString text;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Détermination du niveau moyen"));
        EXPECT_EQ(box->parentWidget(), Frame());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    Choose("&Niveau moyen");
    EXPECT_TRUE(text.startsWith(QStringLiteral("Niveau moyen : 3.000652 "))) << text.toStdString();
}

TEST_F(QtProgramTest, TheTideTimesDialogComputesAnExportableMonth)
{
    std::string report;
    WhenShown<QDialog>([&](QDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Calculer les horaires de Marées"));
        auto* year = Control<QLineEdit>(dialog, TIDE_YEAR_ID);
        year->selectAll();
        QTest::keyClicks(year, QStringLiteral("2009"));
        auto* month = Control<QComboBox>(dialog, TIDE_MONTH_ID);
        QTest::keyClick(month, Qt::Key_Home);
        QTest::keyClick(month, Qt::Key_Down);
        QTest::keyClick(month, Qt::Key_Down);
        QTest::mouseClick(Control<QCheckBox>(dialog, TIDE_EXPORTABLE_ID), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>(dialog, TIDE_COMPUTE_ID), Qt::LeftButton);
        report = Control<QPlainTextEdit>(dialog, TIDE_REPORT_ID)->toPlainText().toStdString();
        QTest::mouseClick(Control<QPushButton>(dialog, ID_OK), Qt::LeftButton);
    });
    Choose("&Horaires de marées.");
    // The title and the header computed last show first, CR LF as line
    // breaks; then a line for each of the 31 days, from Sunday 1 March 2009.
    EXPECT_EQ(report.rfind("Détermination des horaires de marée du mois de  mars 2009\n"
                           "Jour;HMmatin;HM AM;Coefmatin;CoefAM;BMmatin;BM AM\nDimanche ", 0),
              0u)
        << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2 + 31);
    EXPECT_EQ(report.find('\r'), std::string::npos);
}

TEST_F(QtProgramTest, TheWaveManagerDeletesOnlyAfterOui)
{
    std::vector<int> listed;
    WhenShown<QDialog>([&](QDialog* manager) {
        for (QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
            WhenShown<QMessageBox>([answer](QMessageBox* box) {
                QTest::mouseClick(box->button(answer), Qt::LeftButton);
            });
            QTest::mouseClick(Control<QPushButton>(manager, 102), Qt::LeftButton);  // "Supprimer"
            listed.push_back(Control<QListWidget>(manager, 121)->count());
        }
        QTest::mouseClick(Control<QPushButton>(manager, ID_OK), Qt::LeftButton);
    });
    Choose("&Gestionnaire d'onde");
    EXPECT_EQ(listed, (std::vector<int>{5, 4}));  // after "Non", after "Oui"
    ASSERT_EQ(WaveSet.count, 4);
    EXPECT_EQ(WaveSet.waves[0].name, "S2 : Onde Solaire semi-diurne. 12h");
}

TEST_F(QtProgramTest, SavingUnderATypedNameAddsTheExtension)
{
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        // It starts in the working directory.
        EXPECT_EQ(dialog->directory().absolutePath().toStdString(), folder->path());
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(name, QStringLiteral("modele"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    Choose("Enregistrer un fichier d'ondes sous...");
    EXPECT_EQ(ReadFile("modele.TID").substr(0, 18), "Vlissingen\r\n2009\r\n");
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

TEST_F(QtProgramTest, PaintedPixelsFollowTheChart)
{
    ModelReady = 0;  // as the first paint of the start-up
    Repaint();
    const QImage placeholder = Grab();
    EXPECT_EQ(placeholder.pixel(0, 0), BLACK);
    EXPECT_EQ(placeholder.pixel(320, 230), BLACK);  // the diagonal to (640, 460)
    EXPECT_EQ(placeholder.pixel(320, 100), WHITE);
    ModelReady = 1;

    Choose("&Tracé de marée.");
    // 12 h, 1.5 m, high at 03:00. Column x shows x × 135 s: 0 at 00:00 (mean
    // level, y = 210), 80 at 03:00 (high, 210 − 45), 160 at 06:00, 240 at
    // 09:00 (low, 210 + 45); 30 px a metre.
    const QImage day = OneDayChartOf(WaveOf(12, 1.5, M_PI / 2));
    for (auto [x, y] : {std::pair{0, 210}, {80, 165}, {160, 210}, {240, 255}})
        EXPECT_EQ(day.pixel(x, y), BLUE) << x << ", " << y;
    EXPECT_EQ(day.pixel(4, 400), BLACK);  // the 10-minute mark of 00:10, one pixel
    EXPECT_EQ(day.pixel(4, 399), WHITE);

    // 240 h, 5.25 m, low at 00:00: the first 80 columns lie on
    // y = 460 − trunc(−5.25 × 30 + 250) = 368, across the "0m" label at
    // (2, 360), whose opaque box hides them.
    const QImage low = OneDayChartOf(WaveOf(240, 5.25, M_PI));
    EXPECT_EQ(low.pixel(40, 368), BLUE);
    for (int x = 2; x < 10; ++x)
        EXPECT_NE(low.pixel(x, 368), BLUE) << x;
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
        ExportChartAs(name);  // no extension: PNG
        const QImage png(QString::fromStdString(name + ".png"));
        ASSERT_FALSE(png.isNull());
        EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), Grab());
        ExportChartAs(name + ".svg");
        const std::string svg = ReadFile(name + ".svg");
        EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"640\" height=\"480\"", 0), 0u);
        EXPECT_GT(std::count_if(svg.begin(), svg.end(), [](char c) { return c == '\n'; }), 600);
        EXPECT_NE(svg.find(mode.curve), std::string::npos);
    }
}

}  // namespace
