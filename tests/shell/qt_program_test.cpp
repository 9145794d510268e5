// The desktop program in its real window on the offscreen platform, after a
// start on the example port: what a script cannot see there, its keys and
// pixels. What it shows and writes is the scenarios', played here too; how
// the window draws is the backend's tests'.
#include <filesystem>
#include <memory>
#include <set>

#include "shell/app.h"
#include "shell/menu.h"
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
    std::unique_ptr<ScopedWorkDir> folder;
};

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

// Enter in the year runs "Calcul" and leaves the dialog open; Escape closes it.
TEST_F(QtProgramTest, TheTideTimesDialogComputesOnEnterLinesUpItsColumnsAndClosesOnEscape)
{
    std::string report;
    std::vector<std::size_t> columns;
    bool openAfterEnter = false;
    WhenShown<QDialog>([&](QDialog* dialog) {
        auto* year = Control<QLineEdit>(dialog, TIDE_YEAR_ID);
        auto* month = Control<QComboBox>(dialog, TIDE_MONTH_ID);
        auto* box = Control<QPlainTextEdit>(dialog, TIDE_REPORT_ID);
        // Its other columns are of blanks: a fixed-width font, lines not wrapped.
        const QFontMetricsF metrics(box->font());
        EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("iiii")), metrics.horizontalAdvance(QStringLiteral("MMMM")));
        EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::NoWrap);
        year->selectAll();
        QTest::keyClicks(year, QStringLiteral("2009"));
        for (Qt::Key key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_Down})
            QTest::keyClick(month, key);
        for (bool exportable : {false, true}) {
            if (exportable)
                QTest::mouseClick(Control<QCheckBox>(dialog, TIDE_EXPORTABLE_ID), Qt::LeftButton);
            QTest::keyClick(year, Qt::Key_Return);
            columns.push_back(ColumnsAfterTabs(box).size());
        }
        report = box->toPlainText().toStdString();
        openAfterEnter = dialog->isVisible();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    SendCommand(CMD_TIDE_TIMES);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(columns, (std::vector<std::size_t>{1, 1}));  // one column after the date, in either report
    // The month chosen by the keys, with line breaks of the box for CR LF.
    EXPECT_EQ(report.rfind("Détermination des horaires de marée du mois de  mars 2009\n", 0), 0u) << report;
    EXPECT_EQ(report.find('\r'), std::string::npos);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A name without extension is a PNG picture, written where the test runs:
// the dialog opens where the last one was accepted.
TEST_F(QtProgramTest, EachChartIsExportedAsThePngOfWhatTheWindowShows)
{
    for (int command : {CMD_ONE_DAY_CHART, CMD_ALL_CHART}) {
        SendCommand(command);
        const std::string name = "graphique" + std::to_string(command);
        WhenShown<QFileDialog>([name, here = QString::fromStdString(folder->path())](QFileDialog* dialog) {
            dialog->setDirectory(here);
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(edit, QString::fromStdString(name));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        SendCommand(CMD_EXPORT_CHART);
        const QImage png(QString::fromStdString(name + ".png"));
        ASSERT_FALSE(png.isNull()) << name;
        EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), Grab()) << name;
    }
}

}  // namespace
