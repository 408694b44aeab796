#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace history_testing {

// What `PRAGMA integrity_check` says of the file: "ok" for a sound one, else its first
// complaint (or why it could not be opened).
std::string IntegrityCheck(const std::filesystem::path& file);

// Runs one statement whose first column of the first row is an integer; -1 on failure.
std::int64_t QueryInteger(const std::filesystem::path& file, const std::string& sql);

// Every poll the record holds: raw polls plus those each minute row folds.
std::int64_t PollsHeld(const std::filesystem::path& file);

// A SQLite database that is not ours: one table of notes.
void MakeForeignDatabase(const std::filesystem::path& file);

}  // namespace history_testing
