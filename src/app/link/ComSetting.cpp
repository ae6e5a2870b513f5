// The COM Setting dialog: port list, preselection and the OK rule.
#include "ComSetting.h"

#include "DialogUnits.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

comsetting::comsetting(const ComSettings &current, std::vector<PortEntry> portList, QWidget *parent)
    : QDialog(parent), ports(std::move(portList)), settings(current)
{
    setWindowTitle(QStringLiteral("COM Setting"));
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(309, 177));

    auto *label = new QLabel(QStringLiteral("COM"), this);
    label->setGeometry(units.Rect(14, 16, 20, 8));
    combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("ctl1045"));
    combo->setAccessibleName(QStringLiteral("COM"));
    label->setBuddy(combo);
    combo->setEditable(true); // a device path may be typed as well
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setGeometry(units.Rect(40, 14, 255, 14));
    combo->lineEdit()->setPlaceholderText(QStringLiteral("No port"));
    for (const PortEntry &port : ports)
        combo->addItem(port.DisplayName(), port.device);
    combo->setCurrentIndex(Preselection(ports, current.device));
    if (combo->currentIndex() < 0)
        combo->setEditText(QString());

    auto *line = new QLabel(
        QStringLiteral("Baud Rate: 9600\nData: 8 Bit\n\rParity: None\n\rStop bit: 1Bit\n\rFlow Conttrol: None"), this);
    line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    line->setGeometry(units.Rect(40, 40, 150, 60));

    ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.Rect(198, 156, 50, 14));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(units.Rect(252, 156, 50, 14));

    connect(combo, &QComboBox::currentTextChanged, this, &comsetting::OnSelectionChanged);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, [this] {
        const auto device = DeviceOfEntry(combo->currentText(), ports);
        if (!device)
            return;
        settings.device = *device;
        settings.portNumber = ParsePortNumber(combo->currentText()).value_or(settings.portNumber);
        settings.baudRate = 9600;
        accept();
    });
    OnSelectionChanged();
}

int comsetting::Preselection(const std::vector<PortEntry> &ports, const QString &lastDevice)
{
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (SamePort(ports[i].device, lastDevice)) // a remembered by-id name finds its device
            return static_cast<int>(i);
    }
    return ports.size() == 1 ? 0 : -1;
}

void comsetting::OnSelectionChanged()
{
    // A text that names no port never gives a port: OK waits for one that does.
    ok->setEnabled(DeviceOfEntry(combo->currentText(), ports).has_value());
}
