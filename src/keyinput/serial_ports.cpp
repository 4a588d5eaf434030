#include "keyinput/serial_ports.h"

#include <QSerialPortInfo>

std::vector<SerialPortEntry> ListSerialPorts() {
    std::vector<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString description = info.description();
        if (!info.manufacturer().isEmpty() && !description.contains(info.manufacturer())) {
            description = info.manufacturer() + u' ' + description;
        }
        ports.push_back({info.systemLocation(), description.trimmed()});
    }
    return ports;
}
