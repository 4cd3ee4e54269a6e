#pragma once

#include "engine/JobReport.h"
#include "runtime/NativeFile.h"

#include <stop_token>

namespace engine {

// Thrown inside a job when a stop that was asked for takes effect; the job catches it.
struct JobStopped {};

// How far a job's bytes have come: told to whoever runs the job after every run of bytes
// moved, which is also where a stop that was asked for takes effect.
class CopyProgress {
public:
    CopyProgress(JobReport& report, std::stop_token stop, runtime::ByteCount total)
        : report_(report), stop_(std::move(stop)), total_(total)
    {
    }

    // After each run of bytes moved. Throws JobStopped once a stop has been asked for.
    void moved(runtime::ByteCount bytes)
    {
        stopIfAsked();
        done_ += bytes;
        report_.progressed(done_, total_);
    }

    // Throws JobStopped once a stop has been asked for.
    void stopIfAsked() const
    {
        if (stop_.stop_requested())
            throw JobStopped();
    }

private:
    JobReport& report_;
    std::stop_token stop_;
    runtime::ByteCount total_;
    runtime::ByteCount done_ = 0;
};

} // namespace engine
