#include "app/ctl/history_export.h"

#include <charconv>

#include "history/history_time.h"

namespace app::ctl {
namespace {

using history::HistoryEvent;
using history::HistoryRow;
using history::kHistoryColumnCount;
using history::kHistoryColumns;

// Output is gathered in blocks this large before it is written.
constexpr std::size_t kBlock = 1 << 16;

// A reading as the PSU gave it: the shortest text of its float ("12.02", not 12.0200004...).
void Number(std::string& out, double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, static_cast<float>(value));
  if (error == std::errc()) out.append(text, end);
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
    text_.reserve(kBlock * 2);
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
    Spill();
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
    Spill();
  }

  void End() {
    if (format_ == HistoryFormat::Json) text_ += "]}\n";
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

 private:
  void CsvRow(const HistoryRow& row) {
    text_ += history::FormatHistoryTime(row.time);
    text_ += ',';
    text_ += RowKind(row);
    text_ += ',';
    Integer(text_, row.processId);
    text_ += ',';
    Integer(text_, row.polls);
    text_ += ',';
    for (std::size_t i = 0; i < kHistoryColumnCount; ++i) {
      text_ += ',';
      Number(text_, row.values.min[i]);
      text_ += ',';
      Number(text_, row.values.mean[i]);
      text_ += ',';
      Number(text_, row.values.max[i]);
    }
    text_ += '\n';
  }

  void JsonRow(const HistoryRow& row) {
    if (!firstRow_) text_ += ',';
    firstRow_ = false;
    text_ += "{\"time\":\"" + history::FormatHistoryTime(row.time) + "\",\"kind\":\"";
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
    text_ += history::FormatHistoryTime(row.time);
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
        Number(text_, row.values.min[i]);
        text_ += '/';
        Number(text_, row.values.mean[i]);
        text_ += '/';
      }
      Number(text_, row.values.max[i]);
    }
    text_ += '\n';
  }

  void Spill() {
    if (text_.size() < kBlock) return;
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

  std::ostream& out_;
  HistoryFormat format_;
  std::string text_;
  bool firstRow_ = true;
  bool firstEvent_ = true;
};

}  // namespace

void WriteHistory(std::ostream& out, HistoryFormat format, const std::vector<HistoryRow>& rows,
                  const std::vector<HistoryEvent>& events) {
  Writer writer(out, format);
  writer.Begin();
  if (format == HistoryFormat::Json) {
    // JSON keeps rows and events apart; each list is in time order.
    for (const HistoryRow& row : rows) writer.Row(row);
    writer.MiddleJson();
    for (const HistoryEvent& event : events) writer.Event(event);
  } else {
    std::size_t e = 0;
    for (const HistoryRow& row : rows) {
      while (e < events.size() && events[e].time < row.time) writer.Event(events[e++]);
      writer.Row(row);
    }
    while (e < events.size()) writer.Event(events[e++]);
  }
  writer.End();
}

}  // namespace app::ctl
