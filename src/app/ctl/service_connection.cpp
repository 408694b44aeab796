#include "app/ctl/service_connection.h"

#include "device/device_discovery.h"
#include "device/device_identity.h"

namespace app::ctl {
namespace {

// How often a service without a worker looks for the PSU, besides the bus's notices (which
// come early, before the device node can be opened).
constexpr std::chrono::milliseconds kRetryInterval{1000};

}  // namespace

ServiceConnection::ServiceConnection(Parts parts, std::function<void(const CompletedPoll&)> onPoll,
                                     std::function<void(bool connected)> onConnection,
                                     std::ostream& log)
    : parts_(parts),
      onPoll_(std::move(onPoll)),
      onConnection_(std::move(onConnection)),
      log_(log) {}

ServiceConnection::~ServiceConnection() {
  Stop();
}

void ServiceConnection::Begin() {
  std::weak_ptr<bool> alive = alive_;
  ui::EventLoop& loop = parts_.loop;
  parts_.bus.SetChangeListener([alive, &loop, this] {
    loop.Post([alive, this] {
      if (alive.lock()) TryStart();
    });
  });
  retryTimer_ = parts_.loop.StartTimer(kRetryInterval, [this] { TryStart(); });
  TryStart();
}

void ServiceConnection::Stop() {
  if (stopped_) return;
  stopped_ = true;
  parts_.bus.SetChangeListener({});
  alive_.reset();
  if (retryTimer_ != 0) parts_.loop.StopTimer(retryTimer_);
  handovers_.reset();  // hand-overs still queued find no one
  worker_.reset();
  pool_.StopAll();
}

void ServiceConnection::TryStart() {
  if (stopped_ || worker_) return;
  if (!device::IsDevicePresent(parts_.bus, device::kMonitorDevice.instanceText)) {
    Say("the PSU controller is not there; waiting for it");
    return;
  }
  handovers_ = std::make_shared<device::WorkerHandovers>();
  collector_ = std::make_unique<PollCollector>([this](const CompletedPoll& poll) { Poll(poll); });
  collector_->Attach(*handovers_, [this] { Ended(); });
  handovers_->PowerRatingReady = [this](std::int32_t rating) {
    rating_ = rating;
    if (rating == 0) {
      // The window would end here: a PSU of unknown rating is not polled.
      Say("***** Unsupport Power Type *****");
      if (worker_) worker_->Terminate();
      return;
    }
    Say("polling the " + std::to_string(rating) + " W PSU");
    onConnection_(true);
  };
  handovers_->StartFailed = [this](std::uint64_t) {
    Say("the PSU controller did not open or did not answer the reference read; trying again");
  };
  // Ready only once the worker's own start-up reads have succeeded.
  ready_.Clear();
  device::WorkerContext context{
      parts_.bus, parts_.accessMutex, ready_,    ready_.BeginGeneration(), parts_.reportSleeper,
      pause_,     parts_.loop,        handovers_};
  context.cycleInterval = parts_.cycleInterval;
  worker_ = pool_.Start(std::move(context));
}

void ServiceConnection::Poll(const CompletedPoll& poll) {
  if (stopped_) return;
  CompletedPoll told = poll;
  told.readings.PowerRating = rating_;
  onPoll_(told);
  if (!poll.anyRead && worker_ &&
      !device::IsDevicePresent(parts_.bus, device::kMonitorDevice.instanceText)) {
    // Unplugged: the window would let its worker go on the removal notice; so does the
    // service, and looks for the PSU again.
    Say("the PSU controller was removed");
    worker_->Terminate();
  }
}

void ServiceConnection::Ended() {
  if (stopped_) return;
  if (rating_ != 0) onConnection_(false);
  rating_ = 0;
  worker_.reset();
  pool_.ReapFinished();
  // The worker is gone: the poll it may have left open was told; tell that nothing is read
  // until the next one stands.
  CompletedPoll none;
  onPoll_(none);
}

void ServiceConnection::Say(const std::string& state) {
  if (state == said_) return;
  said_ = state;
  log_ << "quelta-ctl serve: " << state << std::endl;
}

}  // namespace app::ctl
