// The COM Setting dialog, where the user picks the controller's port.
#pragma once

#include "PortList.h"

#include <QDialog>

class QComboBox;
class QPushButton;

// "COM Setting": the user picks the controller's port; 9600 baud, 8N1, no flow control.
class comsetting : public QDialog
{
    Q_OBJECT
public:
    comsetting(const ComSettings &current, std::vector<PortEntry> ports, QWidget *parent = nullptr);

    // Valid after OK.
    ComSettings Settings() const { return settings; }
    QComboBox *PortCombo() const { return combo; }
    QPushButton *OkButton() const { return ok; }

    // The entry to preselect: the port used last, or the only port there is.
    static int Preselection(const std::vector<PortEntry> &ports, const QString &lastDevice);

private:
    void OnSelectionChanged();

    std::vector<PortEntry> ports;
    ComSettings settings;
    QComboBox *combo = nullptr;
    QPushButton *ok = nullptr;
};
