// Tests of the COM Setting dialog.
#include "ComSetting.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {
const std::vector<PortEntry> kTwo{{"/dev/null", "Null modem"}, {"/dev/zero", kSimulatorDescription}};
} // namespace

TEST(ComSetting, PreselectsTheLastPortOrTheOnlyOne)
{
    EXPECT_EQ(comsetting::Preselection(kTwo, QStringLiteral("/dev/zero")), 1);
    EXPECT_EQ(comsetting::Preselection(kTwo, QStringLiteral("/dev/ttyUSB3")), -1);
    EXPECT_EQ(comsetting::Preselection(kTwo, QString()), -1);
    EXPECT_EQ(comsetting::Preselection({kTwo[0]}, QStringLiteral("/dev/ttyUSB3")), 0);
    EXPECT_EQ(comsetting::Preselection({}, QStringLiteral("/dev/ttyUSB3")), -1);
}

TEST(ComSetting, OkOnlyForATextThatNamesAPortAndAlways9600)
{
    comsetting dialog(ComSettings{QStringLiteral("/dev/zero"), 1, 4800}, kTwo);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("COM Setting"));
    EXPECT_EQ(dialog.PortCombo()->currentText(), QStringLiteral("Orvex simulated controller (/dev/zero)"));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());

    dialog.PortCombo()->setEditText(QStringLiteral("not a port"));
    EXPECT_FALSE(dialog.OkButton()->isEnabled());
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected); // nothing accepted

    dialog.PortCombo()->setEditText(QStringLiteral("/dev/null"));
    EXPECT_TRUE(dialog.OkButton()->isEnabled());
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Settings().device, QStringLiteral("/dev/null"));
    EXPECT_EQ(dialog.Settings().baudRate, 9600);

    comsetting none(ComSettings{}, kTwo);
    EXPECT_EQ(none.PortCombo()->currentText(), QString());
    EXPECT_FALSE(none.OkButton()->isEnabled());
}
