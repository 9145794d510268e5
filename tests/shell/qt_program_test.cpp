// The desktop program in its real window on the offscreen platform: its
// menu, its dialogs and what it paints, after a start on the example port.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <filesystem>
#include <memory>

#include "base/options.h"
#include "model/waves.h"
#include "shell/app.h"
#include "shell/chart.h"
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

    // The menu command of that text, as the user picks it.
    static void Choose(const char* text)
    {
        QMenuBar* bar = Frame()->menuBar();
        auto* corner = qobject_cast<QMenuBar*>(bar->cornerWidget(Qt::TopRightCorner));
        for (QMenuBar* menus : {bar, corner})
            for (QAction* top : menus->actions())
                if (QAction* action = ActionNamed(top->menu(), QString::fromUtf8(text))) {
                    action->trigger();
                    return;
                }
        ADD_FAILURE() << "no menu item " << text;
    }

    std::unique_ptr<ScopedWorkDir> folder;
};

const QRgb WHITE = qRgb(255, 255, 255);
const QRgb BLACK = qRgb(0, 0, 0);
const QRgb BLUE = qRgb(0, 0, 255);
const QRgb GREEN = qRgb(0, 255, 0);

TEST_F(QtProgramTest, TheMenuBarHoldsTheProgramsMenusAndFollowsTheOptions)
{
    QMenuBar* bar = Frame()->menuBar();
    ASSERT_EQ(bar->actions().size(), 5);
    EXPECT_EQ(Describe(bar->actions()[0]->menu()),
              "Ouvrir un fichier d'ondes Enregistrer un fichier d'ondes Enregistrer un fichier d'ondes sous... - "
              "Importer un enregistrement Interpolation horaires.(grey) - &Quitter");
    EXPECT_EQ(Describe(bar->actions()[3]->menu()),
              "Axe du temps[x] Axe hauteur[x] Horaire marée[x] - Calcul Fourier[x] - &Source{&Enregistrement "
              "Marée &normale Marée &rectifiée Marée &arrondie Marée r&ectifiée arrondie} - &Vebose mode{Calcul &FFT}");
    Choose("Axe du temps");
    Choose("Calcul Fourier");
    Choose("Calcul Fourier");
    Choose("Calcul &FFT");
    EXPECT_EQ(Options.ShowTimeAxis, 0);
    EXPECT_EQ(Options.UseFourier, 1);
    EXPECT_EQ(Options.VerboseFft, 1);
    EXPECT_EQ(Describe(bar->actions()[3]->menu()).substr(0, 48), "Axe du temps Axe hauteur[x] Horaire marée[x] - ");
    EXPECT_EQ(Describe(bar->actions()[3]->menu()).find("Calcul &FFT[x]"), std::string::npos);
}

TEST_F(QtProgramTest, MeanLevelFromTheMenuShowsItsBoxOwnedByTheMainWindow)
{
    QString text;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Détermination du niveau moyen"));
        EXPECT_EQ(box->icon(), QMessageBox::Information);
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
    // The box shows the lines last computed first, CR LF as line breaks.
    std::string expected;
    for (const std::string& line : MonthReportLines(*MonthBoundsOf(2009, 2), true))
        expected.insert(0, line.substr(0, line.size() - 2) + "\n");
    EXPECT_EQ(report, expected);
    EXPECT_EQ(report.rfind("Détermination des horaires de marée du mois de  mars 2009\nJour;HMmatin;", 0), 0u);
}

TEST_F(QtProgramTest, TheWaveManagerDeletesOnlyAfterOui)
{
    int listedAfterNon = -1, listedAfterOui = -1;
    WhenShown<QDialog>([&](QDialog* manager) {
        auto* list = Control<QListWidget>(manager, 121);
        auto* remove = Control<QPushButton>(manager, 102);
        WhenShown<QMessageBox>([](QMessageBox* box) {
            EXPECT_EQ(box->text(), QStringLiteral("Supprimer cette onde ?"));
            EXPECT_EQ(WithoutMnemonic(box->button(QMessageBox::No)->text()), QStringLiteral("Non"));
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        });
        QTest::mouseClick(remove, Qt::LeftButton);
        listedAfterNon = list->count();
        WhenShown<QMessageBox>([](QMessageBox* box) {
            EXPECT_EQ(WithoutMnemonic(box->button(QMessageBox::Yes)->text()), QStringLiteral("Oui"));
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        });
        QTest::mouseClick(remove, Qt::LeftButton);
        listedAfterOui = list->count();
        QTest::mouseClick(Control<QPushButton>(manager, ID_OK), Qt::LeftButton);
    });
    Choose("&Gestionnaire d'onde");
    EXPECT_EQ(listedAfterNon, 5);
    EXPECT_EQ(listedAfterOui, 4);
    ASSERT_EQ(WaveSet.count, 4);
    EXPECT_EQ(WaveSet.waves[0].name, "S2 : Onde Solaire semi-diurne. 12h");
}

TEST_F(QtProgramTest, SavingUnderATypedNameAddsTheExtension)
{
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->directory().absolutePath().toStdString(), folder->path());  // starts in the working directory
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(name, QStringLiteral("modele"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    Choose("Enregistrer un fichier d'ondes sous...");
    EXPECT_EQ(ReadFile("modele.TID").substr(0, 18), "Vlissingen\r\n2009\r\n");
}

TEST_F(QtProgramTest, PaintedPixelsFollowTheChart)
{
    ModelReady = 0;  // as the first paint of the start-up
    Repaint();
    QImage placeholder = Grab();
    EXPECT_EQ(placeholder.pixel(0, 0), BLACK);
    EXPECT_EQ(placeholder.pixel(320, 230), BLACK);
    EXPECT_EQ(placeholder.pixel(320, 100), WHITE);
    ModelReady = 1;

    Choose("&Tracé de marée.");
    QImage day = Grab();
    EXPECT_EQ(day.pixel(4, 400), BLACK);  // the 10-minute mark of 00:10, one pixel
    EXPECT_EQ(day.pixel(4, 399), WHITE);
    EXPECT_EQ(day.pixel(26, 398), BLACK);  // the hour mark of 01:00, three pixels
    EXPECT_EQ(day.pixel(26, 397), WHITE);
    for (int x : {60, 150, 333, 500, 639})
        EXPECT_EQ(day.pixel(x, ScaleY(PredictHeight(static_cast<double>(OneDayColumnTime(x)), 0))), BLUE) << x;

    // Low enough a mean level brings the source curve across the "0m" label,
    // whose opaque box hides it.
    Choose("Marée sour&ce.");
    WaveSet.MeanLevel = 7.0;
    Repaint();
    QImage source = Grab();
    int greenUnderLabel = 0, greenBeside = 0;
    for (int y = 355; y < 380; ++y) {
        for (int x = 2; x < 14; ++x)
            greenUnderLabel += source.pixel(x, y) == GREEN;
        for (int x = 24; x < 36; ++x)
            greenBeside += source.pixel(x, y) == GREEN;
    }
    EXPECT_EQ(greenUnderLabel, 0);
    EXPECT_GT(greenBeside, 0);
}

}  // namespace
