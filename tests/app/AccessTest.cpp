// The main window for screen readers and the keyboard: names, the chart's description, the menu keys.
#include "WindowFixture.h"

#include "ProfileDocument.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QTimer>

namespace {
class AccessTest : public WindowTest
{
protected:
    QString Name(QWidget *widget) const
    {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
        return face ? face->text(QAccessible::Name) : QString();
    }
    QString Description() const
    {
        return QAccessible::queryAccessibleInterface(window->Chart())->text(QAccessible::Description);
    }
    // Presses the key on the focused control; the texts of the menu it opened, closed again.
    QStringList MenuOpenedBy(QWidget *focused, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QStringList shown;
        QTimer::singleShot(0, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                for (const QAction *action : menu->actions())
                    shown << action->text();
                menu->close();
            }
        });
        focused->setFocus();
        QTest::keyClick(focused, key, modifiers);
        QCoreApplication::processEvents();
        return shown;
    }
};
} // namespace

TEST_F(AccessTest, EveryControlIsNamedByItsLabelWithoutLineBreaks)
{
    window->show();
    const std::pair<int, const char *> named[] = {
        {1008, "Software Number"},
        {1009, "Version number"},
        {1053, "Fan Speed Top Band(%)"},
        {1056, "Temperature Top Band(°C)"},
        {1054, "Fan Speed Bottom Band(%)"},
        {1055, "Temperature Bottom Band(°C)"},
        {1013, "Low Temperature Shut Off(°C)"},
        {1015, "High Temperature Alarm(°C)"},
        {1017, "Low Temperature Alarm(°C)"},
        {1022, "Input Control Type"},
        {1014, "Approximate Speed Cap (RPM)"},
        {1018, "Alarm Active State"},
        {1007, "Connect to PORT"},
        {1004, "Download To Controller"},
        {1057, "Upload From Controller"},
        {1006, "Load Default Template"},
        {1003, "Save File to PC"},
        {1005, "Open File"},
        {1031, "Enable Multipoint"},
        {1052, "monitor"},
        {1000, "Fan curve"},
    };
    for (const auto &[id, name] : named)
        EXPECT_EQ(Name(window->Control(id)), QString::fromUtf8(name)) << id;
    // The text parts of the editable lists go by the list's label too.
    for (int id : {1013, 1015, 1017})
        EXPECT_EQ(Name(Combo(id)->lineEdit()), Name(Combo(id))) << id;
    // The visible text keeps its lines.
    EXPECT_EQ(Text(1004), QStringLiteral("\nDownload \nTo Controller"));

    // A list is named by its label, whatever it holds; the voltage form renames the fields.
    Combo(1022)->setCurrentIndex(1);
    EXPECT_EQ(Name(Combo(1022)), QStringLiteral("Input Control Type"));
    window->ApplyVoltageLabels();
    EXPECT_EQ(Name(window->Control(1056)), QStringLiteral("Voltage Top Band(V)"));
}

TEST_F(AccessTest, TheChartSaysTheCurveAndKeepsItCurrent)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(window->Chart());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Chart);
    const QString bands = Description();
    EXPECT_TRUE(bands.startsWith(QStringLiteral("Band curve:"))) << bands.toStdString();
    for (ProfileField field : {ProfileField::FanSpeedBottomBand, ProfileField::BottomBand,
                               ProfileField::FanSpeedTopBand, ProfileField::TopBand, ProfileField::LowShutOff})
        EXPECT_TRUE(bands.contains(window->Document().Text(field))) << window->Document().Text(field).toStdString();

    // A band typed changes what is said.
    auto *top = qobject_cast<QLineEdit *>(window->Control(1053));
    top->setFocus();
    top->selectAll();
    QTest::keyClicks(top, QStringLiteral("77"));
    EXPECT_TRUE(Description().contains(QStringLiteral("77 %"))) << Description().toStdString();

    // Multipoint mode: the number of points, one added and the plot cleared.
    window->show();
    QTest::mouseClick(Check(1031), Qt::LeftButton);
    window->Chart()->setFocus();
    const QString before = Description();
    EXPECT_TRUE(before.startsWith(QStringLiteral("Multipoint curve"))) << before.toStdString();
    QTest::keyClick(window->Chart(), Qt::Key_Return);
    window->Multipoint().OnChartTimer();
    const int points = window->Document().Curve().DefinedPointCount();
    EXPECT_EQ(Description(),
              QStringLiteral("Multipoint curve, %1 %2.").arg(points).arg(points == 1 ? "point" : "points"));
    EXPECT_NE(Description(), before);
}

TEST_F(AccessTest, ShiftF10AndTheMenuKeyOpenTheMenuTheRightButtonOpens)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    // The window's menu on a button and on the chart in band mode.
    for (QWidget *focused : {window->Control(1006), static_cast<QWidget *>(window->Chart())}) {
        for (const auto &[key, modifiers] :
             {std::pair{Qt::Key_F10, Qt::ShiftModifier}, std::pair{Qt::Key_Menu, Qt::NoModifier}}) {
            const QStringList shown = MenuOpenedBy(focused, key, modifiers);
            EXPECT_TRUE(shown.contains(QStringLiteral("&About Orvex Interface")))
                << focused->objectName().toStdString() << " " << shown.join(QLatin1Char('|')).toStdString();
        }
    }
    // A text field keeps its own menu, as the right button opens it there.
    const QStringList field = MenuOpenedBy(window->Control(1008), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_FALSE(field.isEmpty());
    EXPECT_FALSE(field.contains(QStringLiteral("&About Orvex Interface")));
    // F10 alone opens nothing.
    EXPECT_TRUE(MenuOpenedBy(window->Control(1006), Qt::Key_F10).isEmpty());
}

TEST_F(AccessTest, OnTheChartTheMenuKeysBringThePointLinker)
{
    window->show();
    QTest::mouseClick(Check(1031), Qt::LeftButton);
    QWidget *chart = window->Chart();
    chart->setFocus();
    QTest::keyClick(chart, Qt::Key_Return);
    window->Multipoint().OnChartTimer();
    ASSERT_EQ(window->Document().Curve().DefinedPointCount(), 1);

    ui.linkerResults.push_back(PointLinkerChoice::Clear);
    QTest::keyClick(chart, Qt::Key_F10, Qt::ShiftModifier);
    window->Multipoint().OnChartTimer();
    EXPECT_EQ(ui.linkerShown, 1);
    EXPECT_EQ(window->Document().Curve().DefinedPointCount(), 0);
    EXPECT_EQ(Text(1033), QStringLiteral("Points: 0"));

    // Undo of the Point Linker takes the last point back.
    QTest::keyClick(chart, Qt::Key_Left);
    QTest::keyClick(chart, Qt::Key_Return);
    window->Multipoint().OnChartTimer();
    ASSERT_EQ(window->Document().Curve().DefinedPointCount(), 1);
    ui.linkerResults.push_back(PointLinkerChoice::Undo);
    QTest::keyClick(chart, Qt::Key_Menu);
    window->Multipoint().OnChartTimer();
    EXPECT_EQ(ui.linkerShown, 2);
    EXPECT_EQ(window->Document().Curve().DefinedPointCount(), 0);
}

TEST_F(AccessTest, TabReachesTheChartAndItShowsFocus)
{
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    window->Control(1007)->setFocus();
    const QImage unfocused = window->Chart()->grab().toImage();
    int presses = 0;
    while (QApplication::focusWidget() != window->Chart() && presses < 60) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ++presses;
    }
    ASSERT_EQ(QApplication::focusWidget(), window->Chart()) << presses;
    EXPECT_NE(window->Chart()->grab().toImage(), unfocused); // the focus frame is drawn
}
