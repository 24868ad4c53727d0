// The one way the programs write an output file. A regular file (or a name that does not exist yet) is
// written under a temporary name beside it and renamed onto it only when every byte was written and
// flushed to the disc: a failed or interrupted write leaves the earlier file as it was. A target that is
// a device or a FIFO is written straight into and never replaced. A symbolic link is followed: the file it
// points to is replaced, the link stays. A replaced file keeps its mode and, for root, its owner.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CAtomicFileWriter {
public:
    explicit CAtomicFileWriter(std::string path);
    // Removes the temporary file unless Commit succeeded.
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    // Each returns false with Error() set when its step fails; after a failure the later steps fail too.
    bool Open();
    // Writes all of `bytes`: a write cut short (a full disc, a file-size limit) is a failure.
    bool Write(std::string_view bytes);
    // Flushes the file to the disc and puts it in the target's place.
    bool Commit();

    // "cannot write PATH: REASON" and the like, naming the target.
    const std::string& Error() const { return m_strError; }
    // The descriptor written to, or -1.
    int Handle() const { return m_fd; }

    // Removes the temporary files of the writers still open. Safe to call from a signal handler: a
    // program that ends on a signal calls it first, so no partial file is left beside the target.
    static void RemoveTemporaryFiles();

private:
    bool Fail(const char* what, int error);
    void ForgetTemporary();

    std::string m_strPath;   // the target as given
    std::string m_strTarget; // the file that is replaced: the target with its links followed
    std::string m_strTemp;   // empty when writing straight into the target
    std::string m_strError;
    int m_fd = -1;
    int m_nSlot = -1; // where the temporary name is registered for RemoveTemporaryFiles
    bool m_bFailed = false;
};
