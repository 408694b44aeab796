// quelta-ctl on a desktop: the word it gives when the PSU refuses this user, and the entry
// that starts Quelta at login.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <sstream>

#include "app/ctl/autostart.h"
#include "app/ctl/run_ctl.h"
#include "device/recording_sleeper.h"
#include "sim/simulated_bus.h"
#include "support/denying_hid_bus.h"
#include "support/temp_folder.h"

namespace app::ctl {
namespace {

struct Result {
  int code;
  std::string out, err;
};

struct SimulatedHolder {
  sim::SimulatedBus simulated;
};

// The simulated devices, as the real bus would show them to a user who may not open the
// given products: their opens fail with `error`.
class RefusingDevices : private SimulatedHolder, public device::DenyingHidBus {
 public:
  RefusingDevices(std::set<std::uint16_t> products, int error)
      : DenyingHidBus(simulated, std::move(products), error) {}
};

// quelta-ctl in this process without --simulate, on devices the test chooses, with its lock
// file and every file it writes in a fresh directory.
struct DesktopRig {
  void Refuse(std::set<std::uint16_t> products, int error = EACCES) {
    host.deviceBus = [products, error] {
      return std::make_unique<RefusingDevices>(products, error);
    };
  }
  Result Run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = RunCtl(args, out, err, host);
    return {code, out.str(), err.str()};
  }

  testing_support::TempFolder scratch;
  const std::filesystem::path dir = scratch.Path();
  device::RecordingSleeper sleeper;
  CtlHost host{dir, sleeper, [] { return 0.0; }, {}, dir / "lib" / "quelta"};
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const std::string kPsuDenied =
    "quelta-ctl: the PSU controller is at sim:hid/0 but this user may not open it; install the "
    "package's udev rule or run `sudo udevadm trigger` after installing it\n";

TEST(QueltaCtlAccess, APsuThisUserMayNotOpenIsNamedByListProbeAndStatusWithExitTwo) {
  DesktopRig rig;
  rig.Refuse({0x4001});
  for (const std::vector<std::string>& command :
       {std::vector<std::string>{"status"}, {"status", "--json"}, {"probe"}}) {
    const Result result = rig.Run(command);
    EXPECT_EQ(result.code, 2) << command[0];
    EXPECT_EQ(result.err, kPsuDenied) << command[0];
    EXPECT_EQ(result.out, "") << command[0];
  }
  // The trace wraps the bus; the reason gets through it.
  const Result traced = rig.Run({"--trace", (rig.dir / "trace.txt").string(), "status"});
  EXPECT_EQ(traced.code, 2);
  EXPECT_EQ(traced.err, kPsuDenied);

  const Result list = rig.Run({"list"});
  EXPECT_EQ(list.code, 2);
  EXPECT_EQ(list.err, kPsuDenied);
  EXPECT_TRUE(Contains(list.out, "PSU controller  VID_1044&PID_4001  present")) << list.out;
}

TEST(QueltaCtlAccess, ARefusedGaugeFailsOnlyTheListAndOtherFailuresKeepTheirOwnWord) {
  DesktopRig rig;
  rig.Refuse({0x4100});
  const Result list = rig.Run({"list"});
  EXPECT_EQ(list.code, 2);
  EXPECT_EQ(list.err,
            "quelta-ctl: the gauge panel is at sim:hid/1 but this user may not open it; install "
            "the package's udev rule or run `sudo udevadm trigger` after installing it\n");
  EXPECT_EQ(rig.Run({"status"}).code, 0);
  EXPECT_EQ(rig.Run({"probe"}).out, "550\n");

  // A node that vanished is not a question of permission.
  rig.Refuse({0x4001}, ENODEV);
  const Result gone = rig.Run({"status"});
  EXPECT_EQ(gone.code, 2);
  EXPECT_EQ(gone.err,
            "quelta-ctl: the PSU controller (VID_1044&PID_4001) was not found or could not be "
            "opened\n");
  EXPECT_EQ(rig.Run({"list"}).code, 0);

  // Everything open: no word at all.
  rig.Refuse({});
  const Result fine = rig.Run({"list"});
  EXPECT_EQ(fine.code, 0);
  EXPECT_EQ(fine.err, "");
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(QueltaCtlAutostart, OnOffAndStatusRoundTripInTheUsersConfigFolder) {
  DesktopRig rig;
  const ScopedEnv config("XDG_CONFIG_HOME", (rig.dir / "config").string());
  const std::filesystem::path entry = rig.dir / "config" / "autostart" / "quelta.desktop";

  // Off by default, and off again is no error.
  EXPECT_EQ(rig.Run({"autostart", "status"}).out, "off\n");
  EXPECT_EQ(rig.Run({"autostart", "off"}).code, 0);

  const Result on = rig.Run({"autostart", "on"});
  ASSERT_EQ(on.code, 0) << on.err;
  EXPECT_EQ(on.out, "autostart on: " + entry.string() + "\n");
  EXPECT_EQ(ReadFile(entry),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Quelta\n"
            "Comment=PSU monitor in the notification area\n"
            "Exec=" +
                (rig.dir / "lib" / "quelta" / "quelta").string() +
                " --tray\n"
                "Icon=quelta\n"
                "Terminal=false\n"
                "X-GNOME-Autostart-enabled=true\n");
  EXPECT_EQ(rig.Run({"autostart", "status"}).out, "on\n");
  EXPECT_EQ(rig.Run({"autostart", "on"}).code, 0);  // twice is still one entry
  EXPECT_EQ(rig.Run({"autostart", "status"}).out, "on\n");

  const Result off = rig.Run({"autostart", "off"});
  EXPECT_EQ(off.code, 0);
  EXPECT_EQ(off.out, "autostart off: " + entry.string() + "\n");
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_EQ(rig.Run({"autostart", "status"}).out, "off\n");

  EXPECT_EQ(rig.Run({"autostart"}).code, 1);
  EXPECT_EQ(rig.Run({"autostart", "maybe"}).code, 1);
}

TEST(QueltaCtlAutostart, AnEntryTheDesktopSwitchedOffCountsAsOffAndAFileInTheWayFails) {
  DesktopRig rig;
  const ScopedEnv config("XDG_CONFIG_HOME", (rig.dir / "config").string());
  const std::filesystem::path folder = rig.dir / "config" / "autostart";
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "quelta.desktop") << "[Desktop Entry]\nExec=quelta --tray\nHidden=true\n";
  EXPECT_EQ(rig.Run({"autostart", "status"}).out, "off\n");
  std::ofstream(folder / "quelta.desktop")
      << "[Desktop Entry]\nExec=quelta --tray\nX-GNOME-Autostart-enabled=false\n";
  EXPECT_EQ(rig.Run({"autostart", "status"}).out, "off\n");
  // Hidden in another group is not the entry's.
  std::ofstream(folder / "quelta.desktop")
      << "[Desktop Entry]\nExec=quelta --tray\n[Desktop Action x]\nHidden=true\n";
  EXPECT_EQ(rig.Run({"autostart", "status"}).out, "on\n");

  // Where a folder stands in place of the entry, on and off fail with exit 5.
  std::filesystem::remove(folder / "quelta.desktop");
  std::filesystem::create_directories(folder / "quelta.desktop" / "inside");
  EXPECT_EQ(rig.Run({"autostart", "on"}).code, 5);
  EXPECT_EQ(rig.Run({"autostart", "off"}).code, 5);
}

// Whatever stands in the entry's place is named for what it is, with exit 4; only Quelta's own
// entry says "on". A FIFO is never opened for reading, so status cannot hang on one.
TEST(QueltaCtlAutostart, StatusNamesWhatStandsInTheEntrysPlaceWithExitFour) {
  DesktopRig rig;
  const ScopedEnv config("XDG_CONFIG_HOME", (rig.dir / "config").string());
  const std::filesystem::path folder = rig.dir / "config" / "autostart";
  const std::filesystem::path entry = folder / "quelta.desktop";
  std::filesystem::create_directories(folder);
  const auto status = [&](const std::string& what) {
    const Result result = rig.Run({"autostart", "status"});
    EXPECT_EQ(result.code, 4) << what;
    EXPECT_EQ(result.out, "") << what;
    EXPECT_EQ(result.err, "quelta-ctl: " + entry.string() + what);
  };

  std::filesystem::create_directory(entry);
  status(" is a folder, not an entry\n");
  std::filesystem::remove(entry);

  ASSERT_EQ(::mkfifo(entry.c_str(), 0600), 0);
  auto fifo = std::async(std::launch::async, [&] { return rig.Run({"autostart", "status"}); });
  if (fifo.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    // Let the stuck reader go, so the test ends and says why.
    const int writer = ::open(entry.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
    ADD_FAILURE() << "status did not come back from a FIFO within 5 s";
  }
  const Result fromFifo = fifo.get();
  EXPECT_EQ(fromFifo.code, 4);
  EXPECT_EQ(fromFifo.err, "quelta-ctl: " + entry.string() + " is a FIFO, not an entry\n");
  std::filesystem::remove(entry);

  std::ofstream(entry).close();
  status(" is empty\n");
  std::ofstream(entry) << "\x89PNG\r\n\x1a\n\x00\x01\xfe";
  status(" is not a desktop entry: it is not UTF-8 text\n");
  std::ofstream(entry) << "Exec=quelta --tray\n[Desktop Entry]\n";
  status(" is not a desktop entry: line 1: a value before any group\n");
  std::ofstream(entry) << "[Desktop Entry]\nType=Application\nthis is no key\n";
  status(" is not a desktop entry: line 3: neither a key=value nor a group\n");
  std::ofstream(entry) << "[Desktop Entry]\nType=Application\nExec=\"/usr/bin/quelta --tray\n";
  status(" is not a desktop entry: line 3: Exec is not a command line\n");
  std::ofstream(entry) << "[Desktop Entry]\nType=Application\nName=Quelta\n";
  status(" starts no program (no Exec)\n");
  std::ofstream(entry) << "[Desktop Entry]\nExec=/usr/bin/miner --quelta\n";
  status(" starts /usr/bin/miner, not Quelta\n");
  // A name that merely ends like ours is another program's.
  std::ofstream(entry) << "[Desktop Entry]\nExec=/opt/notquelta --tray\n";
  status(" starts /opt/notquelta, not Quelta\n");

  // Ours, quoted and escaped as `autostart on` writes it, or wherever the program lies.
  std::ofstream(entry) << "[Desktop Entry]\nExec=\"/home/ann/My \\\\$Apps/quelta\" --tray\n";
  EXPECT_EQ(rig.Run({"autostart", "status"}).out, "on\n");
  std::ofstream(entry) << "# made by hand\n[Desktop Entry]\nExec=quelta\n";
  EXPECT_EQ(rig.Run({"autostart", "status"}).out, "on\n");
}

TEST(QueltaCtlAutostart, AProgramPathWithALineBreakIsRefusedAndNothingIsWritten) {
  DesktopRig rig;
  const ScopedEnv config("XDG_CONFIG_HOME", (rig.dir / "config").string());
  const std::filesystem::path entry = rig.dir / "config" / "autostart" / "quelta.desktop";
  rig.host.programFolder = rig.dir / "lib\nExec=/tmp/evil" / "quelta";
  const Result on = rig.Run({"autostart", "on"});
  EXPECT_EQ(on.code, 5);
  EXPECT_EQ(on.out, "");
  EXPECT_TRUE(Contains(on.err, "quelta-ctl: the program's path holds a control character"))
      << on.err;
  EXPECT_FALSE(std::filesystem::exists(entry));
  // A tab is a control character too; plain odd signs are quoted instead.
  rig.host.programFolder = rig.dir / "lib\tx";
  EXPECT_EQ(rig.Run({"autostart", "on"}).code, 5);
  rig.host.programFolder = rig.dir / "my \"odd\" $lib #1";
  ASSERT_EQ(rig.Run({"autostart", "on"}).code, 0);
  EXPECT_EQ(rig.Run({"autostart", "status"}).out, "on\n");
}

TEST(QueltaCtlAutostart, MissingFoldersAreMadePrivateAndFoldersThereAreLeftAlone) {
  DesktopRig rig;
  const ScopedEnv config("XDG_CONFIG_HOME", (rig.dir / "new" / "config").string());
  ASSERT_EQ(rig.Run({"autostart", "on"}).code, 0);
  const auto mode = [](const std::filesystem::path& folder) {
    struct stat info {};
    EXPECT_EQ(::stat(folder.c_str(), &info), 0) << folder;
    return info.st_mode & 07777;
  };
  EXPECT_EQ(mode(rig.dir / "new"), 0700u);
  EXPECT_EQ(mode(rig.dir / "new" / "config"), 0700u);
  EXPECT_EQ(mode(rig.dir / "new" / "config" / "autostart"), 0700u);

  // A config folder the user keeps open to others stays as it is; only what is made is private.
  std::filesystem::create_directories(rig.dir / "shared");
  ASSERT_EQ(::chmod((rig.dir / "shared").c_str(), 0755), 0);
  const ScopedEnv shared("XDG_CONFIG_HOME", (rig.dir / "shared").string());
  ASSERT_EQ(rig.Run({"autostart", "on"}).code, 0);
  EXPECT_EQ(mode(rig.dir / "shared"), 0755u);
  EXPECT_EQ(mode(rig.dir / "shared" / "autostart"), 0700u);
}

TEST(AutostartFile, FollowsTheBaseDirectoryRules) {
  EXPECT_EQ(AutostartFile({"/home/ann/.cfg", "/home/ann"}),
            std::filesystem::path("/home/ann/.cfg/autostart/quelta.desktop"));
  // A relative XDG_CONFIG_HOME is ignored.
  EXPECT_EQ(AutostartFile({"cfg", "/home/ann"}),
            std::filesystem::path("/home/ann/.config/autostart/quelta.desktop"));
  EXPECT_EQ(AutostartFile({"", "/home/ann"}),
            std::filesystem::path("/home/ann/.config/autostart/quelta.desktop"));
  EXPECT_THROW(AutostartFile({"", ""}), std::runtime_error);
}

TEST(AutostartEntry, AProgramPathWithSpacesOrSignsIsQuotedForTheExecLine) {
  EXPECT_TRUE(
      Contains(AutostartEntry("/usr/lib/quelta/quelta"), "\nExec=/usr/lib/quelta/quelta --tray\n"));
  EXPECT_TRUE(Contains(AutostartEntry("/home/ann/My Apps/quelta"),
                       "\nExec=\"/home/ann/My Apps/quelta\" --tray\n"));
  // In the file: \\$ and 100%% (a $ escaped inside the quotes, a % doubled).
  EXPECT_TRUE(Contains(AutostartEntry("/opt/$x/100%/quelta"),
                       "\nExec=\"/opt/\\\\$x/100%%/quelta\" --tray\n"));
}

TEST(AutostartEntry, EveryProgramPathTheWriterTakesIsReadBackExactly) {
  for (const std::string program :
       {"/usr/lib/quelta/quelta", "/home/ann/My Apps/quelta", "/opt/$x/100%/quelta",
        "/a\\b/\"q\"/`x`/quelta", "/tmp/\xC3\xBC n\xC3\xAF #;&|<>*?()'/quelta", " /lead/quelta"}) {
    EXPECT_EQ(AutostartPathProblem(program), "") << program;
    const EntryReading read = ReadAutostartEntry(AutostartEntry(program));
    EXPECT_EQ(read.verdict, EntryVerdict::On) << program;
    EXPECT_EQ(read.detail, program);
  }
  const EntryReading other = ReadAutostartEntry(AutostartEntry("/usr/bin/quelta-ctl"));
  EXPECT_EQ(other.verdict, EntryVerdict::ForeignExec);
  EXPECT_EQ(other.detail, "/usr/bin/quelta-ctl");
  // What an entry cannot carry: a line break, any other control character, bytes not UTF-8.
  for (const std::string program :
       {"/a\nb/quelta", "/a\rb/quelta", "/a\x7F/quelta", "/a\xC3(/quelta", "/a\xED\xA0\x80/q"}) {
    EXPECT_NE(AutostartPathProblem(program), "") << program;
  }
}

TEST(ExecArguments, UndoTheStringAndQuoteEscapesAndRefuseBrokenLines) {
  using Arguments = std::vector<std::string>;
  EXPECT_EQ(ExecArguments("quelta --tray"), (Arguments{"quelta", "--tray"}));
  EXPECT_EQ(ExecArguments("  \"/a b/quelta\"\t-x  "), (Arguments{"/a b/quelta", "-x"}));
  // In the file: "a\\$b\\\\c\\"d" holds a$b\c"d; \s is a blank that splits.
  EXPECT_EQ(ExecArguments("\"a\\\\$b\\\\\\\\c\\\\\"d\""), (Arguments{"a$b\\c\"d"}));
  EXPECT_EQ(ExecArguments("a\\sb"), (Arguments{"a", "b"}));
  EXPECT_EQ(ExecArguments("100%% %f"), (Arguments{"100%", "%f"}));
  EXPECT_EQ(ExecArguments("\"\""), (Arguments{""}));
  EXPECT_EQ(ExecArguments(""), Arguments{});
  for (const char* broken : {"\"open", "a\"b\"", "\"x\"y", "a$b", "\\q", "\"\\\\q\"", "a\\"}) {
    EXPECT_EQ(ExecArguments(broken), std::nullopt) << broken;
  }
}

}  // namespace
}  // namespace app::ctl
