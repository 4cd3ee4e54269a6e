#pragma once

#include <cstdint>
#include <string>

namespace engine {

// What a cutting job tells whoever runs it: a window, a command-line tool, a test. The job
// calls these on the thread it runs on; each does nothing unless its listener wants to know.
class JobReport {
public:
    virtual ~JobReport() = default;

    // A message for the user: why the job will not start. The job ends after it.
    virtual void message(const std::string& text) { (void)text; }
    // Before its first piece: outputs of an earlier job bear this job's names and go as it goes,
    // since the medium has no room for both sets at once. A stop then leaves them incomplete.
    virtual void replacingEarlierOutputs() {}
    // The job starts writing the piece of that number, at that path.
    virtual void pieceStarted(std::int64_t number, const std::string& path) { (void)number, (void)path; }
    // How far the job is: bytes of the source done, of bytes in all.
    virtual void progressed(std::int64_t done, std::int64_t total) { (void)done, (void)total; }
    // The job is over, however it ended (done, refused or failed): its files are closed. The
    // last call of every job.
    virtual void ended() {}
};

} // namespace engine
