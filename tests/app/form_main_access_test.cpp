// The main window on a PSU controller that this user may not open.
#include <cerrno>
#include <memory>
#include <set>

#include "support/denying_hid_bus.h"
#include "support/form_main_fixture.h"

namespace mainwindow::testing {
namespace {

// The window on the simulated devices behind a bus that refuses some of them.
class FormMainAccessTest : public FormMainTest {
 protected:
  ~FormMainAccessTest() override { form_.reset(); }  // before the bus it runs on

  TFormMain& CreateRefusing(std::set<std::uint16_t> products, int error) {
    refusing_ = std::make_unique<device::DenyingHidBus>(MakeBus(), std::move(products), error);
    return Create(refusing_.get());
  }

  std::unique_ptr<device::DenyingHidBus> refusing_;
};

TEST_F(FormMainAccessTest, APsuThatRefusesThisUserIsExplainedBeforeHandleFail) {
  TFormMain& form = CreateRefusing({0x4001}, EACCES);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{
                "the PSU controller is at sim:hid/0 but this user may not open it; install the "
                "package's udev rule or run `sudo udevadm trigger` after installing it",
                "**** HARDWARE Handle FAIL ****"}));
  EXPECT_TRUE(form.CloseOnActivate());
  EXPECT_FALSE(form.Started());
}

TEST_F(FormMainAccessTest, AControllerThatFailsForAnotherReasonShowsHandleFailAlone) {
  TFormMain& form = CreateRefusing({0x4001}, EBUSY);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"**** HARDWARE Handle FAIL ****"}));
  EXPECT_TRUE(form.CloseOnActivate());
}

TEST_F(FormMainAccessTest, ARefusedGaugePanelDoesNotStopTheWindow) {
  TFormMain& form = CreateRefusing({0x4100}, EACCES);
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  EXPECT_TRUE(form.Started());
}

}  // namespace
}  // namespace mainwindow::testing
