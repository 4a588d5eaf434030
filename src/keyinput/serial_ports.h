#pragma once

#include <QString>
#include <vector>

// A serial port of the machine, as the port list shows it.
struct SerialPortEntry {
    QString path;         // /dev/ttyUSB0
    QString description;  // maker and product, where the system knows them
};

std::vector<SerialPortEntry> ListSerialPorts();
