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
    // The job is at a point where a stop still takes back everything it wrote: between two runs
    // of bytes, while it waits for its digests, and once its files are on the medium. Whoever
    // runs it may hold it here, to ask whether to stop it: the job goes on when this returns,
    // and stops there if a stop was asked for meanwhile.
    virtual void atStopPoint() {}
    // The job has passed its last such point: its files are taking their names, and it is about
    // to end.
    virtual void pastStopPoints() {}
    // The job is over, however it ended (done, refused or failed): its files are closed. The
    // last call of every job.
    virtual void ended() {}
};

} // namespace engine
