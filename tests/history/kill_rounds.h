#pragma once

#include <filesystem>

namespace history_testing {

// Starts a recording process `kills` times and kills it with SIGKILL at a random point of its
// life (opening, checking, recording, folding), then checks the record: it passes
// `PRAGMA integrity_check` and holds every poll the process said it stored, plus at most the
// one under way. Reports failures through GoogleTest.
void KillAtRandomPoints(const std::filesystem::path& file, int kills);

}  // namespace history_testing
