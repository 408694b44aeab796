#include "app/ctl/history_export.h"

#include <charconv>

#include "history/history_time.h"

namespace app::ctl {
namespace {

using history::HistoryEvent;
using history::HistoryRow;
using history::kHistoryColumnCount;
using history::kHistoryColumns;

// The text is gathered whole and written once: a read that fails half-way prints nothing.
constexpr std::size_t kFirstReserve = 1 << 20;

// A reading as the PSU gave it: the shortest text of its float ("12.02", not 12.0200004...).
void Number(std::string& out, double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, static_cast<float>(value));
  if (error == std::errc()) out.append(text, end);
}

// Least, mean and greatest with `separator` between them. Each is formatted once: a poll's
// three are one reading, and a steady reading's minute has three equal ones.
void Three(std::string& out, double min, double mean, double max, char separator) {
  const std::size_t start = out.size();
  Number(out, min);
  const std::size_t length = out.size() - start;
  for (const double value : {mean, max}) {
    out += separator;
    if (static_cast<float>(value) == static_cast<float>(min)) {
      out.append(out, start, length);
    } else {
      Number(out, value);
    }
  }
}

void Integer(std::string& out, std::int64_t value) {
  char text[24];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  if (error == std::errc()) out.append(text, end);
}

// A JSON string; alarm row names are plain, but nothing read from a file is trusted.
void JsonText(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

// A CSV field: quoted when it holds a comma, quote or line break.
void CsvText(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += text;
    return;
  }
  out += '"';
  for (const char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::string_view RowKind(const HistoryRow& row) {
  return row.folded ? "minute" : "poll";
}

class Writer {
 public:
  Writer(std::ostream& out, HistoryFormat format) : out_(out), format_(format) {
    text_.reserve(kFirstReserve);
  }

  void Begin() {
    if (format_ == HistoryFormat::Csv) {
      text_ += "time,kind,pid,polls,row";
      for (const auto& column : kHistoryColumns) {
        for (const char* part : {"_min", "_mean", "_max"}) {
          text_ += ',';
          text_ += column.name;
          text_ += part;
        }
      }
      text_ += '\n';
    } else if (format_ == HistoryFormat::Json) {
      text_ += "{\"rows\":[";
    }
  }

  void Row(const HistoryRow& row) {
    switch (format_) {
      case HistoryFormat::Csv:
        CsvRow(row);
        break;
      case HistoryFormat::Json:
        JsonRow(row);
        break;
      case HistoryFormat::Text:
        TextRow(row);
        break;
    }
  }

  void MiddleJson() {
    if (format_ == HistoryFormat::Json) text_ += "],\"events\":[";
  }

  void Event(const HistoryEvent& event) {
    const std::string_view kind = history::EventKindName(event.kind);
    switch (format_) {
      case HistoryFormat::Csv:
        text_ += history::FormatHistoryTime(event.time);
        text_ += ',';
        text_ += kind;
        text_ += ',';
        Integer(text_, event.processId);
        text_ += ",,";
        CsvText(text_, event.row);
        text_.append(kHistoryColumnCount * 3, ',');
        text_ += '\n';
        break;
      case HistoryFormat::Json:
        if (!firstEvent_) text_ += ',';
        firstEvent_ = false;
        text_ += "{\"time\":\"" + history::FormatHistoryTime(event.time) + "\",\"kind\":\"";
        text_ += kind;
        text_ += "\",\"pid\":";
        Integer(text_, event.processId);
        text_ += ",\"row\":";
        JsonText(text_, event.row);
        text_ += '}';
        break;
      case HistoryFormat::Text:
        text_ += history::FormatHistoryTime(event.time);
        text_ += ' ';
        text_ += kind;
        if (!event.row.empty()) {
          text_ += ' ';
          text_ += event.row;
        }
        text_ += " pid ";
        Integer(text_, event.processId);
        text_ += '\n';
        break;
    }
  }

  void End() {
    if (format_ == HistoryFormat::Json) text_ += "]}\n";
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

 private:
  void CsvRow(const HistoryRow& row) {
    history::AppendHistoryTime(text_, row.time);
    text_ += ',';
    text_ += RowKind(row);
    text_ += ',';
    Integer(text_, row.processId);
    text_ += ',';
    Integer(text_, row.polls);
    text_ += ',';
    for (std::size_t i = 0; i < kHistoryColumnCount; ++i) {
      text_ += ',';
      Three(text_, row.values.min[i], row.values.mean[i], row.values.max[i], ',');
    }
    text_ += '\n';
  }

  void JsonRow(const HistoryRow& row) {
    if (!firstRow_) text_ += ',';
    firstRow_ = false;
    text_ += "{\"time\":\"";
    history::AppendHistoryTime(text_, row.time);
    text_ += "\",\"kind\":\"";
    text_ += RowKind(row);
    text_ += "\",\"pid\":";
    Integer(text_, row.processId);
    text_ += ",\"polls\":";
    Integer(text_, row.polls);
    text_ += ",\"readings\":{";
    for (std::size_t i = 0; i < kHistoryColumnCount; ++i) {
      if (i != 0) text_ += ',';
      text_ += '"';
      text_ += kHistoryColumns[i].name;
      text_ += "\":{\"min\":";
      Number(text_, row.values.min[i]);
      text_ += ",\"mean\":";
      Number(text_, row.values.mean[i]);
      text_ += ",\"max\":";
      Number(text_, row.values.max[i]);
      text_ += '}';
    }
    text_ += "}}";
  }

  void TextRow(const HistoryRow& row) {
    history::AppendHistoryTime(text_, row.time);
    if (row.folded) {
      text_ += " minute (";
      Integer(text_, row.polls);
      text_ += " polls)";
    } else {
      text_ += " poll";
    }
    text_ += " pid ";
    Integer(text_, row.processId);
    text_ += ':';
    for (std::size_t i = 0; i < kHistoryColumnCount; ++i) {
      text_ += ' ';
      text_ += kHistoryColumns[i].name;
      text_ += ' ';
      if (row.folded) {
        Three(text_, row.values.min[i], row.values.mean[i], row.values.max[i], '/');
      } else {
        Number(text_, row.values.max[i]);
      }
    }
    text_ += '\n';
  }

  std::ostream& out_;
  HistoryFormat format_;
  std::string text_;
  bool firstRow_ = true;
  bool firstEvent_ = true;
};

// Rows as they come, with the events (all read before) in their places.
class Timeline {
 public:
  Timeline(Writer& writer, HistoryFormat format, const std::vector<HistoryEvent>& events)
      : writer_(writer), format_(format), events_(events) {
    writer_.Begin();
  }

  void Row(const HistoryRow& row) {
    // JSON keeps rows and events apart; each list is in time order.
    if (format_ != HistoryFormat::Json) {
      while (next_ < events_.size() && events_[next_].time < row.time)
        writer_.Event(events_[next_++]);
    }
    writer_.Row(row);
  }

  void End() {
    writer_.MiddleJson();
    while (next_ < events_.size()) writer_.Event(events_[next_++]);
    writer_.End();
  }

 private:
  Writer& writer_;
  HistoryFormat format_;
  const std::vector<HistoryEvent>& events_;
  std::size_t next_ = 0;
};

}  // namespace

void WriteHistory(std::ostream& out, HistoryFormat format, const std::vector<HistoryRow>& rows,
                  const std::vector<HistoryEvent>& events) {
  Writer writer(out, format);
  Timeline timeline(writer, format, events);
  for (const HistoryRow& row : rows) timeline.Row(row);
  timeline.End();
}

bool ExportHistory(std::ostream& out, HistoryFormat format, history::HistoryQuery& query,
                   history::HistoryTime from, history::HistoryTime to) {
  const std::vector<HistoryEvent> events = query.Events(from, to);
  if (!query.LastError().empty()) return false;
  Writer writer(out, format);
  Timeline timeline(writer, format, events);
  if (!query.ForEachRow(from, to, [&timeline](const HistoryRow& row) { timeline.Row(row); }))
    return false;
  timeline.End();
  return true;
}

}  // namespace app::ctl
