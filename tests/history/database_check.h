#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace history_testing {

// What `PRAGMA integrity_check` says of the file: "ok" for a sound one, else its first
// complaint (or why it could not be opened).
std::string IntegrityCheck(const std::filesystem::path& file);

// Runs one statement whose first column of the first row is an integer; -1 on failure.
std::int64_t QueryInteger(const std::filesystem::path& file, const std::string& sql);

// Every poll the record holds: raw polls plus those each minute row folds.
std::int64_t PollsHeld(const std::filesystem::path& file);

// One row of the summary table: its stretch's start (ms), the polls it sums up, and the least,
// mean and greatest of each reading in the record's column order.
struct SummaryRow {
  std::int64_t time = 0;
  std::int64_t polls = 0;
  std::vector<double> min;
  std::vector<double> mean;
  std::vector<double> max;
};
// Every summary row, oldest first; empty when there is no summary table.
std::vector<SummaryRow> SummaryRows(const std::filesystem::path& file);

// Runs statements on the file; false when any failed.
bool Execute(const std::filesystem::path& file, const std::string& sql);

// A SQLite database that is not ours: one table of notes.
void MakeForeignDatabase(const std::filesystem::path& file);

}  // namespace history_testing
