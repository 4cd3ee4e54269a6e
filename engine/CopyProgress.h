#pragma once

#include "engine/JobReport.h"
#include "runtime/NativeFile.h"

#include <algorithm>
#include <functional>
#include <stop_token>

namespace engine {

// Thrown inside a job when a stop that was asked for takes effect; the job catches it.
struct JobStopped {};

// How far a job is: the bytes it copied, or where work beside the copy (its digests) lags
// behind, as far as that work is. Told to whoever runs the job at each of its stop points (after
// every run of bytes moved, among others), which is also where a stop asked for takes effect.
class CopyProgress {
public:
    CopyProgress(JobReport& report, std::stop_token stop, runtime::ByteCount total)
        : report_(report), stop_(std::move(stop)), total_(total)
    {
    }

    // After each run of bytes copied: a stop point.
    void moved(runtime::ByteCount bytes)
    {
        copied_ += bytes;
        stopPoint();
    }

    // The job also waits for the work that done tells the bytes of.
    void alsoWaitFor(std::function<runtime::ByteCount()> done) { besides_ = std::move(done); }

    // Tells how far the job is now.
    void tell() { report_.progressed(besides_ ? std::min(copied_, besides_()) : copied_, total_); }

    // Tells how far the job is and that it may be held here; throws JobStopped once a stop has
    // been asked for.
    void stopPoint()
    {
        tell();
        report_.atStopPoint();
        if (stop_.stop_requested())
            throw JobStopped();
    }

    // The last stop point: past it, the job's files take their names.
    void lastStopPoint()
    {
        stopPoint();
        report_.pastStopPoints();
    }

    const std::stop_token& stopToken() const { return stop_; }

private:
    JobReport& report_;
    std::stop_token stop_;
    runtime::ByteCount total_;
    runtime::ByteCount copied_ = 0;
    std::function<runtime::ByteCount()> besides_;
};

} // namespace engine
