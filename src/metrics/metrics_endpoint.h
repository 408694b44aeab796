#pragma once

#include "metrics/metrics_board.h"
#include "platform/http/http_server.h"

namespace metrics {

// The path the metrics are served at.
inline constexpr const char* kMetricsPath = "/metrics";

// The service's answer to a request: GET of /metrics (any query) gets the board's text; any
// other method 405 with "Allow: GET"; a GET of any other path 404.
platform::http::HttpResponse AnswerMetricsRequest(const platform::http::HttpRequest& request,
                                                  const MetricsBoard& board);

}  // namespace metrics
