#include "platform/qt_serial_device_enumerator.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <map>

namespace palomind {

namespace {

// The device each link of the folder points at, by the device's canonical path.
std::map<QString, QString> LinksByTarget(const QString& folder) {
    std::map<QString, QString> links;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString target = entry.canonicalFilePath();
        // Two links to one device (none seen so far): the first by name wins.
        if (!target.isEmpty()) links.emplace(target, entry.absoluteFilePath());
    }
    return links;
}

}  // namespace

QtSerialDeviceEnumerator::QtSerialDeviceEnumerator(std::string byIdFolder)
    : byIdFolder_(std::move(byIdFolder)) {}

std::vector<SerialDevice> QtSerialDeviceEnumerator::Devices() {
    const std::map<QString, QString> links = LinksByTarget(QString::fromStdString(byIdFolder_));
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice device{info.portName().toStdString(),     info.systemLocation().toStdString(),
                            info.description().toStdString(),  info.manufacturer().toStdString(),
                            info.serialNumber().toStdString(), {}};
        const QString canonical = QFileInfo(info.systemLocation()).canonicalFilePath();
        if (const auto link = links.find(canonical); link != links.end()) {
            device.byIdPath = link->second.toStdString();
        }
        devices.push_back(std::move(device));
    }
    return devices;
}

}  // namespace palomind
