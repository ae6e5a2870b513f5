// Tests of the entry rules through the window's fields.
#include "WindowFixture.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
class EntryTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    QLineEdit *Edit(int id) const { return qobject_cast<QLineEdit *>(window->Control(id)); }

    std::vector<QString> Messages() const
    {
        std::vector<QString> texts;
        for (const auto &box : ui.boxes)
            texts.push_back(box.caption + QStringLiteral(" | ") + box.text);
        return texts;
    }
};
} // namespace

TEST_F(EntryTest, TopBandEntries)
{
    struct Case
    {
        const char *typed;
        const char *shown;
        const char *message; // caption | text, or nullptr
        int topIndex;
    };
    const Case cases[] = {
        {"70", "63", nullptr, 253},
        {"2.5", "63", "Invalid parameter! | Value not withing range", 253},
        {"0", "63", "Warning | Temperature Top Band value must be greater than 0", 253},
        {"25", "63", "Warning | Please choose a value greater than Temperature Bottom Band", 253},
        {"40", "40", nullptr, 161},
    };
    for (const Case &c : cases) {
        ui.boxes.clear();
        TypeAndLeave(1056, QString::fromUtf8(c.typed));
        EXPECT_EQ(Text(1056), QString::fromUtf8(c.shown)) << c.typed;
        if (c.message) {
            ASSERT_EQ(Messages().size(), 1u) << c.typed;
            EXPECT_EQ(Messages()[0], QString::fromUtf8(c.message));
            EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Warning);
        } else {
            EXPECT_TRUE(ui.boxes.empty()) << c.typed;
        }
        EXPECT_EQ(window->Plot().Curve().topBandIndex, c.topIndex) << c.typed;
    }
    // The accepted 40: old top point gone, slope 1 from the bottom band, flat above.
    const FanCurve &curve = window->Plot().Curve();
    EXPECT_EQ(curve.pointDefined[253], 0);
    EXPECT_EQ(curve.curveFan[131], 60);
    EXPECT_EQ(curve.curveFan[200], 90);
    EXPECT_EQ(window->Entry().SavedTopBandText(), QStringLiteral("40"));
}

// A refused band entry shows the band of the profile on screen, whichever way it came there.
TEST_F(EntryTest, ARefusedBandShowsTheLoadedProfilesBand)
{
    TypeAndLeave(1056, QStringLiteral("40"));
    TypeAndLeave(1055, QStringLiteral("20"));
    ASSERT_TRUE(ui.boxes.empty());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.dat"));
    ui.saveNames.push_back(path);
    window->OnBnClickedSaveFile();

    window->LoadDefaultTemplate();
    TypeAndLeave(1056, QStringLiteral("0"));
    TypeAndLeave(1055, QStringLiteral("60"));
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(Text(1056), QStringLiteral("50"));
    EXPECT_EQ(Text(1055), QStringLiteral("25"));

    TypeAndLeave(1056, QStringLiteral("45"));
    TypeAndLeave(1055, QStringLiteral("30"));
    ui.answers.push_back(MsgAnswer::Discard); // the edits above are not saved
    ui.openNames.push_back({path});
    window->OnBnClickedOpenFile();
    TypeAndLeave(1056, QStringLiteral("0"));
    TypeAndLeave(1055, QStringLiteral("60"));
    EXPECT_EQ(ui.boxes.size(), 5u); // with the question about the unsaved edits
    EXPECT_EQ(Text(1056), QStringLiteral("40"));
    EXPECT_EQ(Text(1055), QStringLiteral("20"));
}

TEST_F(EntryTest, BottomBandEntriesInBothForms)
{
    TypeAndLeave(1055, QStringLiteral("50"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(Messages()[0], QStringLiteral("Warning | Please choose a value smaller than Temperature Top Band"));
    EXPECT_EQ(Text(1055), QStringLiteral("25"));
    EXPECT_EQ(window->Plot().ShutOffLine().size(), 3u); // drawn again after the refusal

    ui.boxes.clear();
    TypeAndLeave(1055, QStringLiteral("0"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(Messages()[0], QStringLiteral("WARNING | For Temperature Bottom Band value to be 0, Low Temperature Shut "
                                            "Off value must be 'Always On' or 'N/A'"));
    EXPECT_EQ(Text(1055), QStringLiteral("25"));

    ui.boxes.clear();
    Combo(1013)->setEditText(QStringLiteral("Always On"));
    TypeAndLeave(1055, QStringLiteral("0"));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(window->Plot().Curve().bottomBandIndex, 1);

    // Voltage form wording.
    window->ApplyVoltageLabels();
    TypeAndLeave(1056, QStringLiteral("5"));
    ASSERT_EQ(window->Entry().SavedTopBandText(), QStringLiteral("5"));
    ui.boxes.clear();
    TypeAndLeave(1056, QStringLiteral("12"));
    EXPECT_EQ(Text(1056), QStringLiteral("10"));
    TypeAndLeave(1055, QStringLiteral("10"));
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(Messages().back(), QStringLiteral("Warning | Please choose a value smaller than Voltage Top Band"));
    Edit(1055)->setText(QStringLiteral("10"));
    TypeAndLeave(1056, QStringLiteral("10"));
    EXPECT_EQ(Messages().back(), QStringLiteral("Warning | Please choose a value greater than Voltage Bottom Band"));
}

TEST_F(EntryTest, NumbersAndAlarmsWhileTyping)
{
    TypeAndLeave(1008, QStringLiteral("7"));
    EXPECT_EQ(Text(1008), QStringLiteral("00007"));
    window->Control(1008)->setFocus();
    qobject_cast<QLineEdit *>(window->Control(1008))->selectAll();
    QTest::keyClicks(window->Control(1008), QStringLiteral("123456"));
    EXPECT_EQ(Text(1008), QStringLiteral("99999")); // at once, before leaving
    QTest::keyClicks(window->Control(1008), QStringLiteral("ab"));
    EXPECT_EQ(Text(1008), QStringLiteral("99999")); // digits only

    TypeAndLeave(1009, QStringLiteral("300"));
    EXPECT_EQ(Text(1009), QStringLiteral("255"));

    const std::pair<const char *, const char *> lows[] = {{"-40", "-35"}, {"60", "55"}, {"-35", "-35"}, {"12", "12"}};
    for (const auto &[typed, shown] : lows) {
        TypeAndLeave(1017, QString::fromUtf8(typed));
        EXPECT_EQ(Text(1017), QString::fromUtf8(shown)) << typed;
    }
    const std::pair<const char *, const char *> highs[] = {{"200", "115"}, {"0", "1"}, {"x", ""}, {"70", "70"}};
    for (const auto &[typed, shown] : highs) {
        TypeAndLeave(1015, QString::fromUtf8(typed));
        EXPECT_EQ(Text(1015), QString::fromUtf8(shown)) << typed;
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(EntryTest, FanSpeedsMoveTheBandPointsInPlace)
{
    Edit(1053)->setFocus();
    Edit(1053)->selectAll();
    QTest::keyClicks(Edit(1053), QStringLiteral("150"));
    EXPECT_EQ(Text(1053), QStringLiteral("100"));
    const FanCurve &curve = window->Plot().Curve();
    EXPECT_EQ(curve.curveFan[201], 100);
    EXPECT_EQ(curve.curveFan[255], 100);
    EXPECT_EQ(curve.topBandIndex, 201);

    Edit(1054)->setFocus();
    Edit(1054)->selectAll();
    QTest::keyClicks(Edit(1054), QStringLiteral("50"));
    EXPECT_EQ(curve.curveFan[101], 50);
    EXPECT_EQ(curve.curveFan[100], 50);
    EXPECT_EQ(window->Plot().ShutOffLine(), (std::vector<QPointF>{{41, 0}, {41, 50}, {101, 50}}));
}

TEST_F(EntryTest, OptionListsThatChangeOthers)
{
    Combo(1024)->setCurrentIndex(1);
    window->Entry().OnCbnSelchangeTachoAlarm();
    EXPECT_EQ(Text(1014), QStringLiteral("N/A"));
    EXPECT_FALSE(Enabled(1014));

    Combo(1018)->setCurrentIndex(0);
    Combo(1024)->setCurrentIndex(0);
    window->Entry().OnCbnSelchangeTachoAlarm();
    EXPECT_EQ(Text(1014), QString());
    EXPECT_TRUE(Enabled(1014));
    EXPECT_EQ(Text(1018), QStringLiteral("Low"));

    Combo(1022)->setCurrentIndex(1);
    window->Entry().OnCbnSelchangeInputType();
    EXPECT_EQ(Text(1026), QStringLiteral("Voltage Top Band(V)"));
    EXPECT_EQ(Text(1013), QString());
    EXPECT_EQ(Text(1033), QString());
    Combo(1022)->setCurrentIndex(0);
    window->Entry().OnCbnSelchangeInputType();
    EXPECT_EQ(Text(1013), QStringLiteral("N/A"));
}

TEST_F(EntryTest, AValueStillBeingTypedIsCheckedBeforeASave)
{
    QTemporaryDir dir;
    Edit(1056)->setFocus();
    Edit(1056)->selectAll();
    QTest::keyClicks(Edit(1056), QStringLiteral("70"));
    ui.saveNames.push_back(dir.filePath(QStringLiteral("p.dat")));
    window->OnBnClickedSaveFile();
    EXPECT_EQ(Text(1056), QStringLiteral("63"));
    EXPECT_EQ(window->Plot().Curve().topBandIndex, 253);
    QFile file(dir.filePath(QStringLiteral("p.dat")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(static_cast<int>(file.readAll()[267]), 63);
}

TEST_F(EntryTest, LeavingTheWindowChecksTheFieldOnce)
{
    Edit(1056)->setFocus();
    Edit(1056)->selectAll();
    QTest::keyClicks(Edit(1056), QStringLiteral("2.5"));
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(Edit(1056), &away);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(Text(1056), QStringLiteral("50"));
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason); // a context menu is not leaving
    Edit(1056)->setText(QStringLiteral("2.5"));
    QApplication::sendEvent(Edit(1056), &popup);
    EXPECT_EQ(ui.boxes.size(), 1u);
}
