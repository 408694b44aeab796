#include "platform/ui/application.h"

#include <stdexcept>

#include "platform/ui/dialogs.h"
#include "platform/ui/event_loop.h"

namespace ui {

Application::Application(EventLoop& loop, Dialogs& dialogs, Backend& backend)
    : loop_(loop), dialogs_(dialogs), backend_(backend) {
  loop_.SetErrorHandler([this](std::exception_ptr error) { ShowException(error); });
}

Application::~Application() {
  loop_.SetErrorHandler(nullptr);
}

void Application::ShowException(std::exception_ptr error) {
  std::string text = "Unknown error";
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
  }
  // The error box itself must not take the loop down.
  try {
    dialogs_.ShowError(text);
  } catch (...) {
  }
}

}  // namespace ui
