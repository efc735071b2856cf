#include "app/receiver_absence.h"

namespace palomind {
namespace {

std::string ReasonText(PortUnavailable reason) {
    switch (reason) {
        case PortUnavailable::NotPresent:
            return "デバイスがありません";
        case PortUnavailable::InUse:
            return "他のプログラムが使用中です";
        case PortUnavailable::NoPermission:
            return "使用する権限がありません";
        case PortUnavailable::NotSerial:
            return "シリアルポートではありません";
        case PortUnavailable::Unknown:
            break;
    }
    return "開けません";
}

// Membership of the device's group is what gives a user its serial ports
// (Debian's dialout); it takes effect at the next login.
std::string PermissionFix(const std::string& group) {
    if (group.empty()) return "デバイスの読み取り権限を確認してください";
    return "グループ「" + group + "」に加わると使えます (sudo adduser $USER " + group +
           " の後、ログインし直してください)";
}

std::string DeviceAndReason(const PortDiagnosis& diagnosis) {
    const std::string device = diagnosis.device.empty() ? "(デバイスなし)" : diagnosis.device;
    return device + ": " + ReasonText(diagnosis.reason);
}

}  // namespace

std::string ReceiverAbsenceNotice(const ReceiverAbsence& absence) {
    if (absence.portNumber == 0)
        return "受信機なし: 通信ポートが選ばれていません (設定 > 通信ポート)";
    std::string text = "受信機なし: COM" + std::to_string(absence.portNumber) + " " +
                       DeviceAndReason(absence.diagnosis);
    const PortDiagnosis& diagnosis = absence.diagnosis;
    if (diagnosis.reason == PortUnavailable::NoPermission && !diagnosis.group.empty())
        text += " (グループ「" + diagnosis.group + "」への参加が必要)";
    return text;
}

std::string PortDiagnosisLine(const PortDiagnosis& diagnosis) {
    std::string line = DeviceAndReason(diagnosis);
    if (diagnosis.reason == PortUnavailable::NoPermission)
        line += "。" + PermissionFix(diagnosis.group);
    return line;
}

}  // namespace palomind
