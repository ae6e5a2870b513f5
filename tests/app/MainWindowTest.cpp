// Tests of the main window: start-up state, layout, close guard, keys.
#include "WindowFixture.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

TEST_F(WindowTest, AfterStartTheWindowShowsTheDefaultTemplate)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tamlin Orvex Interface"));
    EXPECT_EQ(Text(1043), QStringLiteral("Rx Serial Text box"));

    const std::pair<int, const char *> texts[] = {
        {1022, "Temperature"},
        {1025, "Open Collector"},
        {1008, "00001"},
        {1009, "1"},
        {1053, "90"},
        {1056, "50"},
        {1054, "30"},
        {1055, "25"},
        {1013, "10"},
        {1014, "N/A"},
        {1039, "Disabled"},
        {1024, "Enabled"},
        {1015, "50"},
        {1017, "N/A"},
        {1018, "Low"},
        {1026, "Temperature Top Band(°C)"},
        {1027, "Temperature Bottom Band(°C)"},
        {1028, "Low Temperature Shut Off(°C)"},
        {1029, "High Temperature Alarm(°C)"},
        {1030, "Low Temperature Alarm(°C)"},
        {1033, ""},
        {1001, ""},
        {1002, ""},
        {1007, "\nConnect \nto PORT"},
        {1005, "Open File"},
        {1004, "\nDownload \nTo Controller"},
        {1057, "\nUpload \nFrom Controller"},
        {1006, "\nLoad Default\nTemplate"},
        {1003, "\nSave File\nto PC"},
        {1031, "Enable Multipoint"},
        {1052, "monitor"},
    };
    for (const auto &[id, text] : texts)
        EXPECT_EQ(Text(id), QString::fromUtf8(text)) << id;

    EXPECT_EQ(window->Entry().SavedTopBandText(), QStringLiteral("50"));
    EXPECT_EQ(window->Entry().SavedBottomBandText(), QStringLiteral("25"));
    EXPECT_EQ(window->Link().Exchange().Stage(), ExchangeStage::Finish);
    EXPECT_FALSE(window->Link().Connected());
    EXPECT_FALSE(window->MonitoringEnabled());
    EXPECT_EQ(window->Link().Settings().portNumber, 1);
    EXPECT_EQ(window->Link().Settings().baudRate, 9600);
}

TEST_F(WindowTest, OptionListsKeepTheirOrder)
{
    EXPECT_EQ(Items(1022), (QStringList{"Temperature", "Voltage"}));
    EXPECT_EQ(Items(1025), (QStringList{"Open Collector", "Voltage"}));
    EXPECT_EQ(Items(1013), (QStringList{"N/A", "Always On"}));
    EXPECT_EQ(Items(1014), (QStringList{"N/A", "1000", "2000", "3000", "4000"}));
    EXPECT_EQ(Items(1039), (QStringList{"Disabled", "Enabled"}));
    EXPECT_EQ(Items(1024), (QStringList{"Enabled", "Disabled"}));
    EXPECT_EQ(Items(1015), (QStringList{"N/A"}));
    EXPECT_EQ(Items(1017), (QStringList{"N/A"}));
    EXPECT_EQ(Items(1018), (QStringList{"High", "Low"}));
    EXPECT_TRUE(Combo(1013)->isEditable());
    EXPECT_TRUE(Combo(1015)->isEditable());
    EXPECT_TRUE(Combo(1017)->isEditable());
    EXPECT_FALSE(Combo(1014)->isEditable());
}

TEST_F(WindowTest, EnabledStatesAndTimersAfterStart)
{
    EXPECT_FALSE(Enabled(1004));
    EXPECT_FALSE(Enabled(1057));
    EXPECT_FALSE(Enabled(1052));
    EXPECT_FALSE(Check(1052)->isChecked());
    EXPECT_FALSE(Check(1031)->isChecked());
    for (int id : {1007, 1005, 1006, 1003, 1053, 1056, 1054, 1055, 1013, 1014, 1015, 1017, 1018, 1024})
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_TRUE(window->Multipoint().ChartTimer().isActive());
    EXPECT_EQ(window->Multipoint().ChartTimer().interval(), 150);
    EXPECT_TRUE(window->Link().PollTimer().isActive());
    EXPECT_EQ(window->Link().PollTimer().interval(), 1000);
    EXPECT_FALSE(window->Transfers().StepTimer().isActive());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WindowTest, ControlsSitAtTheirDialogUnitRectangles)
{
    const DialogUnits &u = window->Units();
    EXPECT_EQ(window->size(), u.Size(683, 430));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    struct Place
    {
        int id, x, y, w, h;
    };
    const Place places[] = {
        {1007, 19, 18, 90, 37},   {1003, 571, 18, 90, 37},  {1044, 16, 60, 650, 7},     {1008, 24, 165, 51, 12},
        {1056, 148, 211, 32, 14}, {1043, 436, 79, 223, 79}, {1000, 292, 165, 370, 234}, {1033, 307, 402, 106, 8},
        {1052, 618, 402, 40, 10}, {1026, 24, 212, 114, 8},  {1001, 480, 403, 80, 8},    {1002, 430, 403, 40, 8},
    };
    for (const Place &p : places)
        EXPECT_EQ(window->Control(p.id)->geometry(), u.Rect(p.x, p.y, p.w, p.h)) << p.id;
    // Drop-downs keep their place; their closed height is the font's, not the list's.
    const QRect speedCap = window->Control(1022)->geometry();
    EXPECT_EQ(speedCap.topLeft(), u.Rect(133, 89, 65, 24).topLeft());
    EXPECT_EQ(speedCap.width(), u.X(198) - u.X(133));
    EXPECT_LT(speedCap.height(), u.Y(24));

    QStringList groups;
    for (auto *box : window->findChildren<QGroupBox *>())
        groups << box->title();
    EXPECT_EQ(groups, (QStringList{"", "Hardware Settings", "Software Control Parameters", "Alarm Settings", "Plot"}));
}

TEST_F(WindowTest, LoadDefaultAnsweredYesReturnsFromTheVoltageForm)
{
    window->ApplyVoltageLabels();
    EXPECT_EQ(Text(1026), QStringLiteral("Voltage Top Band(V)"));
    EXPECT_EQ(Text(1013), QString()); // the voltage form empties the shut-off
    EXPECT_EQ(window->Plot().AxisMax(), 10.0);
    EXPECT_TRUE(window->Plot().ShutOffLine().empty());
    Check(1052)->setEnabled(true);
    Check(1052)->setChecked(true);
    window->OnBnClickedMonitor();
    ASSERT_TRUE(window->MonitoringEnabled());

    ui.answers.push_back(MsgAnswer::Yes);
    QTest::mouseClick(window->Control(1006), Qt::LeftButton);

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("All current data will be lost - Proceed ?"));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral(" WARNING "));
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Warning);
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::YesNo);

    EXPECT_EQ(window->windowTitle(), QStringLiteral("Default Template Loaded - Tamlin Orvex Interface"));
    EXPECT_EQ(Text(1022), QStringLiteral("Temperature"));
    EXPECT_EQ(Text(1026), QStringLiteral("Temperature Top Band(°C)"));
    EXPECT_EQ(Text(1056), QStringLiteral("50"));
    EXPECT_EQ(Text(1013), QStringLiteral("10"));
    EXPECT_EQ(Text(1043), QString());
    EXPECT_FALSE(window->MonitoringEnabled());
    EXPECT_FALSE(Check(1052)->isChecked());
    EXPECT_FALSE(Enabled(1052));
    EXPECT_EQ(window->Plot().AxisMax(), 63.5);
    EXPECT_EQ(window->Plot().ShutOffLine(), (std::vector<QPointF>{{41, 0}, {41, 30}, {101, 30}}));
}

TEST_F(WindowTest, LoadDefaultAnsweredNoOrClosedChangesNothing)
{
    window->ApplyVoltageLabels();
    qobject_cast<QLineEdit *>(window->Control(1056))->setText(QStringLiteral("7"));
    for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Closed}) {
        ui.answers.push_back(answer);
        window->OnBnClickedLoadDefault();
        EXPECT_EQ(Text(1022), QStringLiteral("Voltage"));
        EXPECT_EQ(Text(1056), QStringLiteral("7"));
        EXPECT_EQ(Text(1043), QStringLiteral("Rx Serial Text box"));
        // The same title, with the marker of the edit made before.
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Tamlin Orvex Interface[*]"));
        EXPECT_TRUE(window->isWindowModified());
    }
    EXPECT_EQ(ui.boxes.size(), 2u);
}

TEST_F(WindowTest, ClosingIsRefusedWhileConnected)
{
    // A bare pseudo-terminal stands in for the controller's line.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const auto closeMaster = qScopeGuard([master] { ::close(master); });
    window->show();
    ui.comSettings.push_back(ComSettings{QString::fromLocal8Bit(::ptsname(master)), 1, 9600});
    window->OnBnClickedConnect();
    ASSERT_TRUE(window->Link().Connected());
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Warning - CONNECTED TO PORT "));
    EXPECT_EQ(ui.boxes[0].text,
              QStringLiteral(
                  "Please press [Disconnect from PORT] button before exiting or removing the communication cable"));
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Warning);

    window->OnBnClickedConnect(); // disconnect
    EXPECT_FALSE(window->Link().Connected());
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(WindowTest, EnterAndEscapeNeitherCloseNorConfirm)
{
    window->show();
    QWidget *field = window->Control(1056);
    field->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(field, key);
        QTest::keyClick(window.get(), key);
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Items(1015), (QStringList{"N/A"})); // Enter in an editable list adds nothing
    QTest::keyClick(window->Control(1015), Qt::Key_Return);
    EXPECT_EQ(Items(1015), (QStringList{"N/A"}));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WindowTest, OptionChangeAndMonitorCheckbox)
{
    window->OnCbnSelchangeOption();
    EXPECT_EQ(Text(1043), QString());

    Check(1052)->setEnabled(true);
    window->show();
    QTest::mouseClick(Check(1052), Qt::LeftButton);
    EXPECT_TRUE(window->MonitoringEnabled());
    QTest::mouseClick(Check(1052), Qt::LeftButton);
    EXPECT_FALSE(window->MonitoringEnabled());
    EXPECT_TRUE(window->Plot().LiveMarker().empty());
    EXPECT_EQ(Text(1001), QString());
    EXPECT_EQ(Text(1002), QString());
}

TEST_F(WindowTest, AboutIsInTheContextMenu)
{
    QAction *about = Action(QStringLiteral("&About Orvex Interface"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->shortcut(), QKeySequence(QKeySequence::HelpContents));
    about->trigger();
    EXPECT_EQ(ui.aboutShown, 1);
}

TEST_F(WindowTest, TheStatusTextStaysClearOfThePlotFrame)
{
    window->show();
    QWidget *status = window->Control(1043);
    auto *plot = qobject_cast<QGroupBox *>(
        status->parentWidget()->childAt(status->x() + status->width() + 5, status->y() + status->height() / 2));
    ASSERT_NE(plot, nullptr);
    const QImage image = window->grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    auto pixel = [&](int x, int y) { return image.pixelColor(QPoint(x, y) * ratio); };
    // The frame's top line: the first row below the box's top that differs from the background,
    // right of the status box where no text is.
    const int x = status->x() + status->width() + 3;
    const QColor background = pixel(x, plot->y());
    int frameRow = -1;
    for (int y = plot->y() + 1; y < status->y() + status->height() && frameRow < 0; ++y) {
        if (pixel(x, y) != background)
            frameRow = y;
    }
    ASSERT_GE(frameRow, 0);
    // No pixel of the status text's colour on or above that line.
    int textPixelsOnTheLine = 0;
    int textPixels = 0;
    for (int y = status->y(); y < status->y() + status->height(); ++y) {
        for (int px = status->x(); px < status->x() + status->width(); ++px) {
            const QColor c = pixel(px, y);
            if (c.blue() > 180 && c.red() < 150 && c.green() < 150) {
                ++textPixels;
                textPixelsOnTheLine += y <= frameRow + 1 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(textPixels, 20); // "Rx Serial Text box" was drawn
    EXPECT_EQ(textPixelsOnTheLine, 0);
}

TEST(MainWindowFit, ASmallScreenDrawsTheWindowSmallerInProportion)
{
    for (const QSize screen : {QSize(1920, 1050), QSize(2560, 1400)})
        EXPECT_EQ(CPlexaDlg::FitScale(screen), 1.0); // nothing changes where it fits

    // 1920 x 1080 at 150 %: 1280 x 720 less a panel.
    const QSize available(1280, 672);
    const double scale = CPlexaDlg::FitScale(available);
    EXPECT_LT(scale, 1.0);
    const DialogUnits usual(DialogUnits::DialogFont());
    const QSize window = usual.Scaled(scale).Size(683, 430);
    EXPECT_LE(window.width(), available.width() - 8);
    EXPECT_LE(window.height(), available.height() - 40); // room left for the title bar
    // The largest that fits: a hundredth more would not.
    const QSize tooBig = usual.Scaled(scale + 0.01).Size(683, 430);
    EXPECT_TRUE(tooBig.width() > available.width() - 8 || tooBig.height() > available.height() - 40);
    // Every control in proportion: a rectangle scales as the whole does.
    const QRect chart = usual.Scaled(scale).Rect(292, 165, 370, 234);
    EXPECT_NEAR(chart.width(), usual.Rect(292, 165, 370, 234).width() * scale, 1);
}

TEST_F(WindowTest, TheWindowFitsTheScreenItOpensOn)
{
    const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_LE(window->width() + 8, available.width());
    EXPECT_LE(window->height() + 40, available.height());
    if (available.width() >= 1920 && available.height() >= 1000) {
        EXPECT_EQ(window->font(), DialogUnits::DialogFont()); // an ordinary screen changes nothing
        EXPECT_EQ(window->Units().Scale(), 1.0);
    } else {
        EXPECT_LT(window->Units().Scale(), 1.0);
        EXPECT_NEAR(window->font().pointSizeF(), DialogUnits::DialogFont().pointSizeF() * window->Units().Scale(),
                    0.01);
    }
}
