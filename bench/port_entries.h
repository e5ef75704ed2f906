#pragma once
// What the benchmarks put behind Corvane's COM ports. When its settings
// folder (the folder of its executable) holds any entry comN, the entries
// alone define the ports: COM n is the device that comN leads to, and a COM n
// whose entry leads nowhere cannot be opened.
#include "bench/child_process.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace corvane::bench {

// Makes the entries comFIRST to comLAST in `folder` symbolic links to a path
// that does not exist.
void linkPortsNowhere(const std::filesystem::path& folder, int first, int last);

// A pseudo-terminal for the program to open as its tracker's port, which
// never answers. The benchmark holds its slave side open too, so that the
// master reads as quiet, not hung up, while the program has the port closed.
// Throws BenchError when it cannot be made.
class SilentTerminal {
public:
    SilentTerminal();
    ~SilentTerminal();
    SilentTerminal(const SilentTerminal&) = delete;
    SilentTerminal& operator=(const SilentTerminal&) = delete;

    // The slave side's path, for the program to open.
    const std::string& device() const { return device_; }
    // Reads and discards what the program writes for `duration`.
    void discardFor(Millis duration);
    // How many bytes the program has written so far.
    std::size_t received() const { return received_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string device_;
    std::size_t received_ = 0;
};

} // namespace corvane::bench
