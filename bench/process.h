#pragma once

// What the operating system knows of this process.
namespace bench {

// Seconds since the system started this process; -1 where that is not available.
double SecondsSinceProcessStart();
// The most resident memory this process has had, in KiB.
long PeakRssKb();

}  // namespace bench
