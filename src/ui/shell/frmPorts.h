#pragma once

#include "ports/PortCatalog.h"
#include "ui/shell/Form.h"

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tqdt {

// The machine's serial ports as a technician recognises them, and the "COMn" names mapped to them
// or to a device server. The mappings live in the settings file's section "Ports"; each is written
// at once, changing only its own line.
class frmPorts : public Form {
    Q_OBJECT
public:
    // serialDir is where the stable device links live (Linux's /dev/serial).
    explicit frmPorts(Host& host, QWidget* parent = nullptr,
                      QString serialDir = QStringLiteral("/dev/serial"));

    // Fills both lists again: the machine's ports and the sixteen mappings.
    void Refresh();
    void lstPorts_Click(int row);
    void cmdMap_Click();
    void cmdUnmap_Click();

    QTableWidget* lstPorts = nullptr;
    QTableWidget* lstMap = nullptr;
    QComboBox* cboCom = nullptr;
    QLineEdit* txtTarget = nullptr;
    QLabel* lblNote = nullptr;
    QPushButton* cmdMap = nullptr;
    QPushButton* cmdUnmap = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdClose = nullptr;

    // The ports listed, in the order of the rows.
    std::vector<MachinePort> ports;

protected:
    void Form_Load() override { Refresh(); }

private:
    bool write(const QString& value);

    QString m_serialDir;
};

} // namespace tqdt
