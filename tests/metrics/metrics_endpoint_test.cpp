#include "metrics/metrics_endpoint.h"

#include <gtest/gtest.h>

namespace metrics {
namespace {

platform::http::HttpRequest Request(std::string method, std::string path) {
  platform::http::HttpRequest request;
  request.method = std::move(method);
  request.path = std::move(path);
  request.target = request.path;
  return request;
}

// Only a GET of /metrics is answered with the text; a method other than GET is refused
// whatever the path (HEAD and a lower-case "get" too), and another path is not there.
TEST(MetricsEndpoint, AnswersOnlyAGetOfMetrics) {
  MetricsBoard board;
  board.Publish("quelta_poll_success 1\n# EOF\n");
  const auto ok = AnswerMetricsRequest(Request("GET", "/metrics"), board);
  EXPECT_EQ(ok.status, 200);
  EXPECT_EQ(ok.body, "quelta_poll_success 1\n# EOF\n");
  EXPECT_EQ(ok.contentType, "application/openmetrics-text; version=1.0.0; charset=utf-8");
  for (const char* method : {"POST", "HEAD", "PUT", "DELETE", "get"}) {
    for (const char* path : {"/metrics", "/"}) {
      const auto refused = AnswerMetricsRequest(Request(method, path), board);
      EXPECT_EQ(refused.status, 405) << method << " " << path;
      ASSERT_EQ(refused.headers.size(), 1u);
      EXPECT_EQ(refused.headers[0].first, "Allow");
      EXPECT_EQ(refused.headers[0].second, "GET");
    }
  }
  for (const char* path : {"/", "/metrics/", "/Metrics", "/metricsx", "/api/v1/query"}) {
    EXPECT_EQ(AnswerMetricsRequest(Request("GET", path), board).status, 404) << path;
  }
}

TEST(MetricsEndpoint, ServesTheLatestTextAndSaysWhenThereIsNoneYet) {
  MetricsBoard board;
  EXPECT_EQ(AnswerMetricsRequest(Request("GET", "/metrics"), board).status, 503);
  board.Publish("first");
  board.Publish("second");
  EXPECT_EQ(AnswerMetricsRequest(Request("GET", "/metrics"), board).body, "second");
}

}  // namespace
}  // namespace metrics
