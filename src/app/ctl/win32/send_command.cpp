// quelta-ctl send on Windows: the message is posted to the window of class "Quelta".
#include "app/ctl/ctl_environment.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/send_words.h"
#include "platform/messages/win32/find_window_sender.h"

namespace app::ctl {

int DeliverToWindow(CtlEnvironment& environment, const SendWord& word) {
  platform::FindWindowSender sender;
  switch (sender.Send(word.message)) {
    case platform::MessageDelivery::Delivered:
      environment.Out() << "sent " << word.name << "\n";
      return kExitDone;
    case platform::MessageDelivery::NoWindow:
      environment.Err() << "quelta-ctl: no Quelta window is open (no window of class Quelta)\n";
      return kExitNotFound;
    case platform::MessageDelivery::NotDelivered:
      environment.Err() << "quelta-ctl: the Quelta window did not take the message " << word.name
                        << "\n";
      return kExitNoAnswer;
  }
  return kExitNoAnswer;
}

}  // namespace app::ctl
