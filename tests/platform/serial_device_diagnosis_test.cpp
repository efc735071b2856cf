#include "platform/serial_device_diagnosis.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/pseudo_terminal.h"
#include "tests/support/test_folders.h"

namespace palomind::testing {
namespace {

namespace fs = std::filesystem;

// Someone who owns nothing here and belongs to no group of these files.
const DeviceUser kStranger{.uid = 54321, .groups = {54321}};

struct stat StatOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status;
}

class SerialDeviceDiagnosisTest : public ::testing::Test {
  protected:
    std::string File(const std::string& name, fs::perms perms) const {
        folder_.Write(name, "");
        fs::permissions(folder_.Path() / name, perms);
        return folder_.File(name);
    }

    ScratchFolder folder_;
};

TEST_F(SerialDeviceDiagnosisTest, DeviceThatIsNotThereIsNotPresent) {
    const std::string dangling = folder_.File("by-id-link");
    fs::create_symlink(folder_.Path() / "gone", dangling);
    for (const std::string& device : {folder_.File("ttyUSB9"), dangling, std::string()}) {
        EXPECT_EQ(
            DiagnoseSerialDevice(device, ThisProcessUser()),
            (PortDiagnosis{.device = device, .reason = PortUnavailable::NotPresent, .group = ""}))
            << device;
    }
}

TEST_F(SerialDeviceDiagnosisTest, UnreadableDeviceNamesTheGroupThatOwnsIt) {
    const std::string device = File("ttyACM0", fs::perms::owner_read | fs::perms::group_read);
    const gid_t owner = StatOf(device).st_gid;
    const group* ownerGroup = getgrgid(owner);
    ASSERT_NE(ownerGroup, nullptr);
    EXPECT_EQ(DiagnoseSerialDevice(device, kStranger),
              (PortDiagnosis{.device = device,
                             .reason = PortUnavailable::NoPermission,
                             .group = ownerGroup->gr_name}));
    // A member of that group may read it: it is refused for another reason.
    const DeviceUser member{.uid = 54321, .groups = {54321, owner}};
    EXPECT_NE(DiagnoseSerialDevice(device, member).reason, PortUnavailable::NoPermission);
}

TEST_F(SerialDeviceDiagnosisTest, ReadableFileIsNotASerialLine) {
    const std::string device = File("notes.txt", fs::perms::all);
    EXPECT_EQ(DiagnoseSerialDevice(device, kStranger).reason, PortUnavailable::NotSerial);
}

TEST_F(SerialDeviceDiagnosisTest, SerialLineThatOpensForTheSystemIsHeldByAnotherProgram) {
    PseudoTerminal receiver;
    EXPECT_EQ(DiagnoseSerialDevice(receiver.Path(), ThisProcessUser()).reason,
              PortUnavailable::InUse);
}

}  // namespace
}  // namespace palomind::testing
