// A file written under a temporary name beside its destination and renamed onto it only when complete:
// an interrupted or failed write leaves no partial file and the earlier file, if any, whole.
#pragma once

#include <cstddef>
#include <string>

class CAtomicOutput {
public:
    explicit CAtomicOutput(const std::string& outputPath) : m_strOutput(outputPath) {}
    // Removes the temporary file unless Commit succeeded.
    ~CAtomicOutput();
    CAtomicOutput(const CAtomicOutput&) = delete;
    CAtomicOutput& operator=(const CAtomicOutput&) = delete;

    // Each returns false with `error` set when the step fails.
    bool Open(std::string& error);
    bool Write(const unsigned char* data, std::size_t size, std::string& error);
    // Flushes the file to the disk, then renames it onto the destination.
    bool Commit(std::string& error);

private:
    std::string m_strOutput;
    std::string m_strTemp;
    int m_fd = -1;
};
