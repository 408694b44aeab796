#include "metrics/metrics_endpoint.h"

#include "metrics/open_metrics_text.h"

namespace metrics {

platform::http::HttpResponse AnswerMetricsRequest(const platform::http::HttpRequest& request,
                                                  const MetricsBoard& board) {
  platform::http::HttpResponse response;
  if (request.method != "GET") {
    response.status = 405;
    response.headers.emplace_back("Allow", "GET");
    response.body = "only GET is answered here\n";
    return response;
  }
  if (request.path != kMetricsPath) {
    response.status = 404;
    response.body = "not found; the metrics are at /metrics\n";
    return response;
  }
  const std::shared_ptr<const std::string> text = board.Latest();
  if (!text) {
    response.status = 503;
    response.body = "no poll yet\n";
    return response;
  }
  response.contentType = kOpenMetricsContentType;
  response.body = *text;
  return response;
}

}  // namespace metrics
